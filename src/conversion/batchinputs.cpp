// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/batchinputs.h"

#include <chrono>

int BatchInputs::add(const QString &inputPath, int row)
{
    const FileIdentity input(inputPath, FileIdentity::Itself);
    if (!input.exists)
        return row;
    const FileIdentity target = input.link ? FileIdentity(inputPath) : input;
    const std::lock_guard<std::mutex> lock(mutex);
    const int first = target.exists ? rows.value(target.key(), row) : row;
    if (target.exists)
        rows.insert(target.key(), first);
    rows.insert(input.key(), rows.value(input.key(), row));
    return first;
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
    return rows.contains(file.key()) ? Input : NotInput;
}

int BatchInputs::rowOf(const FileIdentity &file) const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return file.exists ? rows.value(file.key()) : 0;
}
