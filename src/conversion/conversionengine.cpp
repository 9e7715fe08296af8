// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/conversionengine.h"

#include "conversion/ffmpegtask.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaMethod>
#include <QPointer>
#include <QThread>

#include <memory>
#include <utility>

ConversionEngine::ConversionEngine(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<JobStatus::ConvertStatus>("JobStatus::ConvertStatus");
    qRegisterMetaType<JobReport>("JobReport");
    // What is not a conversion runs here, then.
    pool.setRefusalHandler([](QRunnable *job) {
        if (auto *task = dynamic_cast<FFmpegTask *>(job))
            task->refuse();
        else
            job->run();
    });
}

ConversionEngine::~ConversionEngine()
{
    stop();
}

void ConversionEngine::start(const QStringList &inputPaths, int threads, const QStringList &addedFolders)
{
    begin(threads);
    for (int i = 0; i < inputPaths.size(); ++i)
        append(inputPaths.at(i), addedFolders.value(i));
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
    albums = AlbumGain();
    pool.setMaxThreadCount(threads);
}

void ConversionEngine::append(const QString &inputPath, const QString &addedFolder)
{
    if (!inputOpen)
        return;
    const int row = tally.jobCount() + 1;
    const int first = inputs->add(inputPath, row);
    if (first != row)
        sameInput.insert(row, first);
    const QByteArray path = QFile::encodeName(inputPath);
    const QByteArray folder = QFile::encodeName(addedFolder);
    waiting.push(path, path.startsWith(folder) ? folder.size() : 0);
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
    if (!albums.isEmpty()) {
        finishBatch();
        return;
    }
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
        const PathQueue::Entry entry = waiting.take();
        auto *task = new FFmpegTask(++startedCount, QFile::decodeName(entry.path), QFile::decodeName(entry.folder()));
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
    albums.add(report);
    emit jobReported(report);
}

void ConversionEngine::jobFinished(int id)
{
    emit jobDone(id);
    feed();
    if (!inputOpen && tally.finishedCount() == tally.jobCount())
        finishBatch();
}

void ConversionEngine::finishBatch()
{
    if (albums.isEmpty()) {
        end();
        return;
    }
    // On the pool, as the jobs run: a large batch's albums take a while. A
    // stop ends it within a file.
    pool.start(QRunnable::create([this, serial = batchSerial, batchAlbums = std::exchange(albums, {})] {
        batchAlbums.retag(&stopping);
        endLater(serial);
    }));
}

void ConversionEngine::endLater(int serial)
{
    QMetaObject::invokeMethod(
        this,
        [this, serial] {
            // A newer batch may have started meanwhile.
            if (serial == batchSerial && running)
                end();
        },
        Qt::QueuedConnection);
}

void ConversionEngine::cancel()
{
    tally.dropQueued();
    dropWaiting();
    // The end is posted once the last running job has returned, so every
    // report of the cancelled batch comes before it.
    pool.whenIdle([this, serial = batchSerial] { endLater(serial); });
}

void ConversionEngine::dropWaiting()
{
    waiting.clear();
    sameInput.clear();
    // Before a job waiting for the list gives up: the thread it frees must
    // find no queued job to start.
    pool.clear();
    if (inputOpen)
        inputs->abandon();
    inputOpen = false;
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
