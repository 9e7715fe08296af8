// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/resultwriter.h"

#include <cerrno>
#include <climits>

#include <poll.h>
#include <unistd.h>

ResultWriter::ResultWriter(int fd)
    : fd(fd)
    , notifier(fd, QSocketNotifier::Write)
{
    notifier.setEnabled(false);
    connect(&notifier, &QSocketNotifier::activated, this, &ResultWriter::flush);
}

void ResultWriter::write(const QByteArray &bytes)
{
    if (broken)
        return;
    pending += bytes;
    if (!notifier.isEnabled())
        flush();
}

void ResultWriter::flush()
{
    while (!pending.isEmpty()) {
        pollfd ready = {fd, POLLOUT, 0};
        const int polled = ::poll(&ready, 1, 0);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0) {
            notifier.setEnabled(true);
            return;
        }
        // A pipe that polls writable takes this much without blocking.
        const ssize_t written = ::write(fd, pending.constData(), size_t(qMin(pending.size(), PIPE_BUF)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                notifier.setEnabled(true);
                return;
            }
            broken = true;
            notifier.setEnabled(false);
            pending.clear();
            emit failed(errno);
            return;
        }
        pending.remove(0, int(written));
    }
    notifier.setEnabled(false);
    emit drained();
}
