// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/fileidentity.h"
#include "conversion/keyedrows.h"

#include <QPair>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

// The files a batch reads, by device and inode, as its inputs become known:
// a streamed batch learns of later inputs while earlier jobs already run.
class BatchInputs
{
public:
    // Makes row `row`'s input known: for a symbolic link, the link as well
    // as its target. The first row naming that file under any spelling or
    // link, `row` itself unless an earlier row did.
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
    // Whether `file` is one of the inputs known so far.
    bool knows(const FileIdentity &file) const;
    // The first row naming `inputPath`'s file, of those known so far; 0 for none.
    int firstRowNaming(const QString &inputPath) const;

private:
    bool holds(const QPair<quint64, quint64> &file) const;

    mutable std::mutex mutex;
    mutable std::condition_variable closed;
    // Sorted when looked in, which is mostly once the list is complete: 16
    // bytes an input.
    mutable std::vector<QPair<quint64, quint64>> files;
    mutable size_t sortedFiles = 0;
    // By the name's key, looked up as rows arrive, to tell a file named twice.
    KeyedRows firstRows;
    enum { Open, Complete, Abandoned } state = Open;
};
