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

// The settings that name a converted file, for trying some out before they
// are stored.
struct Rules
{
    QString directoryTemplate;
    QString fileNamePattern;
    QString suffix;

    static Rules current();
};
// The output's folder, and its path below that folder, under `rules`.
QString folder(const Rules &rules, const QString &inputPath, const QString &addedFolder);
QString nameInFolder(const Rules &rules, const QString &inputPath, const QString &addedFolder, const TrackTags &tags);

// Where a file that is no audio goes when such files are copied: under its
// own name, in the output folder.
QString copiedPath(const QString &inputPath, const QString &addedFolder);

// Whether convertedPath() looks at the tags: reading them costs a file open.
bool needsTags();

// The input's folder relative to `addedFolder`; empty for a file added alone
// or lying in that folder itself.
QString subfolder(const QString &inputPath, const QString &addedFolder);

// The name a later row gets when `path` is taken by an earlier one, for
// n = 2, 3, ...: "name (2).mp3".
QString numbered(const QString &path, int n);

} // namespace OutputNaming
