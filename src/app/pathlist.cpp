// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pathlist.h"

#include <QFile>
#include <QIODevice>

QStringList readPathList(QIODevice &device, bool nulSeparated)
{
    const char separator = nulSeparated ? '\0' : '\n';
    QStringList paths;
    // Read to its end: from a pipe, this waits for the writer to close it.
    const QByteArray data = device.readAll();
    for (const QByteArray &entry : data.split(separator)) {
        if (!entry.isEmpty())
            paths.append(QFile::decodeName(entry));
    }
    return paths;
}
