// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Adds `bytes` to the line being read, calling `endLine` at each line break
// or carriage return; a line keeps its first `limit` bytes. Whole runs are
// copied at once: an encoder's output runs to millions of lines.
template <typename EndLine>
void splitLines(const QByteArray &bytes, QByteArray &line, int limit, EndLine endLine)
{
    const char *at = bytes.constData();
    const char *const end = at + bytes.size();
    while (at < end) {
        const char *stop = at;
        while (stop < end && *stop != '\n' && *stop != '\r')
            ++stop;
        const int room = qMax(0, limit - int(line.size()));
        line.append(at, int(qMin<qint64>(stop - at, room)));
        if (stop == end)
            return;
        endLine();
        at = stop + 1;
    }
}
