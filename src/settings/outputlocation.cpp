// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/outputlocation.h"

#include <QDir>
#include <QFileInfo>

namespace {

QLatin1String placeholder()
{
    return QLatin1String("{sourcedir}");
}

} // namespace

QString OutputLocation::belowSources(const QString &folder)
{
    return folder + QLatin1Char('/') + placeholder();
}

QString OutputLocation::folderFor(const QString &directoryTemplate, const QString &inputPath)
{
    return QString(directoryTemplate).replace(placeholder(), QFileInfo(inputPath).absolutePath());
}

bool isValidOutputDirectory(QString outputDirectory, OutputFolder folder)
{
    if (outputDirectory.startsWith(placeholder()))
        return true;
    const int at = outputDirectory.indexOf(placeholder());
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
