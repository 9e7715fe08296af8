// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/outputclaims.h"

#include <QFileInfo>
#include <QObject>
#include <QPair>
#include <QRunnable>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class OutputFile;

// The files a batch reads, by device and inode: the same file under any name.
using BatchInputs = QSet<QPair<quint64, quint64>>;
BatchInputs batchInputsOf(const QStringList &paths);

// One conversion job: classifies one input file, then skips, copies or
// converts it with the encoder, on a worker thread of the window's pool.
// It reports only through its two signals, which the window receives through
// queued connections; the status is therefore registered with the meta-type
// system under its qualified name "FFmpegTask::ConvertStatus" at start-up.
class FFmpegTask : public QObject, public QRunnable
{
    Q_OBJECT

public:
    enum ConvertStatus {
        Pending,    // in the table, not yet reported by a task
        Converting, // the encoder is about to run
        Failed,
        Skipped,
        Done,
    };

    FFmpegTask(int id, const QString &inputPath);

    void run() override;

    // Reports the job Failed without running it, for a job that no thread
    // could be started for.
    void refuse();

    // While the flag is set the task starts no encoder, and stops a running
    // one. The flag must outlive the task's run.
    void setStopFlag(const std::atomic<bool> *flag) { stopFlag = flag; }

    // The task refuses to write over any of these files.
    void setBatchInputs(std::shared_ptr<const BatchInputs> inputs) { batchInputs = std::move(inputs); }

    // The batch whose same-output jobs take turns in row order.
    void setBatchOutputs(std::shared_ptr<BatchOutputs> outputs) { batchOutputs = std::move(outputs); }

signals:
    void StatusChange(int id, FFmpegTask::ConvertStatus status);
    void ConvertDone(int id);

private:
    void prepareOutputDirectory();
    void buildArguments();
    // Runs `work` while this job alone writes `path`, into a temporary file.
    ConvertStatus whileClaimed(const QString &path, ConvertStatus (FFmpegTask::*work)(OutputFile &));
    ConvertStatus convertClaimed(OutputFile &file);
    ConvertStatus copyClaimed(OutputFile &file);
    ConvertStatus runEncoder(OutputFile &file);
    bool commit(OutputFile &file);
    bool stopRequested() const { return stopFlag && stopFlag->load(); }

    int id;
    QString inputPath;
    QFileInfo inputInfo;
    QString outputDirectory;
    QString outputPath;
    QString outputSuffix;
    QStringList arguments;
    QString filterText;
    const std::atomic<bool> *stopFlag = nullptr;
    std::shared_ptr<const BatchInputs> batchInputs;
    std::shared_ptr<BatchOutputs> batchOutputs;

    friend class TestConversion;
};

// True for audio and video files, and for files whose type is unknown;
// false for playlists and cue sheets, which are other files.
bool isAudioOrVideo(const QString &path);
