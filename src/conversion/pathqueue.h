// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <deque>

// Paths waiting for their job, first in first out, packed into large blocks:
// a queued path costs its encoded bytes and one more, however many wait.
class PathQueue
{
public:
    void push(const QByteArray &path);
    // The oldest path; the queue must not be empty.
    QByteArray take();
    bool isEmpty() const { return blocks.empty(); }
    void clear();

private:
    std::deque<QByteArray> blocks; // each path followed by a NUL byte
    int taken = 0;                 // bytes of the first block already taken
};
