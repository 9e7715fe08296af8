// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/conversionengine.h"

#include "conversion/ffmpegtask.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaMethod>
#include <QPointer>
#include <QThread>

#include <memory>

ConversionEngine::ConversionEngine(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<JobStatus::ConvertStatus>("JobStatus::ConvertStatus");
    qRegisterMetaType<JobReport>("JobReport");
    pool.setRefusalHandler([](QRunnable *job) { static_cast<FFmpegTask *>(job)->refuse(); });
}

ConversionEngine::~ConversionEngine()
{
    stop();
}

void ConversionEngine::start(const QStringList &inputPaths, int threads)
{
    begin(threads);
    for (const QString &path : inputPaths)
        append(path);
    endInput();
}

void ConversionEngine::begin(int threadCount)
{
    ++batchSerial;
    retireRelay();
    relay = new BatchRelay(this);
    tally = BatchProgress();
    startedCount = 0;
    threads = threadCount;
    running = true;
    inputOpen = true;
    waiting.clear();
    sameInput.clear();
    inputs = std::make_shared<BatchInputs>();
    outputs = std::make_shared<BatchOutputs>();
    pool.setMaxThreadCount(threads);
}

void ConversionEngine::append(const QString &inputPath)
{
    if (!inputOpen)
        return;
    const int row = tally.jobCount() + 1;
    const int first = inputs->add(inputPath, row);
    if (first != row)
        sameInput.insert(row, first);
    waiting.push(QFile::encodeName(inputPath));
    tally.added();
    feed();
}

void ConversionEngine::endInput()
{
    if (!inputOpen)
        return;
    inputOpen = false;
    inputs->close();
    if (tally.finishedCount() < tally.jobCount())
        return;
    // Nothing to wait for, but those waiting for the end still hear of it.
    running = false;
    QMetaObject::invokeMethod(
        this,
        [this, serial = batchSerial] {
            if (serial == batchSerial)
                emit batchEnded();
        },
        Qt::QueuedConnection);
}

void ConversionEngine::feed()
{
    while (!waiting.isEmpty() && startedCount - tally.finishedCount() < 2 * threads) {
        auto *task = new FFmpegTask(++startedCount, QFile::decodeName(waiting.take()));
        task->setAutoDelete(true);
        task->setStopFlag(&stopping);
        task->setBatchInputs(inputs);
        task->setBatchOutputs(outputs);
        task->setSameInputAs(sameInput.take(startedCount));
        relay->connectTask(task);
        pool.start(task);
    }
}

void ConversionEngine::retireRelay()
{
    if (relay)
        relay->retire();
    relay = nullptr;
}

void ConversionEngine::takeProgress(int id, qint64 positionMs, qint64 durationMs)
{
    tally.progressed(id, positionMs, durationMs);
    emit progressed(id, positionMs, durationMs);
}

void ConversionEngine::takeReport(const JobReport &report)
{
    tally.finished(report.id, report.status, report.durationMs, !report.decodeError.isEmpty());
    emit jobReported(report);
}

void ConversionEngine::jobFinished(int id)
{
    emit jobDone(id);
    feed();
    if (!inputOpen && tally.finishedCount() == tally.jobCount())
        end();
}

void ConversionEngine::cancel()
{
    tally.dropQueued();
    dropWaiting();
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

void ConversionEngine::dropWaiting()
{
    waiting.clear();
    sameInput.clear();
    if (inputOpen)
        inputs->abandon();
    inputOpen = false;
    pool.clear();
}

void ConversionEngine::stopJobs()
{
    dropWaiting();
    stopping = true;
    pool.waitForDone(-1);
    stopping = false;
}

void ConversionEngine::stop()
{
    stopJobs();
    ++batchSerial;
    retireRelay();
    running = false;
}

void ConversionEngine::stopNow()
{
    if (!running)
        return;
    stopJobs();
    // Every job has returned, so all it reported is in the relay's queue.
    QPointer<BatchRelay> current = relay;
    QCoreApplication::sendPostedEvents(relay, QEvent::MetaCall);
    // A receiver may have started a new batch meanwhile.
    if (current && current == relay && running)
        end();
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

BatchRelay::BatchRelay(ConversionEngine *engine)
    : QObject(engine)
    , engine(engine)
{
}

void BatchRelay::connectTask(FFmpegTask *task)
{
    // Looked up once: a batch may connect a hundred thousand jobs.
    struct Route
    {
        QMetaMethod signal;
        QMetaMethod slot;
        Qt::ConnectionType type;
    };
    static const Route routes[] = {
        {QMetaMethod::fromSignal(&FFmpegTask::StatusChange),
         staticMetaObject.method(staticMetaObject.indexOfSlot("statusChanged(int,JobStatus::ConvertStatus)")),
         Qt::QueuedConnection},
        {QMetaMethod::fromSignal(&FFmpegTask::Progress),
         staticMetaObject.method(staticMetaObject.indexOfSlot("progressed(int,qint64,qint64)")),
         Qt::QueuedConnection},
        {QMetaMethod::fromSignal(&FFmpegTask::Reported),
         staticMetaObject.method(staticMetaObject.indexOfSlot("reported(JobReport)")), Qt::DirectConnection},
        {QMetaMethod::fromSignal(&FFmpegTask::ConvertDone),
         staticMetaObject.method(staticMetaObject.indexOfSlot("convertDone(int)")), Qt::QueuedConnection},
    };
    for (const Route &route : routes)
        connect(task, route.signal, this, route.slot, route.type);
}

void BatchRelay::retire()
{
    engine = nullptr;
    deleteLater();
}

void BatchRelay::statusChanged(int id, JobStatus::ConvertStatus status)
{
    if (engine)
        emit engine->statusChanged(id, status);
}

void BatchRelay::progressed(int id, qint64 positionMs, qint64 durationMs)
{
    if (engine)
        engine->takeProgress(id, positionMs, durationMs);
}

void BatchRelay::reported(const JobReport &report)
{
    const std::lock_guard<std::mutex> lock(reportsMutex);
    reports.insert(report.id, report);
}

void BatchRelay::convertDone(int id)
{
    if (!engine)
        return;
    JobReport report;
    {
        const std::lock_guard<std::mutex> lock(reportsMutex);
        report = reports.take(id);
    }
    engine->takeReport(report);
    if (engine)
        engine->jobFinished(id);
}
