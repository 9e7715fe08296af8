// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/outputkey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

OutputKey OutputKey::of(const QString &path)
{
    const QFileInfo info(path);
    OutputKey key;
    struct stat folder;
    if (::stat(QFile::encodeName(info.absolutePath()).constData(), &folder) == 0) {
        key.device = quint64(folder.st_dev);
        key.inode = quint64(folder.st_ino);
        key.name = info.fileName().toCaseFolded();
    } else {
        key.name = QDir::cleanPath(info.absoluteFilePath()).toCaseFolded();
    }
    return key;
}

size_t qHash(const OutputKey &key, size_t seed)
{
    return qHash(key.name, seed) ^ ::qHash(key.device, seed) ^ ::qHash(key.inode, seed);
}
