// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

// An output file as the file system sees it: its folder by device and inode,
// and its name folded to one case. Other spellings of a path, a bind mount of
// the folder and a case-insensitive disk all give the same key.
struct OutputKey
{
    quint64 device = 0;
    quint64 inode = 0;
    QString name; // folded; the cleaned absolute path where the folder cannot be read

    static OutputKey of(const QString &path);
    bool operator==(const OutputKey &other) const
    {
        return device == other.device && inode == other.inode && name == other.name;
    }
};
size_t qHash(const OutputKey &key, size_t seed = 0);
