// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileInfo>
#include <QObject>
#include <QPair>
#include <QRunnable>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

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

    // While the flag is set the task starts no encoder, and stops a running
    // one. The flag must outlive the task's run.
    void setStopFlag(const std::atomic<bool> *flag) { stopFlag = flag; }

    // The task refuses to write over any of these files.
    void setBatchInputs(std::shared_ptr<const BatchInputs> inputs) { batchInputs = std::move(inputs); }

signals:
    void StatusChange(int id, FFmpegTask::ConvertStatus status);
    void ConvertDone(int id);

private:
    void prepareOutputDirectory();
    void buildArguments();
    ConvertStatus convertClaimed();
    ConvertStatus runEncoder();
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

    friend class TestConversion;
};

// True for audio and video files, and for files whose type is unknown.
bool isAudioOrVideo(const QString &path);
