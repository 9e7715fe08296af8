// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/coverfile.h"

#include <QDir>

QString CoverFile::inFolder(const QString &folder)
{
    static const char *const names[] = {"cover", "folder", "front", "albumart"};
    static const char *const suffixes[] = {"jpg", "jpeg", "png"};
    QStringList patterns;
    for (const char *name : names) {
        for (const char *suffix : suffixes)
            patterns << QStringLiteral("%1.%2").arg(QLatin1String(name), QLatin1String(suffix));
    }
    // Name filters ignore case; the sorted list makes the choice among
    // spellings of one name the same every time.
    const QStringList found =
        QDir(folder).entryList(patterns, QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name);
    for (const QString &pattern : patterns) {
        for (const QString &file : found) {
            if (file.compare(pattern, Qt::CaseInsensitive) == 0)
                return QDir(folder).filePath(file);
        }
    }
    return QString();
}
