// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/outputclaims.h"

#include "conversion/outputfile.h"

#include <QSet>

#include <chrono>
#include <condition_variable>

namespace {

// How often a waiting job looks at its stop flag.
constexpr std::chrono::milliseconds pollInterval{100};

// Standard primitives rather than Qt's, so that thread checkers see them.
std::mutex mutex;
std::condition_variable changed;
QSet<OutputKey> claimed;

} // namespace

QString BatchOutputs::take(int id, const QString &path, const std::atomic<bool> *stop)
{
    std::unique_lock<std::mutex> lock(mutex);
    // The pool starts jobs in row order, so every earlier job is running and
    // is about to take its output.
    while (takenUpTo < id - 1) {
        if (stop && stop->load()) {
            taken(id);
            return QString();
        }
        changed.wait_for(lock, pollInterval);
    }
    const QString output = names.take(id, path).path;
    taken(id);
    return output;
}

void BatchOutputs::passes(int id)
{
    const std::lock_guard<std::mutex> lock(mutex);
    taken(id);
}

void BatchOutputs::taken(int id)
{
    takenAhead.insert(id);
    while (!takenAhead.empty() && *takenAhead.begin() == takenUpTo + 1) {
        takenAhead.erase(takenAhead.begin());
        ++takenUpTo;
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

OutputClaim::OutputClaim(const OutputKey &key, const std::atomic<bool> *stop)
    : key(key)
{
    std::unique_lock<std::mutex> lock(mutex);
    while (claimed.contains(key)) {
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
    changed.notify_all();
}
