// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/batchinputs.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

// A file's name with links and other spellings resolved, in 16 bytes
// however long the path: hard links stay distinct files, as their names are.
QPair<quint64, quint64> nameKey(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    const QByteArray digest = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256);
    QPair<quint64, quint64> key;
    std::memcpy(&key.first, digest.constData(), sizeof key.first);
    std::memcpy(&key.second, digest.constData() + sizeof key.first, sizeof key.second);
    return key;
}

} // namespace

int BatchInputs::add(const QString &inputPath, int row)
{
    const FileIdentity input(inputPath, FileIdentity::Itself);
    if (!input.exists)
        return row;
    const FileIdentity target = input.link ? FileIdentity(inputPath) : input;
    const QPair<quint64, quint64> name = nameKey(inputPath);
    const std::lock_guard<std::mutex> lock(mutex);
    files.push_back(input.key());
    if (!target.exists)
        return row;
    if (input.link)
        files.push_back(target.key());
    if (const int first = firstRows.value(name))
        return first;
    firstRows.insert(name, row);
    return row;
}

void BatchInputs::close()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (state == Open)
            state = Complete;
    }
    closed.notify_all();
}

void BatchInputs::abandon()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (state == Open)
            state = Abandoned;
    }
    closed.notify_all();
}

BatchInputs::Answer BatchInputs::contains(const FileIdentity &file, const std::atomic<bool> *stop) const
{
    std::unique_lock<std::mutex> lock(mutex);
    // The wait looks at the stop flag, which nobody notifies, every so often.
    while (state != Complete) {
        if (state == Abandoned || (stop && stop->load()))
            return Stopped;
        closed.wait_for(lock, std::chrono::milliseconds(100));
    }
    return holds(file.key()) ? Input : NotInput;
}

bool BatchInputs::knows(const FileIdentity &file) const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return file.exists && holds(file.key());
}

bool BatchInputs::holds(const QPair<quint64, quint64> &file) const
{
    if (sortedFiles != files.size()) {
        std::sort(files.begin(), files.end());
        sortedFiles = files.size();
    }
    return std::binary_search(files.begin(), files.end(), file);
}

int BatchInputs::firstRowNaming(const QString &inputPath) const
{
    const QPair<quint64, quint64> name = nameKey(inputPath);
    const std::lock_guard<std::mutex> lock(mutex);
    return firstRows.value(name);
}
