// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/headlessbatch.h"

#include "conversion/batchchecks.h"
#include "conversion/filewalk.h"
#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

void printError(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 QFile::encodeName(message).constData());
}

// Scripts match these words, so they are never translated.
const char *statusWord(FFmpegTask::ConvertStatus status)
{
    switch (status) {
    case FFmpegTask::Done:
        return "Done";
    case FFmpegTask::Skipped:
        return "Skipped";
    default:
        return "Failed";
    }
}

} // namespace

HeadlessBatch::HeadlessBatch(bool nulSeparated, bool progressLine)
    : nulSeparated(nulSeparated)
    , progressShown(progressLine)
{
    connect(&engine, &ConversionEngine::jobReported, this, &HeadlessBatch::report);
    connect(&engine, &ConversionEngine::batchEnded, this, [this] {
        progressTimer.stop();
        if (progressShown) {
            showProgress();
            std::fputc('\n', stderr);
        }
        emit finished(failedCount + missingCount > 0 ? SomeFailed : AllConverted);
    });
    connect(&progressTimer, &QTimer::timeout, this, &HeadlessBatch::showProgress);
}

bool HeadlessBatch::start(const QStringList &paths)
{
    const QString problem = batchSettingsProblem();
    if (!problem.isEmpty()) {
        printError(problem);
        return false;
    }

    QStringList inputs;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isFile()) {
            inputs.append(info.absoluteFilePath());
        } else if (info.isDir()) {
            inputs.append(listFilesRecursive(info.absoluteFilePath()));
        } else {
            printError(QStringLiteral("No such file or folder: %1").arg(path));
            ++missingCount;
        }
    }
    if (inputs.isEmpty()) {
        printError(QStringLiteral("No files to convert."));
        return false;
    }

    total = inputs.size();
    elapsed.start();
    if (progressShown) {
        showProgress();
        progressTimer.start(1000);
    }
    engine.start(inputs, ConversionEngine::threadsFor(AppSettings::Threads));
    return true;
}

void HeadlessBatch::stop()
{
    engine.stop();
    progressTimer.stop();
    if (progressShown)
        std::fputc('\n', stderr);
}

void HeadlessBatch::report(const JobReport &report)
{
    ++finishedCount;
    if (report.status == FFmpegTask::Failed)
        ++failedCount;
    const QByteArray line = QByteArray(statusWord(report.status)) + '\t' + QFile::encodeName(report.inputPath)
        + '\t' + QFile::encodeName(report.outputPath) + (nulSeparated ? '\0' : '\n');
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    // A script reading the lines as they come sees each job when it ends.
    std::fflush(stdout);
    if (progressShown)
        showProgress();
}

void HeadlessBatch::showProgress()
{
    const qint64 seconds = elapsed.elapsed() / 1000;
    std::fprintf(stderr, "\r\033[K%d of %d files finished, %d failed, %lld:%02lld", finishedCount, total, failedCount,
                 seconds / 60, seconds % 60);
    std::fflush(stderr);
}
