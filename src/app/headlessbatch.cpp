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

HeadlessBatch::HeadlessBatch(bool nulSeparated, bool progressLine)
    : results(STDOUT_FILENO)
    , nulSeparated(nulSeparated)
    , progressShown(progressLine)
{
    connect(&engine, &ConversionEngine::jobReported, this, &HeadlessBatch::report);
    connect(&engine, &ConversionEngine::batchEnded, this, [this] {
        if (engine.progress().jobCount() == 0) {
            clearProgress();
            progressShown = false;
            CommandLine::printError(QStringLiteral("No files to convert."));
            end(CouldNotStart);
            return;
        }
        const int code = engine.progress().count(JobStatus::Failed) + missingCount > 0 ? SomeFailed : AllConverted;
        if (results.isDrained())
            end(code);
        else
            connect(&results, &ResultWriter::drained, this, [this, code] { end(code); });
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
    const QString problem = batchSettingsProblem();
    if (!problem.isEmpty()) {
        CommandLine::printError(problem);
        return false;
    }

    engine.begin(ConversionEngine::threadsFor(AppSettings::Threads));
    if (progressShown) {
        showProgress();
        progressTimer.start(1000);
    }
    for (const QString &path : paths)
        add(path);
    lists = &pathLists;
    connect(lists, &PathListReader::pathRead, this, &HeadlessBatch::add);
    connect(lists, &PathListReader::finished, &engine, &ConversionEngine::endInput);
    lists->start();
    return true;
}

void HeadlessBatch::add(const QString &path)
{
    const InputPath input(path);
    if (input.isFile() || input.isFolder()) {
        const QString addedFolder = input.isFolder() ? input.absolutePath() : QString();
        for (const QString &file : input.files())
            engine.append(file, addedFolder);
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
    QString why = report.status == JobStatus::Failed ? report.reason : report.decodeNote();
    if (report.status == JobStatus::Done && !report.tagNote.isEmpty())
        why = report.explanation();
    if (!why.isEmpty()) {
        const QByteArray line = escapedResultField(QFile::encodeName(report.inputPath)) + ": "
                                 + escapedResultField(why.toUtf8()) + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    }
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
