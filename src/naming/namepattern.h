// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct TrackTags;

// The OutputFileName setting: a file's name, and the folders above it below
// the output folder, made of its tags. Every name it gives is one that FAT,
// exFAT and NTFS take as well, since outputs are often copied onto a stick.
namespace NamePattern {

// The path below the output folder, without suffix, that `pattern` gives the
// input whose base name is `baseName`, in `subfolder` below the folder it was
// added with, tagged `tags`. An empty pattern, or one that gives no file
// name, gives `baseName`. Room is kept for "." and `suffix` in the last
// name.
QString expand(const QString &pattern, const TrackTags &tags, const QString &baseName,
               const QString &subfolder, const QString &suffix);

// Whether `pattern` names any tag: an input's tags need reading only then.
bool usesTags(const QString &pattern);

// As much of `text` as fits in `maxBytes` bytes of UTF-8, ending at a
// character's end.
QString cut(const QString &text, int maxBytes);

// `name` as one folder or file name valid on FAT, exFAT and NTFS: "/", "\",
// control characters, ? : * " < > | and trailing dots and spaces become "_",
// and it is cut to `maxBytes` bytes of UTF-8 at a character's end.
QString cleanName(const QString &name, int maxBytes = 255);

} // namespace NamePattern
