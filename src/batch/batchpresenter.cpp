// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batchpresenter.h"

#include "conversion/jobreasons.h"

namespace {

// How often queued row changes and the clock are shown.
constexpr int changeIntervalMs = 200;
constexpr int clockIntervalMs = 1000;

} // namespace

BatchPresenter::BatchPresenter(QObject *parent)
    : QObject(parent)
{
    clockTicker.setInterval(clockIntervalMs);
    connect(&clockTicker, &QTimer::timeout, this, &BatchPresenter::tellTime);
    changeTicker.setSingleShot(true);
    changeTicker.setInterval(changeIntervalMs);
    connect(&changeTicker, &QTimer::timeout, this, &BatchPresenter::showQueuedChanges);

    connect(&engine, &ConversionEngine::statusChanged, this, &BatchPresenter::queueStatus);
    connect(&engine, &ConversionEngine::progressed, this, &BatchPresenter::queueProgress);
    // Reports of jobs stopped by closing the window may still be on their way.
    connect(&engine, &ConversionEngine::jobReported, this, [this](JobReport report) {
        if (!converting)
            return;
        // The engine counts the batch's jobs; the user sees the table's rows.
        if (report.sameInputAs > 0)
            report.reason = JobReasons::sameInputAs(rowOf(report.sameInputAs) + 1);
        emit reported(report);
    });
    connect(&engine, &ConversionEngine::jobDone, this, [this] {
        const BatchProgress &progress = engine.progress();
        if (converting)
            emit finishedChanged(progress.finishedCount() * 100 / progress.jobCount());
    });
    // A cancelled or stopped batch ends without every job done.
    connect(&engine, &ConversionEngine::batchEnded, this, &BatchPresenter::finish);
}

void BatchPresenter::start(const QStringList &paths, const QVector<int> &rows, int threads,
                           const QStringList &addedFolders, const QVector<qint64> &lengthsMs)
{
    forgetQueuedChanges();
    batchRows = rows;
    ending = BatchSummary::Ending::Finished;
    converting = true;
    engine.start(paths, threads, addedFolders);
    engine.expectLengths(lengthsMs);
    tellTime();
    clockTicker.start();
}

void BatchPresenter::cancel()
{
    if (!converting)
        return;
    ending = BatchSummary::Ending::Cancelled;
    engine.cancel();
}

void BatchPresenter::stopNow()
{
    if (!converting)
        return;
    ending = BatchSummary::Ending::Stopped;
    engine.stopNow();
}

void BatchPresenter::stop()
{
    engine.stop();
    clockTicker.stop();
    forgetQueuedChanges();
    batchRows.clear();
    converting = false;
}

int BatchPresenter::rowOf(int id) const
{
    if (batchRows.isEmpty())
        return id - 1;
    return id >= 1 && id <= batchRows.size() ? batchRows.at(id - 1) : -1;
}

bool BatchPresenter::allFinished() const
{
    return engine.progress().finishedCount() == engine.progress().jobCount();
}

void BatchPresenter::queueStatus(int id, JobStatus::ConvertStatus status)
{
    queuedStatuses.insert(id, status);
    queuedPercents.remove(id);
    if (!changeTicker.isActive())
        changeTicker.start();
}

void BatchPresenter::queueProgress(int id, qint64 positionMs, qint64 durationMs)
{
    if (durationMs <= 0)
        return;
    queuedPercents.insert(id, int(qMin<qint64>(100, positionMs * 100 / durationMs)));
    if (!changeTicker.isActive())
        changeTicker.start();
}

void BatchPresenter::showQueuedChanges()
{
    changeTicker.stop();
    for (auto change = queuedStatuses.cbegin(); change != queuedStatuses.cend(); ++change)
        emit statusChanged(change.key(), change.value());
    for (auto change = queuedPercents.cbegin(); change != queuedPercents.cend(); ++change)
        emit percentChanged(change.key(), change.value());
    queuedStatuses.clear();
    queuedPercents.clear();
}

void BatchPresenter::forgetQueuedChanges()
{
    changeTicker.stop();
    queuedStatuses.clear();
    queuedPercents.clear();
}

void BatchPresenter::tellTime()
{
    const BatchProgress &progress = engine.progress();
    const qint64 elapsed = progress.elapsedMs();
    emit timeChanged(BatchSummary::time(elapsed, progress.remainingMs(elapsed)));
}

void BatchPresenter::finish()
{
    if (!converting)
        return;
    showQueuedChanges();
    clockTicker.stop();
    converting = false;
    const QString summary = BatchSummary::text(engine.progress(), ending, engine.progress().elapsedMs());
    batchRows.clear();
    emit ended(summary);
}
