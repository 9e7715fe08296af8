// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batchsummary.h"

QString BatchSummary::text(const BatchProgress &progress, Ending ending, qint64 elapsedMs)
{
    const int failed = progress.count(JobStatus::Failed);
    QString failedText = tr("%n failed", nullptr, failed).toHtmlEscaped();
    if (failed > 0)
        failedText = QStringLiteral("<a href=\"failed\">%1</a>").arg(failedText);
    QString counts = tr("%1, %2, %3")
                         .arg(tr("%n done", nullptr, progress.count(JobStatus::Done)).toHtmlEscaped(),
                              tr("%n skipped", nullptr, progress.count(JobStatus::Skipped)).toHtmlEscaped(),
                              failedText);
    if (progress.decodeErrorCount() > 0)
        counts = tr("%1, %2").arg(
            counts, tr("%n with decode errors", nullptr, progress.decodeErrorCount()).toHtmlEscaped());
    const QString time = clockText(elapsedMs);
    const QString notConverted = tr("%n not converted", nullptr, progress.jobCount() - progress.finishedCount());
    switch (ending) {
    case Ending::Cancelled:
        return tr("Cancelled after %1: %2; %3").arg(time, counts, notConverted);
    case Ending::Stopped:
        return tr("Stopped after %1: %2; %3").arg(time, counts, notConverted);
    case Ending::Finished:
        break;
    }
    return tr("Finished in %1: %2").arg(time, counts);
}

QString BatchSummary::time(qint64 elapsedMs, qint64 remainingMs)
{
    return remainingMs < 0 ? tr("Elapsed %1").arg(clockText(elapsedMs))
                           : tr("Elapsed %1, about %2 left").arg(clockText(elapsedMs), clockText(remainingMs));
}
