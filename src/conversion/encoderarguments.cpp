// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderarguments.h"

#include "conversion/outputformat.h"
#include "settings/appsettings.h"

#include <QFileInfo>

QString outputSuffix()
{
    const OutputFormat *format = OutputFormat::find(AppSettings::OutputFormat);
    return format ? QString::fromLatin1(format->id) : AppSettings::OutputFormat;
}

QString conversionOutputPath(const QString &inputPath, const QString &outputFolder)
{
    return outputFolder + QLatin1Char('/') + QFileInfo(inputPath).completeBaseName() + QLatin1Char('.')
        + outputSuffix();
}

QStringList encoderArguments(const QString &inputPath, const QString &outputPath)
{
    QStringList arguments;
    arguments << QStringLiteral("-hide_banner")
              << (AppSettings::QuickConvertMode ? QStringLiteral("-n") : QStringLiteral("-y"))
              << QStringLiteral("-vn") << QStringLiteral("-i") << inputPath;

    if (const OutputFormat *format = OutputFormat::find(AppSettings::OutputFormat)) {
        if (format->codec)
            arguments << QStringLiteral("-c:a") << QString::fromLatin1(format->codec);
        arguments << AppSettings::OutputQualityArguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (format->takesSampleRate && !AppSettings::OutputSamplerate.isEmpty())
            arguments << QStringLiteral("-ar") << AppSettings::OutputSamplerate;
        if (AppSettings::OutputChannelCount > 0)
            arguments << QStringLiteral("-ac") << QString::number(AppSettings::OutputChannelCount);
        if (format->metadata != OutputFormat::NoMetadata)
            arguments << QStringLiteral("-map_metadata") << QStringLiteral("0")
                      << QStringLiteral("-map_metadata") << QStringLiteral("0:s:0");
        if (format->metadata == OutputFormat::StreamAndId3Metadata)
            arguments << QStringLiteral("-id3v2_version") << QStringLiteral("3");
    }

    QString filterText;
    if (AppSettings::UseSoXresampler)
        filterText += QStringLiteral("aresample=resampler=soxr ");
    filterText += AppSettings::AudioFilters;
    const QString chain = filterText.simplified().replace(QLatin1Char(' '), QLatin1Char(','));
    if (!chain.isEmpty())
        arguments << QStringLiteral("-af") << chain;

    arguments << outputPath;
    return arguments;
}
