// SPDX-License-Identifier: GPL-3.0-or-later
// Times whole batches through the shown main window against `xargs -0 -P`
// running the same encoder with the very same argument lists, recorded from a
// batch, both with as many jobs at a time as the processor has threads. The
// rounds alternate, xargs first. Prints the thread count, then per case its
// medians and ranges in seconds, each round's ratio, and the median CPU time
// this process spent per job of the window's rounds (all its threads):
//   threads N
//   real MEDIAN XARGS-MEDIAN MIN MAX XARGS-MIN XARGS-MAX
//   ratios real RATIO...     200 inputs of 2 s, WAV to MP3 with the default preset
//   cpu real MS-PER-JOB
//   noop ...                 5,000 inputs with an encoder that exits at once
//
//   bench_convert [--rounds N] [real] [noop]   (5 rounds; both cases when none is named)
//
// The window paints on the display of DISPLAY, as it would for a user; only
// without one it runs on Qt's offscreen platform.
#include "conversion/encoderprocess.h"
#include "mainwindow/mainwindow.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

namespace {

int threads = 2;

// Starts helpers the way the window starts encoders: QProcess would install
// a child-exit handler that taxes every later child of this process.
void run(const QString &program, const QStringList &arguments)
{
    EncoderProcess::run(program, arguments, [](const QByteArray &) {}, [] { return false; });
}

// CPU time of this process, every thread, in seconds; its children not.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Until the window is on screen and has painted once: the batch is timed, not
// the window's first appearance. A window that never shows makes every
// figure meaningless.
void waitUntilShown(QWidget &window)
{
    // Wakes the wait below should the display send nothing.
    QTimer tick;
    tick.start(50);
    QElapsedTimer waited;
    waited.start();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        if (waited.elapsed() > 10000) {
            std::fputs("bench_convert: the window was not shown within 10 s\n", stderr);
            std::exit(EXIT_FAILURE);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents();
}

struct Timing
{
    double seconds;
    double cpu;
};

// Runs one batch over the files of `folder` with `encoder` through a shown
// window.
Timing batch(const QString &folder, const QString &encoder)
{
    AppSettings::FFmpegBinary = encoder;
    MainWindow window;
    window.addPaths({folder});
    window.show();
    waitUntilShown(window);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    auto *convert = window.findChild<QPushButton *>("pushButton_Convert");
    convert->click();
    while (!convert->isEnabled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return {clock.nsecsElapsed() / 1e9, cpuSeconds() - cpuBefore};
}

double xargs(const QString &argumentFile, int perJob, const QString &encoder)
{
    QElapsedTimer clock;
    clock.start();
    run("xargs", {"-0", "-a", argumentFile, "-n", QString::number(perJob), "-P",
                  QString::number(threads), encoder});
    return clock.nsecsElapsed() / 1e9;
}

double median(QList<double> runs)
{
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// Records the argument lists a batch gives its encoder, NUL-separated, with
// one thread so that the lists do not interleave.
int recordArguments(const QString &folder, const QString &work)
{
    const QString recorder = work + "/record";
    QFile script(recorder);
    script.open(QIODevice::WriteOnly);
    script.write(QString("#!/bin/sh\necho $# > %1/count\nprintf '%s\\0' \"$@\" >> %1/arguments\n")
                     .arg(work).toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    AppSettings::Threads = 1;
    batch(folder, recorder);
    AppSettings::Threads = threads;
    QFile count(work + "/count");
    count.open(QIODevice::ReadOnly);
    return count.readAll().trimmed().toInt();
}

void compare(QTextStream &out, const QString &name, const QString &folder, int jobs, const QString &work,
             const QString &encoder, int rounds)
{
    QDir().mkpath(work);
    const int perJob = recordArguments(folder, work);
    QList<double> ours, theirs, cpu;
    for (int round = 0; round < rounds; ++round) {
        theirs << xargs(work + "/arguments", perJob, encoder);
        const Timing timing = batch(folder, encoder);
        ours << timing.seconds;
        cpu << timing.cpu * 1000 / jobs;
    }
    out << name << ' ' << median(ours) << ' ' << median(theirs) << ' '
        << *std::min_element(ours.begin(), ours.end()) << ' ' << *std::max_element(ours.begin(), ours.end())
        << ' ' << *std::min_element(theirs.begin(), theirs.end()) << ' '
        << *std::max_element(theirs.begin(), theirs.end()) << '\n';
    out << "ratios " << name;
    for (int round = 0; round < rounds; ++round)
        out << ' ' << ours[round] / theirs[round];
    out << "\ncpu " << name << ' ' << median(cpu) << '\n';
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As quillmere itself runs: its jobs' MIME look-ups are cheaper so.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT"))
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
    QApplication app(argc, argv);
    qRegisterMetaType<JobStatus::ConvertStatus>("JobStatus::ConvertStatus");

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption roundsOption("rounds", "Rounds of each case.", "N", "5");
    parser.addOption(roundsOption);
    parser.addPositionalArgument("cases", "real, noop; both when none is named.", "[case...]");
    parser.process(app);
    const int rounds = parser.value(roundsOption).toInt();
    if (rounds < 1) {
        std::fputs("bench_convert: --rounds needs a positive count\n", stderr);
        return EXIT_FAILURE;
    }

    QTextStream out(stdout);
    out.setRealNumberPrecision(4);
    QTemporaryDir work;
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    threads = QThread::idealThreadCount();
    AppSettings::OutputFormat = "mp3";
    AppSettings::OutputQualityArguments = "-q:a 2";
    AppSettings::OutputDirectory = work.path() + "/out/{sourcedir}";
    AppSettings::Threads = threads;
    out << "threads " << threads << '\n';

    const QStringList cases = parser.positionalArguments();
    if (cases.isEmpty() || cases.contains("real")) {
        const QString audio = work.path() + "/audio";
        QDir().mkpath(audio);
        run(ffmpeg, {"-loglevel", "error", "-f", "lavfi", "-i",
                     "sine=frequency=440:sample_rate=44100:duration=2", "-ac", "2",
                     audio + "/tone000.wav"});
        const int tones = 200;
        for (int i = 1; i < tones; ++i)
            QFile::copy(audio + "/tone000.wav",
                        QString("%1/tone%2.wav").arg(audio).arg(i, 3, 10, QChar('0')));
        compare(out, "real", audio, tones, work.path() + "/real", ffmpeg, rounds);
    }

    if (cases.isEmpty() || cases.contains("noop")) {
        const QString many = work.path() + "/many";
        QDir().mkpath(many);
        const int items = 5000;
        for (int i = 0; i < items; ++i) {
            QFile file(QString("%1/item%2.wav").arg(many).arg(i, 4, 10, QChar('0')));
            file.open(QIODevice::WriteOnly);
        }
        compare(out, "noop", many, items, work.path() + "/noop", "/bin/true", rounds);
    }
    return 0;
}
