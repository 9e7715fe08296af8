// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/jobreport.h"

#include <QHash>
#include <QString>

// How far a batch is, from what its jobs report: counts of the endings, and
// an estimate of the time left that weighs each job by the length of its
// input rather than counting files, so that one long recording among short
// ones does not throw it off.
class BatchProgress
{
public:
    explicit BatchProgress(int jobs = 0) : jobs(jobs) {}

    void progressed(int id, qint64 positionMs, qint64 durationMs);
    void finished(int id, JobStatus::ConvertStatus status, qint64 durationMs, bool decodeErrors = false);
    // The jobs not yet started will not run.
    void dropQueued();

    int finishedCount() const { return done + skipped + failed; }
    int count(JobStatus::ConvertStatus status) const;
    // The jobs whose input could not all be decoded.
    int decodeErrorCount() const { return withDecodeErrors; }

    // The time left in milliseconds, given how long the batch has run; -1
    // while it cannot be known yet.
    qint64 remainingMs(qint64 elapsedMs) const;

private:
    struct Running
    {
        qint64 position = 0;
        qint64 duration = -1;
    };

    int jobs;
    int done = 0;
    int skipped = 0;
    int failed = 0;
    int withDecodeErrors = 0;
    qint64 finishedMedia = 0;
    int finishedWithLength = 0;
    QHash<int, Running> running;
};

// A span of time as a clock shows it: "0:42", "12:05", "1:02:03".
QString clockText(qint64 ms);
