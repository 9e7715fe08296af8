// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderarguments.h"

#include "conversion/loudnesssummary.h"
#include "settings/appsettings.h"
#include "settings/outputformat.h"

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

    const OutputFormat *format = OutputFormat::find(AppSettings::OutputFormat);
    if (format) {
        if (format->codec)
            arguments << QStringLiteral("-c:a") << QString::fromLatin1(format->codec);
        arguments << AppSettings::OutputQualityArguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (format->takesSampleRate && !AppSettings::OutputSamplerate.isEmpty())
            arguments << QStringLiteral("-ar") << AppSettings::OutputSamplerate;
        if (AppSettings::OutputChannelCount > 0)
            arguments << QStringLiteral("-ac") << QString::number(AppSettings::OutputChannelCount);
        if (format->metadata != OutputFormat::NoMetadata)
            arguments << QStringLiteral("-map_metadata") << QStringLiteral("0")
                      << QStringLiteral("-map_metadata") << QStringLiteral("0:s:a:0");
        if (format->metadata == OutputFormat::StreamAndId3Metadata)
            arguments << QStringLiteral("-id3v2_version") << QStringLiteral("3");
    }

    QString filterText;
    if (AppSettings::UseSoXresampler)
        filterText += QStringLiteral("aresample=resampler=soxr ");
    filterText += AppSettings::AudioFilters;
    QString chain = filterText.simplified().replace(QLatin1Char(' '), QLatin1Char(','));
    // Only a format whose tags are written is measured.
    if (AppSettings::ReplayGain && format)
        chain = LoudnessSummary::measuringChain(chain, QString::fromLatin1(format->id),
                                                AppSettings::OutputChannelCount);
    if (!chain.isEmpty())
        arguments << QStringLiteral("-af") << chain;

    arguments << outputPath;
    return arguments;
}

namespace {

bool plainWord(const QString &word)
{
    return !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || QStringLiteral("_@%+=:,./-").contains(c);
    });
}

// What a copy could change or a terminal could hide: text widgets copy a
// no-break space as a plain one and a line separator as a line break.
bool fragile(uint c)
{
    return c < 0x20 || c == 0x7f || (c >= 0x80 && (!QChar::isPrint(c) || QChar::isSpace(c)));
}

// Fragile characters are written as the escapes of their UTF-8 bytes, so the
// line holds only what survives a copy and the shell gives back the bytes.
QString ansiCQuoted(const QString &word)
{
    static const char letters[] = "abtnvfr"; // \a (7) to \r (13)
    QString quoted = QStringLiteral("$'");
    for (int i = 0; i < word.size(); ++i) {
        const bool pair = word.at(i).isHighSurrogate() && i + 1 < word.size() && word.at(i + 1).isLowSurrogate();
        const QString character = word.mid(i, pair ? 2 : 1);
        i += pair;
        const uint c = character.toUcs4().constFirst();
        if (c == '\\' || c == '\'') {
            quoted += QLatin1Char('\\') + character;
        } else if (c >= '\a' && c <= '\r') {
            quoted += QLatin1Char('\\') + QString(QLatin1Char(letters[c - '\a']));
        } else if (!fragile(c)) {
            quoted += character;
        } else {
            for (const char byte : character.toUtf8())
                quoted += QString::asprintf("\\x%02x", uint(uchar(byte)));
        }
    }
    return quoted + QLatin1Char('\'');
}

QString shellWord(const QString &word)
{
    if (plainWord(word))
        return word;
    const QVector<uint> characters = word.toUcs4();
    if (std::any_of(characters.begin(), characters.end(), fragile))
        return ansiCQuoted(word);
    return QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\'');
}

} // namespace

QString shellCommandLine(const QString &program, const QStringList &arguments)
{
    QStringList words;
    words.reserve(arguments.size() + 1);
    for (const QString &word : QStringList(program) + arguments)
        words << shellWord(word);
    return words.join(QLatin1Char(' '));
}
