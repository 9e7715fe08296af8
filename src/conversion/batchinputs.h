// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/fileidentity.h"

#include <QHash>
#include <QPair>

#include <atomic>
#include <condition_variable>
#include <mutex>

// The files a batch reads, by device and inode, as its inputs become known:
// a streamed batch learns of later inputs while earlier jobs already run.
class BatchInputs
{
public:
    // Makes row `row`'s input known: for a symbolic link, the link as well
    // as its target. The first row naming that file, `row` itself unless an
    // earlier row did.
    int add(const QString &inputPath, int row);
    // Every input is known.
    void close();
    // No more inputs come, but the list was not read to its end: nothing
    // can be known not to be an input.
    void abandon();

    enum Answer { Input, NotInput, Stopped };
    // Whether `file` is one of the inputs; waits until every input is known,
    // and gives up once `stop` is set or the list is abandoned.
    Answer contains(const FileIdentity &file, const std::atomic<bool> *stop) const;
    // The first row whose input `file` is, of those known so far; 0 for none.
    int rowOf(const FileIdentity &file) const;

private:
    mutable std::mutex mutex;
    mutable std::condition_variable closed;
    // Looked up as rows arrive, to tell a file named twice.
    QHash<QPair<quint64, quint64>, int> rows;
    enum { Open, Complete, Abandoned } state = Open;
};
