// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <deque>

// Paths waiting for their job, first in first out, packed into large blocks:
// a queued path costs its encoded bytes and a few more, however many wait.
// The folder a path was added with is its beginning, so only its length is
// kept.
class PathQueue
{
public:
    struct Entry
    {
        QByteArray path;
        // Bytes of `path` that name the folder it was added with; 0 for none.
        int folderLength = 0;

        QByteArray folder() const { return path.left(folderLength); }
    };

    void push(const QByteArray &path, int folderLength = 0);
    // The oldest entry; the queue must not be empty.
    Entry take();
    bool isEmpty() const { return blocks.empty(); }
    void clear();

private:
    std::deque<QByteArray> blocks; // each entry: folder length, ':', path, NUL
    int taken = 0;                 // bytes of the first block already taken
};
