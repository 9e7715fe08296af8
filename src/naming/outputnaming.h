// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct TrackTags;

// Where each output goes with the current settings: one answer for the jobs,
// the window's Output column and a dry run.
namespace OutputNaming {

// The output of converting `inputPath`, added with the folder `addedFolder`
// (empty for a file added alone), whose tags are `tags`.
QString convertedPath(const QString &inputPath, const QString &addedFolder, const TrackTags &tags);

// Where a file that is no audio goes when such files are copied.
QString copiedPath(const QString &inputPath, const QString &addedFolder);

// The name a later row gets when `path` is taken by an earlier one, for
// n = 2, 3, ...: "name (2).mp3".
QString numbered(const QString &path, int n);

} // namespace OutputNaming
