// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/jobreport.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QVector>

// How far a batch is, from what its jobs report: the one count of its jobs
// and their endings, its clock, and an estimate of the time left that weighs
// each job by the length of its input rather than counting files, so that
// one long recording among short ones does not throw it off.
class BatchProgress
{
public:
    // The clock starts with the batch.
    explicit BatchProgress(int jobs = 0) : jobs(jobs), total(jobs) { clock.start(); }

    // One more job in the batch.
    void added()
    {
        ++jobs;
        ++total;
    }
    // The lengths of the batch's inputs known before they run, by job id - 1
    // (-1: unknown): a job not yet started counts with its own length rather
    // than the average.
    void expectLengths(const QVector<qint64> &lengthsMs);
    void progressed(int id, qint64 positionMs, qint64 durationMs);
    void finished(int id, JobStatus::ConvertStatus status, qint64 durationMs, bool decodeErrors = false);
    // The jobs not yet started will not run.
    void dropQueued();

    int jobCount() const { return total; }
    int finishedCount() const
    {
        return endings[JobStatus::Done] + endings[JobStatus::Skipped] + endings[JobStatus::Failed];
    }
    int count(JobStatus::ConvertStatus status) const;
    // The jobs whose input could not all be decoded.
    int decodeErrorCount() const { return withDecodeErrors; }

    // The time left in milliseconds, given how long the batch has run; -1
    // while it cannot be known yet.
    qint64 remainingMs(qint64 elapsedMs) const;
    qint64 elapsedMs() const { return clock.elapsed(); }

private:
    // Takes job `id` out of those counted with a length known ahead.
    void started(int id);

    struct Running
    {
        qint64 position = 0;
        qint64 duration = -1;
    };

    // Those expected to run, and all the batch was given.
    int jobs;
    int total;
    // By status; Pending and Converting stay 0.
    int endings[JobStatus::Done + 1] = {};
    int withDecodeErrors = 0;
    qint64 finishedMedia = 0;
    int finishedWithLength = 0;
    QHash<int, Running> running;
    QVector<qint64> expected;
    qint64 expectedLeft = 0;
    int expectedCount = 0;
    QElapsedTimer clock;
};

// A span of time as a clock shows it: "0:42", "12:05", "1:02:03".
QString clockText(qint64 ms);
