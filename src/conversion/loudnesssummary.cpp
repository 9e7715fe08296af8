// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/loudnesssummary.h"

#include <QRegularExpression>
#include <QString>

void LoudnessSummary::line(const QByteArray &line)
{
    static const QRegularExpression header(QStringLiteral("\\A\\[Parsed_ebur128_(\\d+) @ 0x[0-9a-f]+\\] Summary:\\z"));
    static const QRegularExpression figure(QStringLiteral("\\A    (I|Peak): +(-?\\d+\\.\\d) (LUFS|dBFS)\\z"));
    if (line.isEmpty())
        return;
    if (line.at(0) != ' ') {
        if (filterNumber >= 0 && integrated && peakDb && filterNumber >= lastNumber) {
            last = Loudness{*integrated, *peakDb, 0};
            lastNumber = filterNumber;
        }
        integrated.reset();
        peakDb.reset();
        const QRegularExpressionMatch match = line.startsWith("[Parsed_ebur128_")
            ? header.match(QString::fromUtf8(line))
            : QRegularExpressionMatch();
        filterNumber = match.hasMatch() ? match.captured(1).toInt() : -1;
        return;
    }
    if (filterNumber < 0 || !line.startsWith("    "))
        return;
    const QRegularExpressionMatch match = figure.match(QString::fromUtf8(line));
    if (!match.hasMatch())
        return;
    const bool isIntegrated = match.captured(1) == QLatin1String("I");
    if (isIntegrated != (match.captured(3) == QLatin1String("LUFS")))
        return;
    std::optional<double> &target = isIntegrated ? integrated : peakDb;
    if (!target)
        target = match.captured(2).toDouble();
}

std::optional<Loudness> LoudnessSummary::loudness() const
{
    LoudnessSummary ended(*this);
    ended.line(QByteArrayLiteral("end"));
    return ended.last;
}

QString LoudnessSummary::measuringChain(const QString &filters, const QString &formatId, int channelCount)
{
    // ebur128 takes 48 kHz only, and the split's formats are those of the
    // output: the branch converts on its own. A downmix the encoder does is
    // measured as it does it: an integer output is kept from clipping, a
    // float one not, and MP3 and Opus take the format their input has.
    QString branch;
    if (channelCount <= 0) {
        // A layout the branch must know; the input's is one of these.
        branch = QStringLiteral("aresample=48000,aformat=channel_layouts=mono|stereo|2.1|3.0|4.0|quad|5.0|5.1|6.1|7.1");
    } else if (formatId == QLatin1String("mp3") || formatId == QLatin1String("opus")) {
        branch = QStringLiteral("aformat=channel_layouts=%1c,aresample=48000").arg(channelCount);
    } else if (formatId == QLatin1String("wav") || formatId == QLatin1String("flac")) {
        branch = QStringLiteral("aresample=48000:ochl=%1c:rematrix_maxval=1").arg(channelCount);
    } else {
        branch = QStringLiteral("aresample=48000:ochl=%1c").arg(channelCount);
    }
    return (filters.isEmpty() ? QString() : filters + QLatin1Char(','))
        + QStringLiteral("asplit=2[written][measured];[measured]") + branch
        + QStringLiteral(",ebur128=peak=sample:framelog=verbose,anullsink");
}
