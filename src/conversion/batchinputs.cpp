// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/batchinputs.h"

#include <algorithm>
#include <chrono>

void BatchInputs::add(const QString &inputPath)
{
    const FileIdentity input(inputPath, FileIdentity::Itself);
    add(input);
    if (input.link)
        add(FileIdentity(inputPath));
}

void BatchInputs::add(const FileIdentity &input)
{
    if (!input.exists)
        return;
    const std::lock_guard<std::mutex> lock(mutex);
    inputs.push_back(input.key());
}

void BatchInputs::close()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (state == Open) {
            std::sort(inputs.begin(), inputs.end());
            state = Complete;
        }
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
    return std::binary_search(inputs.begin(), inputs.end(), file.key()) ? Input : NotInput;
}
