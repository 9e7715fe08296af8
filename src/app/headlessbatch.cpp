// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/headlessbatch.h"

#include "app/commandline.h"
#include "app/resultrecord.h"
#include "batch/statuswords.h"
#include "conversion/batchchecks.h"
#include "conversion/filewalk.h"
#include "settings/appsettings.h"

#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <unistd.h>

HeadlessBatch::HeadlessBatch(bool nulSeparated, bool progressLine, bool planOnly)
    : results(STDOUT_FILENO)
    , nulSeparated(nulSeparated)
    , progressShown(progressLine && !planOnly)
{
    if (planOnly)
        dryRun = std::make_unique<DryRun>();
    connect(&engine, &ConversionEngine::jobReported, this, &HeadlessBatch::report);
    connect(&engine, &ConversionEngine::batchEnded, this, [this] {
        if (engine.progress().jobCount() == 0) {
            clearProgress();
            progressShown = false;
            CommandLine::printError(QStringLiteral("No files to convert."));
            end(CouldNotStart);
            return;
        }
        endWhenWritten(engine.progress().count(JobStatus::Failed) > 0);
    });
    // A reader that went away (`| head`) ends the batch as its signal would
    // have; any other failure to write is said.
    connect(&results, &ResultWriter::failed, this, [this](int error) {
        stop();
        if (error != EPIPE)
            CommandLine::printError(QStringLiteral("Cannot write the results: %1")
                                        .arg(QString::fromLocal8Bit(std::strerror(error))));
        end(error == EPIPE ? 128 + SIGPIPE : SomeFailed);
    });
    connect(&progressTimer, &QTimer::timeout, this, &HeadlessBatch::showProgress);
}

bool HeadlessBatch::start(const QStringList &paths, PathListReader &pathLists)
{
    const QString problem = batchSettingsProblem(dryRun ? OutputFolder::LookOnly : OutputFolder::Make);
    if (!problem.isEmpty()) {
        CommandLine::printError(problem);
        return false;
    }

    if (!dryRun)
        engine.begin(ConversionEngine::threadsFor(AppSettings::Threads));
    if (progressShown) {
        showProgress();
        progressTimer.start(1000);
    }
    for (const QString &path : paths)
        add(path);
    lists = &pathLists;
    connect(lists, &PathListReader::pathRead, this, &HeadlessBatch::add);
    if (dryRun)
        connect(lists, &PathListReader::finished, this, &HeadlessBatch::planDryRun);
    else
        connect(lists, &PathListReader::finished, &engine, &ConversionEngine::endInput);
    lists->start();
    return true;
}

void HeadlessBatch::add(const QString &path)
{
    const InputPath input(path);
    if (input.isFile() || input.isFolder()) {
        const QString addedFolder = input.isFolder() ? path : QString();
        for (const QString &file : input.files()) {
            if (dryRun)
                dryRun->add(file, addedFolder);
            else
                engine.append(file);
        }
        return;
    }
    clearProgress();
    CommandLine::printError(input.exists() ? QStringLiteral("Neither a file nor a folder: %1").arg(path)
                                           : QStringLiteral("No such file or folder: %1").arg(path));
    ++missingCount;
}

void HeadlessBatch::stop()
{
    if (lists)
        lists->stop();
    engine.stop();
    progressTimer.stop();
    if (progressShown)
        std::fputc('\n', stderr);
    progressShown = false;
}

void HeadlessBatch::planDryRun()
{
    if (dryRun->isEmpty()) {
        CommandLine::printError(QStringLiteral("No files to convert."));
        end(CouldNotStart);
        return;
    }
    const bool fails = dryRun->plan(nulSeparated, [this](const QByteArray &record, const QByteArray &why) {
        results.write(record);
        writeToStandardError(why);
    });
    endWhenWritten(fails);
}

void HeadlessBatch::endWhenWritten(bool failures)
{
    const int code = failures || missingCount > 0 ? SomeFailed : AllConverted;
    if (results.isDrained())
        end(code);
    else
        connect(&results, &ResultWriter::drained, this, [this, code] { end(code); });
}

void HeadlessBatch::writeToStandardError(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
}

void HeadlessBatch::end(int exitCode)
{
    if (ended)
        return;
    ended = true;
    progressTimer.stop();
    if (progressShown) {
        showProgress();
        std::fputc('\n', stderr);
    }
    emit finished(exitCode);
}

void HeadlessBatch::report(const JobReport &report)
{
    // Standard output and error often share one terminal.
    clearProgress();
    results.write(resultRecord(statusWord(report.status), QFile::encodeName(report.inputPath),
                               QFile::encodeName(report.outputPath), nulSeparated));
    // Why it failed, or what to know of an output made all the same.
    const QString why = report.status == JobStatus::Failed ? report.reason : report.decodeNote();
    if (!why.isEmpty())
        writeToStandardError(explanationLine(QFile::encodeName(report.inputPath), why));
    if (progressShown)
        showProgress();
}

void HeadlessBatch::showProgress()
{
    const BatchProgress &progress = engine.progress();
    std::fprintf(stderr, "\r\033[K%d of %d files finished, %d failed, %s", progress.finishedCount(),
                 progress.jobCount(), progress.count(JobStatus::Failed), qPrintable(clockText(progress.elapsedMs())));
    std::fflush(stderr);
}

void HeadlessBatch::clearProgress()
{
    if (!progressShown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}
