// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/batchprogress.h"

#include <QCoreApplication>

// A batch in words for the status bar: its clock while it runs, its counts
// and how it ended once it has.
class BatchSummary
{
    Q_DECLARE_TR_FUNCTIONS(BatchSummary)

public:
    enum class Ending { Finished, Cancelled, Stopped };

    // "Finished in 0:08: 2 done, 1 skipped, 1 failed" and the like, as rich
    // text in which a failed count above 0 links to "failed".
    static QString text(const BatchProgress &progress, Ending ending, qint64 elapsedMs);
    // "Elapsed 0:42", with the time left once it can be told (`remainingMs` >= 0).
    static QString time(qint64 elapsedMs, qint64 remainingMs);
};
