// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/fileidentity.h"

#include <QFile>

#include <sys/stat.h>

FileIdentity::FileIdentity(const QString &path, Link atEnd)
{
    struct stat status;
    const QByteArray name = QFile::encodeName(path);
    if ((atEnd == Follow ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status)) != 0)
        return;
    exists = true;
    link = S_ISLNK(status.st_mode);
    device = status.st_dev;
    inode = status.st_ino;
}

bool wouldReplaceInput(const QString &outputPath, const QString &inputPath)
{
    const FileIdentity output(outputPath, FileIdentity::Itself);
    const FileIdentity input(inputPath, FileIdentity::Itself);
    return output.sameFileAs(input) || (input.link && output.sameFileAs(FileIdentity(inputPath)));
}
