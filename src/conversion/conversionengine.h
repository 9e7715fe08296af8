// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/albumgain.h"
#include "conversion/batchprogress.h"
#include "conversion/jobreport.h"
#include "conversion/pathqueue.h"
#include "conversion/workerpool.h"

#include <QObject>
#include <QStringList>

#include <QHash>

#include <atomic>
#include <mutex>

class BatchInputs;
class BatchOutputs;
class ConversionEngine;
class FFmpegTask;

// Carries one batch's reports from its jobs to the engine. The connections
// are by meta-method, so no slot object is shared between the job's thread
// and the engine's; and when a batch is stopped or followed by another,
// deleting its relay drops whatever of it is still on its way. A job's
// report, which holds texts, is left here under a lock on the job's thread
// and taken on the engine's when the job is done, rather than copied into
// the event queue, whose lock the thread checkers cannot see.
class BatchRelay : public QObject
{
    Q_OBJECT

public:
    explicit BatchRelay(ConversionEngine *engine);

    void connectTask(FFmpegTask *task);
    // Drops whatever of the batch is still on its way. A receiver may stop
    // the batch from within a report the relay is handing on, so the relay
    // goes later.
    void retire();

private slots:
    void statusChanged(int id, JobStatus::ConvertStatus status);
    void progressed(int id, qint64 positionMs, qint64 durationMs);
    // On the job's thread.
    void reported(const JobReport &report);
    void convertDone(int id);

private:
    ConversionEngine *engine;
    std::mutex reportsMutex;
    QHash<int, JobReport> reports;
};

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
    // them at a time; path i was added with the folder `addedFolders[i]`,
    // or alone where there is none. A job whose file an earlier job reads is
    // skipped, and jobs whose outputs would be one file write numbered names
    // instead. A batch must not be running.
    void start(const QStringList &inputPaths, int threads, const QStringList &addedFolders = {});
    // What is known of the running batch's input lengths before its jobs
    // run; see BatchProgress::expectLengths.
    void expectLengths(const QVector<qint64> &lengthsMs) { tally.expectLengths(lengthsMs); }

    // The same for a batch whose paths come one by one: begin() opens it,
    // append() adds a job after those before, and endInput() says that no
    // more come. Jobs start while paths still come; a job that would write
    // over an existing file waits for endInput() first, as that file may be
    // an input listed later.
    void begin(int threads);
    // `addedFolder`: the folder whose walk found the path, which it begins
    // with; empty for a file added alone.
    void append(const QString &inputPath, const QString &addedFolder = QString());
    void endInput();

    // Drops the jobs not yet started; the running ones finish and report,
    // then batchEnded follows.
    void cancel();

    // Ends the batch now: encoders are stopped and temporary files removed.
    // Returns once every job has returned; nothing of the batch is reported
    // after it.
    void stop();

    // Like stop(), but the jobs that were running report their end, stopped
    // ones as Failed, and then the batch ends; the jobs that had not started
    // report nothing. All of it is reported before this returns.
    void stopNow();

    bool isRunning() const { return running; }
    // The current or last batch's jobs, their endings and its clock, as
    // reported so far.
    const BatchProgress &progress() const { return tally; }

    // The jobs run at a time for a Threads setting: 0 means one per
    // processor thread.
    static int threadsFor(int setting);

signals:
    void statusChanged(int id, JobStatus::ConvertStatus status);
    // A running encoder's position in its input and the input's length, in
    // milliseconds (-1: unknown), a few times a second at most per job.
    void progressed(int id, qint64 positionMs, qint64 durationMs);
    // Each finished job, in finishing order, then jobDone for it.
    void jobReported(const JobReport &report);
    void jobDone(int id);
    // Every job has finished, or a cancelled batch's running jobs have.
    void batchEnded();

private:
    friend class BatchRelay;
    void retireRelay();
    void dropWaiting();
    void stopJobs();
    void takeProgress(int id, qint64 positionMs, qint64 durationMs);
    void takeReport(const JobReport &report);
    void jobFinished(int id);
    void feed();
    // Ends a batch whose jobs have all finished, once its albums are tagged.
    void finishBatch();
    // Posts the end of batch `serial`, from any thread.
    void endLater(int serial);
    void end();

    WorkerPool pool;
    std::atomic<bool> stopping{false};
    BatchRelay *relay = nullptr;
    // Tells a cancel's end whether its batch is still the current one.
    int batchSerial = 0;
    BatchProgress tally;
    int startedCount = 0;
    int threads = 1;
    bool running = false;
    bool inputOpen = false;
    // The paths appended and not yet handed to the pool, which gets only a
    // few jobs ahead of its threads: a long list costs little more than its
    // bytes.
    PathQueue waiting;
    // The waiting jobs whose input an earlier job converts, and that job.
    QHash<int, int> sameInput;
    std::shared_ptr<BatchInputs> inputs;
    std::shared_ptr<BatchOutputs> outputs;
    AlbumGain albums;
};
