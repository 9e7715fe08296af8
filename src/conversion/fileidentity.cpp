// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/fileidentity.h"

#include <QFile>

#include <sys/stat.h>

FileIdentity::FileIdentity(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return;
    exists = true;
    device = status.st_dev;
    inode = status.st_ino;
}
