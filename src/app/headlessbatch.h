// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/conversionengine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A batch converted without a window, for scripts: one result line per
// finished job on standard output, and on a terminal a progress line on
// standard error.
class HeadlessBatch : public QObject
{
    Q_OBJECT

public:
    enum ExitCode { AllConverted = 0, SomeFailed = 1, CouldNotStart = 2 };

    // With `nulSeparated` each result line ends in a NUL byte instead of a
    // line break.
    HeadlessBatch(bool nulSeparated, bool progressLine);

    // Checks the settings, walks the paths as a drop on the window would and
    // starts the jobs. False, with the reason on standard error, where the
    // batch cannot start.
    bool start(const QStringList &paths);

    // Ends the running jobs now, their temporary files removed.
    void stop();

signals:
    void finished(int exitCode);

private:
    void report(const JobReport &report);
    void showProgress();

    ConversionEngine engine;
    bool nulSeparated;
    bool progressShown;
    int total = 0;
    int finishedCount = 0;
    int failedCount = 0;
    int missingCount = 0;
    QElapsedTimer elapsed;
    QTimer progressTimer;
};
