// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/batchprogress.h"

#include <iterator>

namespace {

// Before this the rate swings too much to be worth showing.
constexpr qint64 settlingMs = 3000;

} // namespace

void BatchProgress::expectLengths(const QVector<qint64> &lengthsMs)
{
    expected = lengthsMs;
    expectedLeft = 0;
    expectedCount = 0;
    for (const qint64 length : lengthsMs) {
        if (length >= 0) {
            expectedLeft += length;
            ++expectedCount;
        }
    }
}

void BatchProgress::started(int id)
{
    if (id < 1 || id > expected.size() || expected.at(id - 1) < 0)
        return;
    expectedLeft -= expected.at(id - 1);
    --expectedCount;
    expected[id - 1] = -1;
}

void BatchProgress::progressed(int id, qint64 positionMs, qint64 durationMs)
{
    started(id);
    Running &job = running[id];
    job.position = qMax<qint64>(0, positionMs);
    job.duration = durationMs;
}

void BatchProgress::finished(int id, JobStatus::ConvertStatus status, qint64 durationMs, bool decodeErrors)
{
    started(id);
    running.remove(id);
    withDecodeErrors += decodeErrors ? 1 : 0;
    // Whatever did not end Done or Skipped failed.
    ++endings[status == JobStatus::Done || status == JobStatus::Skipped ? status : JobStatus::Failed];
    // A failed job's input counts as worked through: its time is spent.
    if (durationMs >= 0) {
        finishedMedia += durationMs;
        ++finishedWithLength;
    }
}

void BatchProgress::dropQueued()
{
    jobs = finishedCount() + running.size();
    expectLengths({});
}

int BatchProgress::count(JobStatus::ConvertStatus status) const
{
    return status >= 0 && status < int(std::size(endings)) ? endings[status] : 0;
}

qint64 BatchProgress::remainingMs(qint64 elapsedMs) const
{
    if (elapsedMs < settlingMs)
        return -1;
    qint64 mediaDone = finishedMedia;
    qint64 knownLengths = finishedMedia;
    int withLength = finishedWithLength;
    qint64 runningLeft = 0;
    for (const Running &job : running) {
        if (job.duration < 0)
            continue;
        const qint64 position = qMin(job.position, job.duration);
        mediaDone += position;
        knownLengths += job.duration;
        runningLeft += job.duration - position;
        ++withLength;
    }
    if (withLength == 0 || mediaDone <= 0)
        return -1;
    // Jobs not started yet whose length is not known ahead are taken to be
    // as long as the average so far.
    const int queued = qMax(0, jobs - finishedCount() - int(running.size()) - expectedCount);
    const double mediaLeft =
        double(runningLeft) + double(expectedLeft) + double(queued) * double(knownLengths) / withLength;
    return qint64(mediaLeft * double(elapsedMs) / double(mediaDone) + 0.5);
}

QString clockText(qint64 ms)
{
    const qint64 seconds = qMax<qint64>(0, ms) / 1000;
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
