// SPDX-License-Identifier: GPL-3.0-or-later
#include "naming/outputnaming.h"

#include "conversion/encoderarguments.h"
#include "naming/tracktags.h"
#include "settings/appsettings.h"
#include "settings/outputlocation.h"

#include <QFileInfo>

QString OutputNaming::convertedPath(const QString &inputPath, const QString &addedFolder, const TrackTags &tags)
{
    Q_UNUSED(addedFolder)
    Q_UNUSED(tags)
    return conversionOutputPath(inputPath, OutputLocation::folderFor(AppSettings::OutputDirectory, inputPath));
}

QString OutputNaming::copiedPath(const QString &inputPath, const QString &addedFolder)
{
    Q_UNUSED(addedFolder)
    return OutputLocation::folderFor(AppSettings::OutputDirectory, inputPath) + QLatin1Char('/')
           + QFileInfo(inputPath).fileName();
}

QString OutputNaming::numbered(const QString &path, int n)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix();
    const QString base = suffix.isEmpty() ? file.fileName() : file.completeBaseName();
    const QString folder = path.left(path.size() - file.fileName().size());
    return folder + base + QStringLiteral(" (%1)").arg(n) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}
