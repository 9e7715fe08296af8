// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/filewalk.h"

#include <QDir>

// One level of the walk: appends this directory's files, then recurses.
static void collectFiles(QDir &directory, QStringList &found)
{
    directory.setFilter(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    const QString prefix = directory.path() + QLatin1Char('/');
    const QStringList files = directory.entryList();
    // The paths end up in the job table: each gets just its own length, where
    // `prefix + name` would leave it the spare capacity of a growing string.
    for (const QString &name : files) {
        QString path;
        path.reserve(prefix.size() + name.size());
        path.append(prefix).append(name);
        found.append(path);
    }

    directory.setFilter(QDir::AllDirs | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    const QStringList subdirectories = directory.entryList();
    const QString absolute = directory.absolutePath();
    for (const QString &name : subdirectories) {
        QDir subdirectory(QStringLiteral("%1/%2").arg(absolute, name));
        collectFiles(subdirectory, found);
    }
}

QStringList listFilesRecursive(const QString &directory)
{
    QStringList found;
    QDir dir(directory);
    collectFiles(dir, found);
    return found;
}

QStringList InputPath::files() const
{
    if (isFile())
        return {absolutePath()};
    return isFolder() ? listFilesRecursive(absolutePath()) : QStringList();
}
