// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderprogress.h"
#include "conversion/linesplitter.h"

#include <QList>

#include <algorithm>
#include <cctype>

namespace {

// Progress and header lines are short; longer lines are tags and paths.
constexpr int lineLimit = 512;

// The value after `key` up to the next space or comma.
QByteArray valueAfter(const QByteArray &line, const char *key, int from)
{
    int start = line.indexOf(key, from);
    if (start < 0)
        return QByteArray();
    start += int(qstrlen(key));
    while (start < line.size() && line.at(start) == ' ')
        ++start;
    int end = start;
    while (end < line.size() && line.at(end) != ' ' && line.at(end) != ',')
        ++end;
    return line.mid(start, end - start);
}

} // namespace

double EncoderProgress::tempoOf(const QStringList &arguments)
{
    double tempo = 1.0;
    for (int at = arguments.indexOf(QStringLiteral("-af")); at >= 0 && at + 1 < arguments.size();
         at = arguments.indexOf(QStringLiteral("-af"), at + 2)) {
        const QStringList filters = arguments.at(at + 1).split(QLatin1Char(','));
        for (const QString &filter : filters) {
            if (!filter.startsWith(QLatin1String("atempo=")))
                continue;
            bool ok = false;
            const double factor = filter.mid(7).toDouble(&ok);
            if (ok && factor > 0)
                tempo *= factor;
        }
    }
    return tempo;
}

void EncoderProgress::append(const QByteArray &chunk)
{
    splitLines(chunk, line, lineLimit, [this] { endLine(); });
}

void EncoderProgress::endLine()
{
    if (line.isEmpty())
        return;
    // The first input's length; an output's header has none.
    if (duration < 0 && line.startsWith("  Duration:")) {
        duration = parseTime(valueAfter(line, "Duration:", 0));
    } else if (line.startsWith("size=") || line.startsWith("frame=")) {
        // Only the statistics lines: a title or a file name may hold "time=".
        const qint64 time = parseTime(valueAfter(line, "time=", 0));
        if (time >= 0)
            position = qint64(double(time) * tempo + 0.5);
    }
    line.clear();
}

qint64 EncoderProgress::parseTime(const QByteArray &text)
{
    const bool negative = text.startsWith('-');
    const QList<QByteArray> parts = text.mid(negative ? 1 : 0).split(':');
    if (parts.size() != 3)
        return -1;
    // Digits only: toDouble() would also take "nan" or "1e9".
    const QByteArray &secondsText = parts.at(2);
    if (secondsText.isEmpty()
        || !std::all_of(secondsText.begin(), secondsText.end(), [](char c) { return isdigit(uchar(c)) || c == '.'; }))
        return -1;
    bool hoursOk = false, minutesOk = false, secondsOk = false;
    const qint64 hours = parts.at(0).toLongLong(&hoursOk);
    const int minutes = parts.at(1).toInt(&minutesOk);
    const double seconds = secondsText.toDouble(&secondsOk);
    if (!hoursOk || !minutesOk || !secondsOk || hours < 0 || minutes < 0)
        return -1;
    // The encoder counts from a little before the start at first.
    if (negative)
        return 0;
    return (hours * 3600 + minutes * 60) * 1000 + qint64(seconds * 1000 + 0.5);
}
