// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/conversionengine.h"

#include <QThread>

#include <memory>

ConversionEngine::ConversionEngine(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<FFmpegTask::ConvertStatus>("FFmpegTask::ConvertStatus");
    qRegisterMetaType<JobReport>("JobReport");
    pool.setRefusalHandler([](QRunnable *job) { static_cast<FFmpegTask *>(job)->refuse(); });
}

ConversionEngine::~ConversionEngine()
{
    stop();
}

void ConversionEngine::start(const QStringList &inputPaths, int threads)
{
    ++batchSerial;
    batchSize = inputPaths.size();
    finishedCount = 0;
    running = batchSize > 0;
    pool.setMaxThreadCount(threads);

    if (batchSize == 0) {
        // Nothing to wait for, but those waiting for the end still hear of it.
        QMetaObject::invokeMethod(
            this,
            [this, serial = batchSerial] {
                if (serial == batchSerial)
                    emit batchEnded();
            },
            Qt::QueuedConnection);
        return;
    }
    const auto inputs = std::make_shared<const BatchInputs>(batchInputsOf(inputPaths));
    const auto outputs = std::make_shared<BatchOutputs>();
    const int serial = batchSerial;
    for (int row = 0; row < batchSize; ++row) {
        auto *task = new FFmpegTask(row + 1, inputPaths.at(row));
        task->setAutoDelete(true);
        task->setStopFlag(&stopping);
        task->setBatchInputs(inputs);
        task->setBatchOutputs(outputs);
        connect(
            task, &FFmpegTask::StatusChange, this,
            [this, serial](int id, FFmpegTask::ConvertStatus status) {
                if (serial == batchSerial)
                    emit statusChanged(id, status);
            },
            Qt::QueuedConnection);
        connect(
            task, &FFmpegTask::Reported, this,
            [this, serial](const JobReport &report) {
                if (serial == batchSerial)
                    emit jobReported(report);
            },
            Qt::QueuedConnection);
        connect(
            task, &FFmpegTask::ConvertDone, this,
            [this, serial](int id) {
                if (serial != batchSerial)
                    return;
                emit jobDone(id);
                if (++finishedCount == batchSize)
                    end();
            },
            Qt::QueuedConnection);
        pool.start(task);
    }
}

void ConversionEngine::cancel()
{
    pool.clear();
    // The end is posted once the last running job has returned, so every
    // report of the cancelled batch comes before it.
    const int serial = batchSerial;
    pool.whenIdle([this, serial] {
        QMetaObject::invokeMethod(
            this,
            [this, serial] {
                // A newer batch may have started since this one was cancelled.
                if (serial == batchSerial && running)
                    end();
            },
            Qt::QueuedConnection);
    });
}

void ConversionEngine::stop()
{
    pool.clear();
    stopping = true;
    pool.waitForDone(-1);
    stopping = false;
    ++batchSerial;
    running = false;
}

void ConversionEngine::end()
{
    running = false;
    emit batchEnded();
}

int ConversionEngine::threadsFor(int setting)
{
    return setting > 0 ? setting : QThread::idealThreadCount();
}
