// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>

// Follows the encoder's own account of how far it is: the input's length from
// its "Duration:" line and the position from the "time=" of its progress
// lines, which end in a carriage return rather than a line feed.
class EncoderProgress
{
public:
    // The encoder counts time on its output's timeline, which a change of
    // tempo stretches against its input's: with a tempo of 1.5, its time
    // 10 s is 15 s into the input.
    explicit EncoderProgress(double tempo = 1.0) : tempo(tempo) {}

    // The product of the tempo changes (atempo) in the filter chain of an
    // encoder's arguments; 1 without any.
    static double tempoOf(const QStringList &arguments);

    void append(const QByteArray &chunk);

    // In milliseconds; -1 while unknown.
    qint64 durationMs() const { return duration; }
    qint64 positionMs() const { return position; }

    // Reads "[-]HH:MM:SS[.frac]"; -1 for anything else, such as "N/A".
    static qint64 parseTime(const QByteArray &text);

private:
    void endLine();

    double tempo;
    QByteArray line;
    qint64 duration = -1;
    qint64 position = -1;
};
