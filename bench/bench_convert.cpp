// SPDX-License-Identifier: GPL-3.0-or-later
// Times whole batches through the main window against `xargs -0 -P` running
// the same encoder with the very same argument lists, recorded from a batch,
// both with as many jobs at a time as the processor has threads (median of 3).
// Prints one line a case, and the thread count:
//   threads N
//   real SECONDS XARGS-SECONDS   200 inputs of 2 s, WAV to MP3 with the default preset
//   noop SECONDS XARGS-SECONDS   5,000 inputs with an encoder that exits at once
//   bench_convert [real] [noop]   (both when none is named)
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
#include <QThread>

#include <algorithm>

namespace {

int threads = 2;

// Starts helpers the way the window starts encoders: QProcess would install
// a child-exit handler that taxes every later child of this process.
void run(const QString &program, const QStringList &arguments)
{
    EncoderProcess::run(program, arguments, [](const QByteArray &) {}, [] { return false; });
}

// Runs one batch over the files of `folder` with `encoder`; returns the wall
// time in seconds.
double batch(const QString &folder, const QString &encoder)
{
    AppSettings::FFmpegBinary = encoder;
    MainWindow window;
    window.addPaths({folder});
    QElapsedTimer clock;
    clock.start();
    auto *convert = window.findChild<QPushButton *>("pushButton_Convert");
    convert->click();
    while (!convert->isEnabled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return clock.nsecsElapsed() / 1e9;
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

void compare(QTextStream &out, const QString &name, const QString &folder, const QString &work,
             const QString &encoder)
{
    QDir().mkpath(work);
    const int perJob = recordArguments(folder, work);
    QList<double> ours, theirs;
    for (int round = 0; round < 3; ++round) {
        theirs << xargs(work + "/arguments", perJob, encoder);
        ours << batch(folder, encoder);
    }
    out << name << ' ' << median(ours) << ' ' << median(theirs) << '\n';
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qRegisterMetaType<FFmpegTask::ConvertStatus>("FFmpegTask::ConvertStatus");
    QTextStream out(stdout);
    QTemporaryDir work;
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    threads = QThread::idealThreadCount();
    AppSettings::OutputFormat = "mp3";
    AppSettings::OutputQualityArguments = "-q:a 2";
    AppSettings::OutputDirectory = work.path() + "/out/{sourcedir}";
    AppSettings::Threads = threads;
    out << "threads " << threads << '\n';

    const QStringList cases = app.arguments().mid(1);
    if (cases.isEmpty() || cases.contains("real")) {
        const QString audio = work.path() + "/audio";
        QDir().mkpath(audio);
        run(ffmpeg, {"-loglevel", "error", "-f", "lavfi", "-i",
                     "sine=frequency=440:sample_rate=44100:duration=2", "-ac", "2",
                     audio + "/tone000.wav"});
        for (int i = 1; i < 200; ++i)
            QFile::copy(audio + "/tone000.wav",
                        QString("%1/tone%2.wav").arg(audio).arg(i, 3, 10, QChar('0')));
        compare(out, "real", audio, work.path() + "/real", ffmpeg);
    }

    if (cases.isEmpty() || cases.contains("noop")) {
        const QString many = work.path() + "/many";
        QDir().mkpath(many);
        for (int i = 0; i < 5000; ++i) {
            QFile file(QString("%1/item%2.wav").arg(many).arg(i, 4, 10, QChar('0')));
            file.open(QIODevice::WriteOnly);
        }
        compare(out, "noop", many, work.path() + "/noop", "/bin/true");
    }
    return 0;
}
