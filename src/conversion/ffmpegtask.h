// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/batchinputs.h"
#include "conversion/jobreport.h"
#include "conversion/outputclaims.h"

#include <QObject>
#include <QRunnable>
#include <QString>

#include <atomic>
#include <memory>

class OutputFile;

// One conversion job: classifies one input file, then skips, copies or
// converts it with the encoder, on a worker thread of the engine's pool.
// It reports only through its signals, which are received through queued
// connections.
class FFmpegTask : public QObject, public QRunnable, public JobStatus
{
    Q_OBJECT

public:
    FFmpegTask(int id, const QString &inputPath);

    void run() override;

    // Reports the job Failed without running it, for a job that no thread
    // could be started for.
    void refuse();

    // While the flag is set the task starts no encoder, and stops a running
    // one. The flag must outlive the task's run.
    void setStopFlag(const std::atomic<bool> *flag) { stopFlag = flag; }

    // The task refuses to write over any of these files; over an existing
    // file only once every input is known.
    void setBatchInputs(std::shared_ptr<const BatchInputs> inputs) { batchInputs = std::move(inputs); }

    // The batch whose same-output jobs take turns in row order.
    void setBatchOutputs(std::shared_ptr<BatchOutputs> outputs) { batchOutputs = std::move(outputs); }

    // An earlier job of the batch converts this job's input: this one skips.
    void setSameInputAs(int earlierId) { sameInputAs = earlierId; }

signals:
    void StatusChange(int id, JobStatus::ConvertStatus status);
    // While the encoder runs, a few times a second at most: how far it is
    // into its input, and the input's length, in milliseconds (-1: unknown).
    void Progress(int id, qint64 positionMs, qint64 durationMs);
    // Sent once, with the final status, just before ConvertDone; to be
    // received on the job's own thread.
    void Reported(const JobReport &report);
    void ConvertDone(int id);

private:
    ConvertStatus classifyAndRun();
    void finish(ConvertStatus status);
    ConvertStatus fail(const QString &why);
    ConvertStatus succeed(ConvertStatus status, const QString &how);
    // Runs `work` while this job alone writes `path`, or the name the batch
    // gives it in its place, into a temporary file.
    ConvertStatus whileClaimed(const QString &path, ConvertStatus (FFmpegTask::*work)(OutputFile &));
    ConvertStatus convertClaimed(OutputFile &file);
    ConvertStatus copyClaimed(OutputFile &file);
    ConvertStatus runEncoder(OutputFile &file);
    ConvertStatus commit(OutputFile &file, const QString &how);
    bool stopRequested() const { return stopFlag && stopFlag->load(); }

    int id;
    QString inputPath;
    QString outputDirectory;
    QString outputPath;
    QString reason;
    QString encoderOutput;
    QString commandLine;
    qint64 durationMs = -1;
    QString decodeError;
    int sameInputAs = 0;
    const std::atomic<bool> *stopFlag = nullptr;
    std::shared_ptr<const BatchInputs> batchInputs;
    std::shared_ptr<BatchOutputs> batchOutputs;
};
