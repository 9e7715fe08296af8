// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>

// Where a job stands. FFmpegTask inherits it, so FFmpegTask::ConvertStatus
// names it too; the signals carry it as "JobStatus::ConvertStatus", the name
// it is registered under for queued connections.
struct JobStatus
{
    enum ConvertStatus {
        Pending,    // in the table, not yet reported by a task
        Converting, // the encoder is about to run
        Failed,
        Skipped,
        Done,
    };
};

// What became of one job.
struct JobReport
{
    int id = 0;
    JobStatus::ConvertStatus status = JobStatus::Pending;
    QString inputPath;
    // The file the job wrote or would have written; empty for a job that
    // has none, such as a skipped other file.
    QString outputPath;
    // Why the job ended as it did, in a few words: for a failure its cause,
    // for a skip why, for a success what was done.
    QString reason;
    // What the encoder wrote, shortened in the middle when long; empty when
    // no encoder ran.
    QString encoderOutput;
    // The encoder's command line as it ran, quoted as a shell would take it;
    // empty when no encoder ran.
    QString commandLine;
    // The input's length as the encoder read it, in milliseconds; -1 when
    // unknown.
    qint64 durationMs = -1;
    // For a job Done although the encoder could not decode all of its input,
    // leaving the output shorter: the encoder's first message about it.
    QString decodeError{};
    // For a job skipped as its input is an earlier job's: that job's id.
    int sameInputAs = 0;

    // "decoded with errors: " and that message, or nothing.
    QString decodeNote() const;
    // The reason, and the decode note after it.
    QString explanation() const;
};
Q_DECLARE_METATYPE(JobReport)
