// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/filewalk.h"

#include <QDir>

// Results of the current walk. Walks run one at a time, on the main thread.
static QStringList foundFiles;

QStringList listFilesRecursive(const QString &directory)
{
    foundFiles.clear();
    QDir dir(directory);
    collectFiles(dir);
    return foundFiles;
}

void collectFiles(QDir &directory)
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
        foundFiles.append(path);
    }

    directory.setFilter(QDir::AllDirs | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    const QStringList subdirectories = directory.entryList();
    const QString absolute = directory.absolutePath();
    for (const QString &name : subdirectories) {
        QDir subdirectory(QStringLiteral("%1/%2").arg(absolute, name));
        collectFiles(subdirectory);
    }
}
