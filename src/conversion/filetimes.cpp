// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/filetimes.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

bool copyModificationTime(const QString &source, const QString &target)
{
    struct stat status {};
    if (::stat(QFile::encodeName(source).constData(), &status) != 0)
        return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = status.st_mtim;
    return ::utimensat(AT_FDCWD, QFile::encodeName(target).constData(), times, 0) == 0;
}
