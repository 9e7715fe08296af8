// SPDX-License-Identifier: GPL-3.0-or-later
#include "naming/outputnaming.h"

#include "conversion/encoderarguments.h"
#include "naming/namepattern.h"
#include "naming/tracktags.h"
#include "settings/appsettings.h"
#include "settings/outputlocation.h"

#include <QDir>
#include <QFileInfo>

OutputNaming::Rules OutputNaming::Rules::current()
{
    return {AppSettings::OutputDirectory, AppSettings::OutputFileName, outputSuffix()};
}

QString OutputNaming::folder(const Rules &rules, const QString &inputPath, const QString &addedFolder)
{
    return OutputLocation::folderFor(rules.directoryTemplate, inputPath,
                                     OutputLocation::usesSubfolder(rules.directoryTemplate)
                                         ? subfolder(inputPath, addedFolder)
                                         : QString());
}

QString OutputNaming::nameInFolder(const Rules &rules, const QString &inputPath, const QString &addedFolder,
                                   const TrackTags &tags)
{
    const QString baseName = QFileInfo(inputPath).completeBaseName();
    // Without a pattern the name is the input's own, as it always was.
    const QString name = rules.fileNamePattern.isEmpty()
        ? baseName
        : NamePattern::expand(rules.fileNamePattern, tags, baseName, subfolder(inputPath, addedFolder), rules.suffix);
    return name + QLatin1Char('.') + rules.suffix;
}

QString OutputNaming::convertedPath(const QString &inputPath, const QString &addedFolder, const TrackTags &tags)
{
    const Rules rules = Rules::current();
    return folder(rules, inputPath, addedFolder) + QLatin1Char('/') + nameInFolder(rules, inputPath, addedFolder, tags);
}

QString OutputNaming::copiedPath(const QString &inputPath, const QString &addedFolder)
{
    return folder(Rules::current(), inputPath, addedFolder) + QLatin1Char('/') + QFileInfo(inputPath).fileName();
}

bool OutputNaming::needsTags()
{
    return NamePattern::usesTags(AppSettings::OutputFileName);
}

QString OutputNaming::subfolder(const QString &inputPath, const QString &addedFolder)
{
    if (addedFolder.isEmpty())
        return QString();
    // As the walk makes them, rows lie below their folder as spelt.
    const QString folder = QFileInfo(inputPath).path();
    if (folder.startsWith(addedFolder) && folder.size() > addedFolder.size()
        && folder.at(addedFolder.size()) == QLatin1Char('/'))
        return folder.mid(addedFolder.size() + 1);
    const QString relative = QDir(addedFolder).relativeFilePath(QFileInfo(inputPath).absolutePath());
    return relative == QLatin1String(".") || relative == QLatin1String("..")
               || relative.startsWith(QLatin1String("../")) ? QString() : relative;
}

QString OutputNaming::numbered(const QString &path, int n)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix();
    const QString base = suffix.isEmpty() ? file.fileName() : file.completeBaseName();
    const QString folder = path.left(path.size() - file.fileName().size());
    const QString end = QStringLiteral(" (%1)").arg(n) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    // A name at the file system's limit still takes its number and suffix.
    return folder + NamePattern::cut(base, 255 - end.toUtf8().size()) + end;
}
