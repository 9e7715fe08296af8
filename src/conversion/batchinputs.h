// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/fileidentity.h"

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
    // For an input that is a symbolic link, the link as well as its target.
    void add(const QString &inputPath);
    // Every input is known.
    void close();
    // No more inputs come, but the list was not read to its end: nothing
    // can be known not to be an input.
    void abandon();

    enum Answer { Input, NotInput, Stopped };
    // Whether `file` is one of the inputs; waits until every input is known,
    // and gives up once `stop` is set or the list is abandoned.
    Answer contains(const FileIdentity &file, const std::atomic<bool> *stop) const;

private:
    void add(const FileIdentity &input);

    mutable std::mutex mutex;
    mutable std::condition_variable closed;
    // Sorted once complete: 16 bytes an input, where a hash would take
    // several times that for a list of a million.
    std::vector<QPair<quint64, quint64>> inputs;
    enum { Open, Complete, Abandoned } state = Open;
};
