// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderarguments.h"

#include "conversion/outputformat.h"
#include "settings/appsettings.h"

#include <QFileInfo>

#include <algorithm>

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

QString shellCommandLine(const QString &program, const QStringList &arguments)
{
    const auto plain = [](const QString &word) {
        return !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) {
            return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || QStringLiteral("_@%+=:,./-").contains(c);
        });
    };
    QStringList words;
    words.reserve(arguments.size() + 1);
    for (const QString &word : QStringList(program) + arguments) {
        if (plain(word))
            words << word;
        else
            words << QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QLatin1String("'\\''"))
                    + QLatin1Char('\'');
    }
    return words.join(QLatin1Char(' '));
}
