// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRunnable>

#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

// Runs jobs on up to a set number of threads, in the order they were queued.
// Unlike QThreadPool it notices a thread that cannot be started (a process
// limit): the job then waits for a running thread, and where none runs it is
// handed to the refusal handler, so that a batch still ends.
class WorkerPool
{
public:
    WorkerPool() = default;
    // Drops the queued jobs and waits for the running ones.
    ~WorkerPool();
    WorkerPool(const WorkerPool &) = delete;
    WorkerPool &operator=(const WorkerPool &) = delete;

    void setMaxThreadCount(int count);
    int maxThreadCount() const;
    int activeThreadCount() const;

    // Called, on the thread that queued it, with a job no thread can run;
    // the pool deletes the job afterwards when it deletes itself.
    void setRefusalHandler(std::function<void(QRunnable *)> handler);

    void start(QRunnable *job);
    // Removes the jobs not yet started, deleting those that delete themselves.
    void clear();
    // False when jobs still run after `msecs` (-1: no limit).
    bool waitForDone(int msecs = -1);
    // Calls `handler` once, as soon as no job is queued or running: at once
    // where that is so now, else on the thread that ran the last job.
    void whenIdle(std::function<void()> handler);

private:
    void work();
    void runIdleHandlers();
    void joinFinished(std::unique_lock<std::mutex> &lock);
    static void release(QRunnable *job);

    mutable std::mutex mutex;
    std::condition_variable idle;
    std::deque<QRunnable *> queue;
    std::list<std::thread> threads;
    std::vector<std::thread::id> finished; // ended threads not yet joined
    std::vector<std::function<void()>> idleHandlers;
    std::function<void(QRunnable *)> refusalHandler;
    int maxThreads = 1;
    int running = 0; // threads started and not yet ended
    int busy = 0;    // of those, the ones running a job
};
