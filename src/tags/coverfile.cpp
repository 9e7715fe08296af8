// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/coverfile.h"

#include <QDir>
#include <QDirIterator>

namespace {

// Where a file name stands among the cover names, the first best; -1 for
// none. Compared by hand: as name filters the twelve names are wildcard
// patterns, each matched against every file in the folder, which cost about
// a millisecond a conversion in a folder of a hundred files.
int rank(const QString &file)
{
    static const QStringList names{QStringLiteral("cover"), QStringLiteral("folder"), QStringLiteral("front"),
                                   QStringLiteral("albumart")};
    static const QStringList suffixes{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png")};
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return -1;
    const int name = names.indexOf(file.left(dot).toLower());
    const int suffix = suffixes.indexOf(file.mid(dot + 1).toLower());
    return name < 0 || suffix < 0 ? -1 : name * int(suffixes.size()) + suffix;
}

} // namespace

QString CoverFile::inFolder(const QString &folder)
{
    QString chosen;
    int chosenRank = -1;
    // Only names are read: a file's kind and access are asked of the few
    // that may be chosen.
    for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
         it.hasNext();) {
        it.next();
        const QString file = it.fileName();
        const int fileRank = rank(file);
        // Among spellings of one name the first in order, so that the
        // choice is the same every time.
        if (fileRank >= 0 && (chosenRank < 0 || fileRank < chosenRank || (fileRank == chosenRank && file < chosen))
            && it.fileInfo().isFile() && it.fileInfo().isReadable()) {
            chosen = file;
            chosenRank = fileRank;
        }
    }
    return chosen.isEmpty() ? QString() : QDir(folder).filePath(chosen);
}
