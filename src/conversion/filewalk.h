// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QDir;

// Every regular file below `directory`, depth first: a directory's own files
// (case-insensitive name order) before the contents of its subdirectories.
// Hidden entries and symbolic links inside the walk are left out.
QStringList listFilesRecursive(const QString &directory);

// One level of the walk: appends this directory's files, then recurses.
void collectFiles(QDir &directory);
