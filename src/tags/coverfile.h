// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The picture that stands for an album in its folder, for inputs that carry
// none of their own.
class CoverFile
{
public:
    CoverFile() = delete;

    // The path of the folder's "cover", "folder", "front" or "albumart"
    // picture (.jpg, .jpeg or .png, in any case), in that order of names;
    // empty when there is none.
    static QString inFolder(const QString &folder);
};
