// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/dryrun.h"
#include "app/pathlist.h"
#include "app/resultwriter.h"
#include "conversion/conversionengine.h"

#include <QObject>
#include <QTimer>

#include <memory>

// A batch converted without a window, for scripts: one result line per
// finished job on standard output, and on a terminal a progress line on
// standard error.
class HeadlessBatch : public QObject
{
    Q_OBJECT

public:
    enum ExitCode { AllConverted = 0, SomeFailed = 1, CouldNotStart = 2 };

    // With `nulSeparated` each field of a result ends in a NUL byte. With
    // `planOnly` nothing is converted: each line says what would be done.
    HeadlessBatch(bool nulSeparated, bool progressLine, bool planOnly = false);

    // Checks the settings, then walks the paths, those given first and then
    // those the lists give, as a drop on the window would, starting jobs as
    // they come. False, with the reason on standard error, where the batch
    // cannot start.
    bool start(const QStringList &paths, PathListReader &lists);

    // Ends the running jobs now, their temporary files removed.
    void stop();

signals:
    // Every job has finished and its line has been written, or the lines
    // could not be written.
    void finished(int exitCode);

private:
    void add(const QString &path);
    void report(const JobReport &report);
    void planDryRun();
    // Ends with SomeFailed for `failures` or a missing path, once every line is out.
    void endWhenWritten(bool failures);
    static void writeToStandardError(const QByteArray &text);
    void end(int exitCode);
    void showProgress();
    void clearProgress();

    ConversionEngine engine;
    std::unique_ptr<DryRun> dryRun;
    PathListReader *lists = nullptr;
    ResultWriter results;
    bool nulSeparated;
    bool progressShown;
    bool ended = false;
    // Paths that were neither a file nor a folder; the engine counts the jobs.
    int missingCount = 0;
    QTimer progressTimer;
};
