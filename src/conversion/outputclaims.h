// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>

// An output file as the file system sees it: its folder by device and inode,
// and its name folded to one case. Other spellings of a path, a bind mount of
// the folder and a case-insensitive disk all give the same key.
struct OutputKey
{
    quint64 device = 0;
    quint64 inode = 0;
    QString name; // folded; the cleaned absolute path where the folder cannot be read

    static OutputKey of(const QString &path);
    bool operator==(const OutputKey &other) const
    {
        return device == other.device && inode == other.inode && name == other.name;
    }
};
size_t qHash(const OutputKey &key, size_t seed = 0);

// Orders the writers of one batch: the jobs that write one output take turns
// in row order, so the later row's file is the one that stays. Every job of
// the batch announces once what it will write, or that it writes nothing,
// before it waits for anything.
class BatchOutputs
{
public:
    void announce(int id, const OutputKey *key);

    // What OutputFile::leftoversIn gives for `folder`, read once per batch:
    // a flat folder of many outputs is not read again for each of them.
    QStringList leftoversIn(const QString &folder);

private:
    friend class OutputClaim;
    bool mayWrite(int id, const OutputKey &key) const;
    void finished(int id, const OutputKey &key);

    int announcedUpTo = 0;     // every job up to this id has announced
    std::set<int> announcedAhead;
    QHash<OutputKey, std::set<int>> writers; // announced, not yet finished
    std::mutex foldersMutex;
    QHash<QString, QStringList> folders;
};

// The right to write one output, held while a job writes it. Within this
// process one job at a time holds a key; with a batch, in its row order.
class OutputClaim
{
public:
    // Waits for the key; gives up, holding nothing, once `stop` is set.
    OutputClaim(const OutputKey &key, int id, const std::shared_ptr<BatchOutputs> &batch,
                const std::atomic<bool> *stop);
    ~OutputClaim();
    OutputClaim(const OutputClaim &) = delete;
    OutputClaim &operator=(const OutputClaim &) = delete;

    bool held() const { return holding; }

private:
    OutputKey key;
    int id;
    std::shared_ptr<BatchOutputs> batch;
    bool holding = false;
};
