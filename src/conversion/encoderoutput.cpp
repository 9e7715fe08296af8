// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderoutput.h"

#include <QCoreApplication>
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

QString lastEncoderLines(const QString &output, int count)
{
    const QVector<QStringRef> lines = output.splitRef(QRegularExpression(QStringLiteral("[\r\n]")));
    QStringList last;
    for (auto line = lines.crbegin(); line != lines.crend() && last.size() < count; ++line) {
        if (line->trimmed().isEmpty() || line->startsWith(QLatin1String("size=")))
            continue;
        last.prepend(line->left(lineLimit).toString());
    }
    return last.join(QLatin1Char('\n'));
}

QString plainWriteFailure(const QString &message)
{
    struct Plain
    {
        const char *said;
        const char *plain;
    };
    static const Plain plainWords[] = {
        {"No space left on device", QT_TRANSLATE_NOOP("FFmpegTask", "No space left on the device")},
        {"Disk quota exceeded", QT_TRANSLATE_NOOP("FFmpegTask", "The disk quota is used up")},
        {"File too large", QT_TRANSLATE_NOOP("FFmpegTask", "The output is too large for its file system")},
        {"Input/output error", QT_TRANSLATE_NOOP("FFmpegTask", "The device reported an input/output error")},
    };
    for (const Plain &words : plainWords) {
        if (message.contains(QLatin1String(words.said)))
            return QCoreApplication::translate("FFmpegTask", words.plain);
    }
    return QCoreApplication::translate("FFmpegTask", "The encoder could not finish writing the output");
}
