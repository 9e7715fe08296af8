// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/outputclaims.h"

#include "conversion/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <condition_variable>

#include <sys/stat.h>

namespace {

// How often a waiting job looks at its stop flag.
constexpr std::chrono::milliseconds pollInterval{100};

// Standard primitives rather than Qt's, so that thread checkers see them.
std::mutex mutex;
std::condition_variable changed;
QSet<OutputKey> claimed;

} // namespace

OutputKey OutputKey::of(const QString &path)
{
    const QFileInfo info(path);
    OutputKey key;
    struct stat folder;
    if (::stat(QFile::encodeName(info.absolutePath()).constData(), &folder) == 0) {
        key.device = quint64(folder.st_dev);
        key.inode = quint64(folder.st_ino);
        key.name = info.fileName().toCaseFolded();
    } else {
        key.name = QDir::cleanPath(info.absoluteFilePath()).toCaseFolded();
    }
    return key;
}

size_t qHash(const OutputKey &key, size_t seed)
{
    return qHash(key.name, seed) ^ ::qHash(key.device, seed) ^ ::qHash(key.inode, seed);
}

void BatchOutputs::announce(int id, const OutputKey *key)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (key)
        writers[*key].insert(id);
    announcedAhead.insert(id);
    while (!announcedAhead.empty() && *announcedAhead.begin() == announcedUpTo + 1) {
        announcedAhead.erase(announcedAhead.begin());
        ++announcedUpTo;
    }
    changed.notify_all();
}

QStringList BatchOutputs::leftoversIn(const QString &folder)
{
    const std::lock_guard<std::mutex> lock(foldersMutex);
    auto found = folders.find(folder);
    if (found == folders.end())
        found = folders.insert(folder, OutputFile::leftoversIn(folder));
    return *found;
}

bool BatchOutputs::mayWrite(int id, const OutputKey &key) const
{
    // The pool starts jobs in row order, so every earlier job is running and
    // is about to announce; until it has, it may still be one of this key's.
    if (announcedUpTo < id - 1)
        return false;
    const auto found = writers.constFind(key);
    return found == writers.constEnd() || found->empty() || *found->begin() == id;
}

void BatchOutputs::finished(int id, const OutputKey &key)
{
    auto found = writers.find(key);
    if (found == writers.end())
        return;
    found->erase(id);
    if (found->empty())
        writers.erase(found);
}

OutputClaim::OutputClaim(const OutputKey &key, int id, const std::shared_ptr<BatchOutputs> &batch,
                         const std::atomic<bool> *stop)
    : key(key)
    , id(id)
    , batch(batch)
{
    std::unique_lock<std::mutex> lock(mutex);
    while (claimed.contains(key) || (batch && !batch->mayWrite(id, key))) {
        if (stop && stop->load())
            return;
        changed.wait_for(lock, pollInterval);
    }
    claimed.insert(key);
    holding = true;
}

OutputClaim::~OutputClaim()
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (holding)
        claimed.remove(key);
    if (batch)
        batch->finished(id, key);
    changed.notify_all();
}
