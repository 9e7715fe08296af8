// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/workerpool.h"

#include "logging/logging.h"

#include <algorithm>
#include <chrono>
#include <system_error>

WorkerPool::~WorkerPool()
{
    clear();
    waitForDone(-1);
    // With nothing queued, every thread is on its way out.
    for (std::thread &thread : threads)
        thread.join();
}

void WorkerPool::setMaxThreadCount(int count)
{
    const std::lock_guard<std::mutex> lock(mutex);
    maxThreads = qMax(1, count);
}

int WorkerPool::maxThreadCount() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return maxThreads;
}

int WorkerPool::activeThreadCount() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return busy;
}

void WorkerPool::setRefusalHandler(std::function<void(QRunnable *)> handler)
{
    const std::lock_guard<std::mutex> lock(mutex);
    refusalHandler = std::move(handler);
}

void WorkerPool::start(QRunnable *job)
{
    std::unique_lock<std::mutex> lock(mutex);
    joinFinished(lock);
    queue.push_back(job);
    if (running >= maxThreads || running >= int(queue.size()) + busy)
        return;
    try {
        threads.emplace_back([this] { work(); });
        ++running;
        return;
    } catch (const std::system_error &error) {
        qCWarning(lcEngine) << "A thread could not be started:" << error.what();
    }
    if (running > 0)
        return; // a running thread takes the job in turn
    std::deque<QRunnable *> refused;
    refused.swap(queue);
    const auto handler = refusalHandler;
    lock.unlock();
    for (QRunnable *unrun : refused) {
        if (handler)
            handler(unrun);
        release(unrun);
    }
    runIdleHandlers();
}

void WorkerPool::clear()
{
    std::deque<QRunnable *> dropped;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        dropped.swap(queue);
    }
    for (QRunnable *job : dropped)
        release(job);
    // Dropping the queue may have left the pool idle.
    runIdleHandlers();
}

bool WorkerPool::waitForDone(int msecs)
{
    std::unique_lock<std::mutex> lock(mutex);
    const auto done = [this] { return queue.empty() && busy == 0; };
    if (msecs < 0)
        idle.wait(lock, done);
    else if (!idle.wait_for(lock, std::chrono::milliseconds(msecs), done))
        return false;
    joinFinished(lock);
    return true;
}

void WorkerPool::whenIdle(std::function<void()> handler)
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!queue.empty() || busy > 0) {
            idleHandlers.push_back(std::move(handler));
            return;
        }
    }
    handler();
}

void WorkerPool::work()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!queue.empty()) {
        QRunnable *job = queue.front();
        queue.pop_front();
        ++busy;
        lock.unlock();
        job->run();
        release(job);
        lock.lock();
        // The last job's thread calls the idle handlers while it still counts
        // as busy, so that nobody waiting for the pool sees it idle before.
        while (busy == 1 && queue.empty() && !idleHandlers.empty()) {
            std::vector<std::function<void()>> handlers;
            handlers.swap(idleHandlers);
            lock.unlock();
            for (const auto &handler : handlers)
                handler();
            lock.lock();
        }
        --busy;
    }
    --running;
    finished.push_back(std::this_thread::get_id());
    idle.notify_all();
}

void WorkerPool::runIdleHandlers()
{
    std::vector<std::function<void()>> handlers;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (queue.empty() && busy == 0)
            handlers.swap(idleHandlers);
    }
    for (const auto &handler : handlers)
        handler();
}

void WorkerPool::joinFinished(std::unique_lock<std::mutex> &lock)
{
    std::list<std::thread> ended;
    for (auto thread = threads.begin(); thread != threads.end();) {
        const auto next = std::next(thread);
        if (std::find(finished.begin(), finished.end(), thread->get_id()) != finished.end())
            ended.splice(ended.end(), threads, thread);
        thread = next;
    }
    finished.clear();
    lock.unlock();
    for (std::thread &thread : ended)
        thread.join();
    lock.lock();
}

void WorkerPool::release(QRunnable *job)
{
    if (job->autoDelete())
        delete job;
}
