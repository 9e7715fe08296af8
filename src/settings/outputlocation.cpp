// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/outputlocation.h"

#include <QDir>
#include <QFileInfo>

namespace {

QLatin1String placeholder()
{
    return QLatin1String("{sourcedir}");
}

QLatin1String subfolderPlaceholder()
{
    return QLatin1String("{subfolder}");
}

} // namespace

QString OutputLocation::belowSources(const QString &folder)
{
    return folder + QLatin1Char('/') + placeholder();
}

bool OutputLocation::usesSubfolder(const QString &directoryTemplate)
{
    return directoryTemplate.contains(subfolderPlaceholder());
}

QString OutputLocation::folderFor(const QString &directoryTemplate, const QString &inputPath, const QString &subfolder)
{
    QString folder = QString(directoryTemplate).replace(placeholder(), QFileInfo(inputPath).absolutePath());
    if (!usesSubfolder(folder))
        return folder;
    // An empty subfolder leaves no empty folder name behind.
    const QLatin1Char slash('/');
    folder.replace(subfolderPlaceholder() + slash, subfolder.isEmpty() ? QString() : subfolder + slash);
    folder.replace(slash + subfolderPlaceholder(), subfolder.isEmpty() ? QString() : slash + subfolder);
    return folder.replace(subfolderPlaceholder(), subfolder);
}

bool isValidOutputDirectory(QString outputDirectory, OutputFolder folder)
{
    if (outputDirectory.startsWith(placeholder()))
        return true;
    const int sourcedir = outputDirectory.indexOf(placeholder());
    const int subfolder = outputDirectory.indexOf(subfolderPlaceholder());
    const int at = sourcedir < 0 || subfolder < 0 ? qMax(sourcedir, subfolder) : qMin(sourcedir, subfolder);
    if (at >= 0)
        outputDirectory.truncate(at);
    if (outputDirectory.isEmpty())
        return false;
    if (folder == OutputFolder::LookOnly)
        return OutputLocation::canBeMade(outputDirectory);
    QDir().mkpath(outputDirectory);
    const QFileInfo info(outputDirectory);
    return info.isDir() && info.isWritable();
}

bool OutputLocation::canBeMade(const QString &folder)
{
    QFileInfo info(folder);
    while (!info.exists() && info.absoluteFilePath() != info.absolutePath())
        info = QFileInfo(info.absolutePath());
    return info.isDir() && info.isWritable();
}
