// SPDX-License-Identifier: GPL-3.0-or-later
// Times whole batches through the main window against `xargs -0 -P` running
// the same encoder with the very same argument lists, recorded from a batch.
// Prints one figure per line:
//   200 inputs of 2 s, WAV to MP3 with the default preset, 2 threads
//   5,000 inputs with an encoder that exits at once, 2 threads
// and the longest time the window's event loop went without running during
// the large batch.
#include "conversion/encoderprocess.h"
#include "mainwindow/mainwindow.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace BenchConvert {

// Starts helpers the way the window starts encoders: QProcess would install
// a child-exit handler that taxes every later child of this process.
void run(const QString &program, const QStringList &arguments)
{
    EncoderProcess::run(program, arguments, [](const QByteArray &) {}, [] { return false; });
}
    // Runs one batch over `inputs` with `encoder`; returns the wall time in
    // seconds and the longest event-loop stall in milliseconds.
    QPair<double, qint64> batch(const QString &folder, const QString &encoder)
    {
        AppSettings::FFmpegBinary = encoder;
        MainWindow window;
        window.addPaths({folder});
        qint64 longestStall = 0;
        QElapsedTimer sinceTick;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestStall = std::max(longestStall, sinceTick.restart());
        });
        ticker.start(10);
        sinceTick.start();

        QElapsedTimer clock;
        clock.start();
        auto *convert = window.findChild<QPushButton *>("pushButton_Convert");
        convert->click();
        while (!convert->isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return {clock.nsecsElapsed() / 1e9, longestStall};
    }

    double xargs(const QString &argumentFile, int perJob, const QString &encoder)
    {
        QElapsedTimer clock;
        clock.start();
        run("xargs", {"-0", "-a", argumentFile, "-n", QString::number(perJob), "-P", "2", encoder});
        return clock.nsecsElapsed() / 1e9;
    }
} // namespace BenchConvert

static void silence(QtMsgType, const QMessageLogContext &, const QString &) {}

static double median(QList<double> runs)
{
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// Records the argument lists a batch gives its encoder, NUL-separated, with
// one thread so that the lists do not interleave.
static int recordArguments(const QString &folder, const QString &work)
{
    const QString recorder = work + "/record";
    QFile script(recorder);
    script.open(QIODevice::WriteOnly);
    script.write(QString("#!/bin/sh\necho $# > %1/count\nprintf '%s\\0' \"$@\" >> %1/arguments\n")
                     .arg(work).toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    AppSettings::Threads = 1;
    BenchConvert::batch(folder, recorder);
    AppSettings::Threads = 2;
    QFile count(work + "/count");
    count.open(QIODevice::ReadOnly);
    return count.readAll().trimmed().toInt();
}

static void compare(QTextStream &out, const QString &name, const QString &folder, const QString &work,
                    const QString &encoder, int rounds)
{
    const int perJob = recordArguments(folder, work);
    QList<double> ours, theirs;
    qint64 stall = 0;
    for (int round = 0; round < rounds; ++round) {
        theirs << BenchConvert::xargs(work + "/arguments", perJob, encoder);
        const auto [seconds, longest] = BenchConvert::batch(folder, encoder);
        ours << seconds;
        stall = std::max(stall, longest);
    }
    out << name << ": quillmere " << median(ours) << " s, xargs -P2 " << median(theirs)
        << " s, ratio " << median(ours) / median(theirs) << ", longest event-loop stall " << stall
        << " ms\n";
    out.flush();
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    qRegisterMetaType<FFmpegTask::ConvertStatus>("FFmpegTask::ConvertStatus");
    QTextStream out(stdout);
    QTemporaryDir work;
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    qInstallMessageHandler(silence);

    AppSettings::OutputFormat = "mp3";
    AppSettings::OutputQualityArguments = "-q:a 2";
    AppSettings::OutputDirectory = work.path() + "/out/{sourcedir}";
    AppSettings::Threads = 2;

    const QString audio = work.path() + "/audio";
    QDir().mkpath(audio);
    BenchConvert::run(ffmpeg, {"-loglevel", "error", "-f", "lavfi", "-i",
                               "sine=frequency=440:sample_rate=44100:duration=2", "-ac", "2",
                               audio + "/tone000.wav"});
    for (int i = 1; i < 200; ++i)
        QFile::copy(audio + "/tone000.wav", QString("%1/tone%2.wav").arg(audio).arg(i, 3, 10, QChar('0')));
    const QStringList cases = app.arguments().mid(1);
    QDir().mkpath(work.path() + "/real");
    if (cases.isEmpty() || cases.contains("real"))
        compare(out, "200 x 2 s WAV -> MP3", audio, work.path() + "/real", ffmpeg, 3);

    const QString many = work.path() + "/many";
    QDir().mkpath(many);
    for (int i = 0; i < 5000; ++i) {
        QFile file(QString("%1/item%2.wav").arg(many).arg(i, 4, 10, QChar('0')));
        file.open(QIODevice::WriteOnly);
    }
    QDir().mkpath(work.path() + "/noop");
    if (cases.isEmpty() || cases.contains("noop"))
        compare(out, "5000 x no-op encoder", many, work.path() + "/noop", "/bin/true", 3);
    return 0;
}
