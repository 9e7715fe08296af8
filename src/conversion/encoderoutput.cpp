// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderoutput.h"
#include "conversion/linesplitter.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

namespace {

// A message is never longer; a longer line is looked at only this far.
constexpr int lineLimit = 4096;

const char *const writeFailures[] = {
    "Error writing trailer", "Error closing file", "No space left on device",
    "Disk quota exceeded",   "Input/output error", "File too large",
};

// Lines that close every failed run and say nothing of its cause.
const char *const closingLines[] = {"Conversion failed!", "Exiting normally"};

bool isClosingLine(QStringView line)
{
    for (const char *closing : closingLines) {
        if (line.startsWith(QLatin1String(closing)))
            return true;
    }
    // Progress and summary lines.
    return line.startsWith(QLatin1String("size=")) || line.startsWith(QLatin1String("video:"));
}

// Calls `take` with each line of `output`, the last first, until it returns
// false. Lines end at a carriage return (progress) or a line feed.
template<typename Take>
void forEachLineFromEnd(QStringView output, Take take)
{
    qsizetype end = output.size();
    while (end >= 0) {
        qsizetype start = end;
        while (start > 0 && output.at(start - 1) != QLatin1Char('\n') && output.at(start - 1) != QLatin1Char('\r'))
            --start;
        if (!take(output.mid(start, end - start)))
            return;
        end = start - 1;
    }
}

} // namespace

EncoderMessageScan::EncoderMessageScan(const QStringList &paths)
{
    for (const QString &path : paths) {
        const QByteArray name = QFile::encodeName(path);
        if (name.isEmpty())
            continue;
        names.append(name);
        longestName = qMax(longestName, int(name.size()));
    }
}

void EncoderMessageScan::append(const QByteArray &chunk)
{
    pending += chunk;
    for (bool removed = true; removed;) {
        removed = false;
        for (const QByteArray &name : qAsConst(names)) {
            if (pending.contains(name)) {
                pending.replace(name, QByteArray());
                removed = true;
            }
        }
    }
    // A name may begin in what is kept back and end in the next chunk.
    const int complete = pending.size() - qMax(0, longestName - 1);
    if (complete > 0) {
        split(pending.left(complete));
        pending.remove(0, complete);
    }
}

EncoderMessageScan EncoderMessageScan::flushed() const
{
    EncoderMessageScan rest(*this);
    rest.split(rest.pending);
    rest.pending.clear();
    rest.endLine();
    return rest;
}

void EncoderMessageScan::split(const QByteArray &bytes)
{
    splitLines(bytes, line, lineLimit, [this] { endLine(); });
}

void EncoderMessageScan::endLine()
{
    const QString text = QString::fromUtf8(line).trimmed();
    // Indented lines list streams and tags, whose values are the user's
    // text; only the stream mapping, two spaces in, names the decoders, as
    // "(flac (native) -> ..." or "(mp3 (mp3float) -> ...".
    const bool indented = !line.isEmpty() && (line.at(0) == ' ' || line.at(0) == '\t');
    static const QRegularExpression mapping(
        QStringLiteral("\\A  Stream #\\d+:\\d+ -> #\\d+:\\d+ \\((\\S+) \\((\\S+)\\) -> "));
    // Matched only where it may match: a batch's output runs to millions of lines.
    const QRegularExpressionMatch decoder = indented && line.startsWith("  Stream #")
                                                ? mapping.match(QString::fromUtf8(line))
                                                : QRegularExpressionMatch();
    if (decoder.hasMatch())
        decoders.append(decoder.captured(2) == QLatin1String("native") ? decoder.captured(1) : decoder.captured(2));
    summary.line(line);
    line.clear();
    if (indented || text.isEmpty())
        return;
    if (writeFailed.isEmpty()) {
        for (const char *failure : writeFailures) {
            if (text.contains(QLatin1String(failure))) {
                writeFailed = text;
                break;
            }
        }
    }
    // A decoder says what was wrong, as "[flac @ 0x55d1] invalid residual",
    // and the encoder later says "Error while decoding stream #0:0: ...".
    static const QRegularExpression fromComponent(QStringLiteral("\\A\\[(\\S+) @ 0x[0-9a-f]+\\] (.*)\\z"));
    if (firstDecoderMessage.isEmpty() && text.startsWith(QLatin1Char('['))) {
        const QRegularExpressionMatch component = fromComponent.match(text);
        if (component.hasMatch() && decoders.contains(component.captured(1)))
            firstDecoderMessage = component.captured(2);
    }
    if (decodeFailed.isEmpty() && text.startsWith(QLatin1String("Error while decoding stream")))
        decodeFailed = firstDecoderMessage.isEmpty() ? text : firstDecoderMessage;
}

QString lastEncoderMessage(const QString &output)
{
    QString message;
    forEachLineFromEnd(output, [&message](QStringView line) {
        // Indented lines list streams and tags.
        if (line.isEmpty() || line.at(0).isSpace() || isClosingLine(line))
            return true;
        message = line.left(lineLimit).trimmed().toString();
        return false;
    });
    return message;
}

QString lastEncoderLines(const QString &output, int count)
{
    QStringList last;
    forEachLineFromEnd(output, [&last, count](QStringView line) {
        if (last.size() >= count)
            return false;
        if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1String("size=")))
            last.prepend(line.left(lineLimit).toString());
        return true;
    });
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
