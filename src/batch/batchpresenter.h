// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batchsummary.h"
#include "conversion/conversionengine.h"

#include <QHash>
#include <QTimer>
#include <QVector>

// Runs a window's batches and tells it what to show: each job's status and
// percentage a few times a second at most, however fast the jobs report; each
// job's report as it comes; the clock every second; the summary when the
// batch ends. It knows which row each job is.
class BatchPresenter : public QObject
{
    Q_OBJECT

public:
    explicit BatchPresenter(QObject *parent = nullptr);

    // Converts `paths`, the files of `rows` in this order, `threads` at a
    // time; with `rows` empty path i is the file of row i. Path i was added
    // with the folder `addedFolders[i]`, or alone where there is none.
    // `lengthsMs`: the inputs' lengths as far as known (-1: unknown), in the
    // order of `paths`.
    void start(const QStringList &paths, const QVector<int> &rows, int threads,
               const QStringList &addedFolders = {}, const QVector<qint64> &lengthsMs = {});
    // Drops the jobs not yet started and lets the running ones finish.
    void cancel();
    // Stops the running encoders at once; their jobs end as Failed.
    void stopNow();
    // Ends the batch at once, untold: nothing of it is shown after.
    void stop();

    bool isConverting() const { return converting; }
    // The row of job `id`; none of the table's for an id outside the batch.
    int rowOf(int id) const;
    bool allFinished() const;

    // What the engine says of a job, held until the next change is shown.
    void queueStatus(int id, JobStatus::ConvertStatus status);
    void queueProgress(int id, qint64 positionMs, qint64 durationMs);

signals:
    void statusChanged(int id, JobStatus::ConvertStatus status);
    void percentChanged(int id, int percent);
    void reported(const JobReport &report);
    // The share of the batch's jobs finished, in percent.
    void finishedChanged(int percent);
    void timeChanged(const QString &text);
    void ended(const QString &summary);

private:
    void showQueuedChanges();
    void forgetQueuedChanges();
    void tellTime();
    void finish();

    ConversionEngine engine;
    bool converting = false;
    // The rows of the running batch by job id - 1; empty when the batch
    // takes every row, in order.
    QVector<int> batchRows;
    BatchSummary::Ending ending = BatchSummary::Ending::Finished;
    QTimer clockTicker;
    QTimer changeTicker;
    QHash<int, JobStatus::ConvertStatus> queuedStatuses;
    QHash<int, int> queuedPercents;
};
