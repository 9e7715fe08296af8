// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/ffmpegtask.h"
#include "conversion/workerpool.h"

#include <QObject>
#include <QStringList>

#include <atomic>

// Runs batches of conversion jobs, several at a time on a pool of its own,
// and reports on the thread it lives on. A window and the command line are
// two faces of it: it shows nothing and reads the settings only as its jobs do.
class ConversionEngine : public QObject
{
    Q_OBJECT

public:
    explicit ConversionEngine(QObject *parent = nullptr);
    // Stops a running batch first: no job outlives the engine.
    ~ConversionEngine() override;

    // Starts one job per path, numbered from 1 in this order, `threads` of
    // them at a time. A batch must not be running.
    void start(const QStringList &inputPaths, int threads);

    // Drops the jobs not yet started; the running ones finish and report,
    // then batchEnded follows.
    void cancel();

    // Ends the batch now: encoders are stopped and temporary files removed.
    // Returns once every job has returned; nothing of the batch is reported
    // after it.
    void stop();

    bool isRunning() const { return running; }

    // The jobs run at a time for a Threads setting: 0 means one per
    // processor thread.
    static int threadsFor(int setting);

signals:
    void statusChanged(int id, FFmpegTask::ConvertStatus status);
    // Each finished job, in finishing order, then jobDone for it.
    void jobReported(const JobReport &report);
    void jobDone(int id);
    // Every job has finished, or a cancelled batch's running jobs have.
    void batchEnded();

private:
    void end();

    WorkerPool pool;
    std::atomic<bool> stopping{false};
    // Reports that are still on their way from a batch that has been stopped
    // or followed by another are dropped.
    int batchSerial = 0;
    int batchSize = 0;
    int finishedCount = 0;
    bool running = false;
};
