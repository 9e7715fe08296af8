// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/outputnames.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <set>

// Gives the rows of one batch their outputs in row order, each file to one
// row only. Every job of the batch takes its output, or says that it writes
// nothing, once, before it waits for anything else.
class BatchOutputs
{
public:
    // The file job `id` writes in place of `path`, once every earlier job has
    // taken its own; empty once `stop` is set.
    QString take(int id, const QString &path, const std::atomic<bool> *stop);
    // Job `id` writes nothing.
    void passes(int id);

    // What OutputFile::leftoversIn gives for `folder`, read once per batch:
    // a flat folder of many outputs is not read again for each of them.
    QStringList leftoversIn(const QString &folder);

private:
    void taken(int id);

    int takenUpTo = 0; // every job up to this id has taken its output
    std::set<int> takenAhead;
    OutputNames names;
    std::mutex foldersMutex;
    QHash<QString, QStringList> folders;
};

// The right to write one output, held while a job writes it: within this
// process one job at a time holds a key.
class OutputClaim
{
public:
    // Waits for the key; gives up, holding nothing, once `stop` is set.
    OutputClaim(const OutputKey &key, const std::atomic<bool> *stop);
    ~OutputClaim();
    OutputClaim(const OutputClaim &) = delete;
    OutputClaim &operator=(const OutputClaim &) = delete;

    bool held() const { return holding; }

private:
    OutputKey key;
    bool holding = false;
};
