// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderoutput.h"

#include <QRegularExpression>
#include <QVector>

namespace {

// A message is never longer; a longer line is looked at only this far.
constexpr int lineLimit = 4096;

const char *const writeFailures[] = {
    "Error writing trailer", "Error closing file", "No space left on device",
    "Disk quota exceeded",   "Input/output error", "File too large",
};

// Lines that close every failed run and say nothing of its cause.
const char *const closingLines[] = {"Conversion failed!", "Exiting normally"};

bool isClosingLine(const QStringRef &line)
{
    for (const char *closing : closingLines) {
        if (line.startsWith(QLatin1String(closing)))
            return true;
    }
    // Progress and summary lines.
    return line.startsWith(QLatin1String("size=")) || line.startsWith(QLatin1String("video:"));
}

} // namespace

void WriteFailureScan::append(const QByteArray &chunk)
{
    for (const char byte : chunk) {
        if (byte == '\n' || byte == '\r')
            endLine();
        else if (line.size() < lineLimit)
            line += byte;
    }
}

QString WriteFailureScan::failure() const
{
    if (!found.isEmpty() || line.isEmpty())
        return found;
    WriteFailureScan rest(*this);
    rest.endLine();
    return rest.found;
}

void WriteFailureScan::endLine()
{
    // Indented lines list streams and tags, whose values are the user's text.
    if (found.isEmpty() && !line.isEmpty() && line.at(0) != ' ' && line.at(0) != '\t') {
        QString text = QString::fromUtf8(line);
        for (const QString &path : paths)
            text.remove(path);
        for (const char *failure : writeFailures) {
            if (text.contains(QLatin1String(failure))) {
                found = text.trimmed();
                break;
            }
        }
    }
    line.clear();
}

QString lastEncoderMessage(const QString &output)
{
    const QVector<QStringRef> lines = output.splitRef(QRegularExpression(QStringLiteral("[\r\n]")));
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        // Indented lines list streams and tags.
        if (line->isEmpty() || line->at(0).isSpace() || isClosingLine(*line))
            continue;
        return line->left(lineLimit).trimmed().toString();
    }
    return QString();
}
