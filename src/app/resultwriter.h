// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

// Writes to a file descriptor, such as standard output, without ever making
// the event loop wait for its reader: what the reader has not taken yet waits
// here. A stalled pipe thus never holds up a signal's clean stop.
class ResultWriter : public QObject
{
    Q_OBJECT

public:
    explicit ResultWriter(int fd);

    void write(const QByteArray &bytes);
    bool isDrained() const { return pending.isEmpty(); }

signals:
    // Everything written so far has been taken.
    void drained();
    // The descriptor refused it; nothing more is written.
    void failed(int error);

private:
    void flush();

    int fd;
    QByteArray pending;
    QSocketNotifier notifier;
    bool broken = false;
};
