// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileInfo>
#include <QStringList>

// Every regular file below `directory`, depth first: a directory's own files
// (case-insensitive name order) before the contents of its subdirectories.
// Hidden entries and symbolic links inside the walk are left out.
QStringList listFilesRecursive(const QString &directory);

// A path given to a batch, taken alike by the window and the command line:
// a file stands for itself, a folder for every file below it, and anything
// else for nothing.
class InputPath
{
public:
    explicit InputPath(const QString &path) : info(path) {}

    bool isFile() const { return info.isFile(); }
    bool isFolder() const { return info.isDir(); }
    bool exists() const { return info.exists(); }
    QString absolutePath() const { return info.absoluteFilePath(); }

    // The file, or the folder's files as listFilesRecursive walks them.
    QStringList files() const;

private:
    QFileInfo info;
};
