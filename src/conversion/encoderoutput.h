// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/loudnesssummary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The encoder's output as the log shows it. An encoder may write without
// end, so only its beginning and its end are kept, and it is decoded once,
// whole, since a chunk may end inside a character or hold a NUL byte.
class OutputExcerpt
{
public:
    void append(const QByteArray &chunk)
    {
        total += chunk.size();
        const int toHead = qMin(chunk.size(), keep - head.size());
        head += chunk.left(toHead);
        tail += chunk.mid(toHead);
        if (tail.size() > 2 * keep)
            tail.remove(0, tail.size() - keep);
    }

    QString text() const
    {
        if (total <= head.size() + keep)
            return decode(head + tail);
        // Cut at character boundaries, so that both parts decode cleanly.
        const QByteArray first = head.left(completeEnd(head));
        QByteArray last = tail.right(keep);
        last.remove(0, firstStart(last));
        return decode(first)
            + QStringLiteral("\n[... %1 bytes left out ...]\n").arg(total - first.size() - last.size())
            + decode(last);
    }

private:
    static constexpr int keep = 64 * 1024;

    // Whole, NUL bytes included: the QByteArray overload stops at the first.
    static QString decode(const QByteArray &bytes)
    {
        return QString::fromUtf8(bytes.constData(), bytes.size());
    }

    static bool continues(char byte) { return (uchar(byte) & 0xC0) == 0x80; }

    // Where the last whole character of `bytes` ends.
    static int completeEnd(const QByteArray &bytes)
    {
        int lead = bytes.size();
        while (lead > 0 && bytes.size() - lead < 3 && continues(bytes.at(lead - 1)))
            --lead;
        if (lead == 0)
            return bytes.size();
        const uchar byte = uchar(bytes.at(--lead));
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return bytes.size() - lead < length ? lead : bytes.size();
    }

    // Where the first whole character of `bytes` starts.
    static int firstStart(const QByteArray &bytes)
    {
        int start = 0;
        while (start < bytes.size() && start < 3 && continues(bytes.at(start)))
            ++start;
        return start;
    }

    QByteArray head;
    QByteArray tail;
    qint64 total = 0;
};

// Reads the encoder's own messages in its output: a failure to write, which
// the encoder reports for some, such as a full disk at the trailer, while
// still exiting with code 0 and leaving a short or empty file; and input it
// could not decode, which it skips, exiting with code 0 as well.
class EncoderMessageScan
{
public:
    // `paths` are the paths the encoder was given. It repeats them, and as
    // they may hold any text, line breaks included, they are taken out of
    // the output before it is split into lines.
    explicit EncoderMessageScan(const QStringList &paths);

    void append(const QByteArray &chunk);
    // The message of a failure to write, or an empty text.
    QString writeFailure() const { return flushed().writeFailed; }
    // The first message of the first failure to decode, or an empty text.
    QString decodeError() const { return flushed().decodeFailed; }
    // What the loudness measurement gave, if it ran to the end.
    std::optional<Loudness> loudness() const { return flushed().summary.loudness(); }

private:
    EncoderMessageScan flushed() const;
    void split(const QByteArray &bytes);
    void endLine();

    QVector<QByteArray> names;
    int longestName = 0;
    QByteArray pending; // may still end in the beginning of a name
    QByteArray line;
    QStringList decoders;
    QString firstDecoderMessage;
    QString writeFailed;
    QString decodeFailed;
    LoudnessSummary summary;
};

// The encoder's last message in `output`: usually the reason it failed, such
// as "song.flac: Invalid data found when processing input". Empty when there
// is none.
QString lastEncoderMessage(const QString &output);

// The last `count` lines of `output` that are not progress lines, for
// showing what the encoder said last.
QString lastEncoderLines(const QString &output, int count);

// A failure to write that the encoder reported (see EncoderMessageScan), in
// plain words in the user's language.
QString plainWriteFailure(const QString &message);
