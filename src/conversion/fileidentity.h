// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPair>
#include <QString>

#include <sys/types.h>

// What a path names right now, to tell one file from another under any of
// its names.
struct FileIdentity
{
    bool exists = false;
    bool link = false;
    dev_t device = 0;
    ino_t inode = 0;

    // A symbolic link at the end of `path` is followed, or taken as the file.
    enum Link { Follow, Itself };
    explicit FileIdentity(const QString &path, Link atEnd = Follow);

    QPair<quint64, quint64> key() const { return {quint64(device), quint64(inode)}; }

    bool sameFileAs(const FileIdentity &other) const
    {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};

// Whether writing `outputPath` would replace the file `inputPath` names. A
// link at the output is what a write replaces, never what it points at;
// unless the link is the input as named.
bool wouldReplaceInput(const QString &outputPath, const QString &inputPath);
