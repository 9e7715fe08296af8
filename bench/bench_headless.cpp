// SPDX-License-Identifier: GPL-3.0-or-later
// Times batches converted without a window, `quillmere --convert FOLDER`,
// against `xargs -0 -P` running the same encoder with the very same argument
// lists, recorded from such a batch; both with as many jobs at a time as the
// processor has threads (median of 3, alternating). And the start of
// `quillmere --convert FILE` until its encoder starts, against the whole run of
// `ffmpeg -version` (median of 9, alternating). Prints one line a case, and
// the thread count:
//   threads N
//   real SECONDS XARGS-SECONDS     200 inputs of 2 s, WAV to MP3 with the default preset
//   noop SECONDS XARGS-SECONDS     5,000 inputs with an encoder that exits at once
//   start SECONDS FFMPEG-SECONDS   one input; the encoder is bench_stamp, found beside this program
//
//   bench_headless QUILLMERE [real] [noop] [start]   (all when none is named)
//
// The settings come from a file (--settings) in a temporary folder that is
// also the programs' home, and no program sees a display. Exits non-zero when
// a run ends with an unexpected exit code.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

int threads = 2;
// Where each run's standard error goes, to be shown when the run fails.
QString errorLog;

struct Run
{
    Clock::time_point started;
    double seconds = 0;
};

// Runs `command` to its end with empty input, its standard output going to
// `outputFile`. A run that cannot start, or ends with another exit code than
// `expected`, ends this program: its figures would mean nothing.
Run run(const QStringList &command, int expected, const QString &outputFile = QStringLiteral("/dev/null"))
{
    std::vector<QByteArray> encoded;
    for (const QString &argument : command)
        encoded.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const QByteArray output = QFile::encodeName(outputFile);
    const QByteArray errors = QFile::encodeName(errorLog);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Run result;
    pid_t child;
    result.started = Clock::now();
    const int error = posix_spawnp(&child, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        std::fprintf(stderr, "bench_headless: cannot start %s\n", argv.front());
        std::exit(1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - result.started).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != expected) {
        QFile log(errorLog);
        log.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "bench_headless: %s ended with status %d, not exit code %d\n%s", argv.front(),
                     status, expected, log.readAll().right(4000).constData());
        std::exit(1);
    }
    return result;
}

double median(QList<double> runs)
{
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

void writeSettings(const QString &file, const QString &encoder, const QString &outputFolder, int jobThreads)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(QStringLiteral("FFmpegBinary"), encoder);
    settings.setValue(QStringLiteral("OutputFormat"), QStringLiteral("mp3"));
    settings.setValue(QStringLiteral("OutputQualityArguments"), QStringLiteral("-q:a 2"));
    settings.setValue(QStringLiteral("OutputDirectory"), outputFolder + QStringLiteral("/{sourcedir}"));
    settings.setValue(QStringLiteral("Threads"), jobThreads);
}

QStringList convert(const QString &quillmere, const QString &settings, const QString &path)
{
    return {quillmere, QStringLiteral("--convert"), QStringLiteral("--settings"), settings, path};
}

// Each run finds the output folders as the first did: empty. xargs's encoder
// leaves its files under the batch's temporary names, which are hidden.
void removeFiles(const QString &folder)
{
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (files.hasNext())
        QFile::remove(files.next());
}

// Records the argument lists a batch gives its encoder, NUL-separated in
// `work`/arguments, with one job at a time so that the lists do not
// interleave; returns the number of arguments a job.
int recordArguments(const QString &quillmere, const QString &inputs, const QString &work, const QString &outputs)
{
    const QString recorder = work + QStringLiteral("/record");
    QFile script(recorder);
    script.open(QIODevice::WriteOnly);
    script.write(QStringLiteral("#!/bin/sh\necho $# > '%1/count'\nprintf '%s\\0' \"$@\" >> '%1/arguments'\n")
                     .arg(work)
                     .toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    const QString settings = work + QStringLiteral("/recording.ini");
    writeSettings(settings, recorder, outputs, 1);
    // The recorder writes no output, so every job fails.
    run(convert(quillmere, settings, inputs), 1);
    QFile count(work + QStringLiteral("/count"));
    count.open(QIODevice::ReadOnly);
    return count.readAll().trimmed().toInt();
}

void compare(QTextStream &out, const QString &name, const QString &quillmere, const QString &inputs,
             const QString &work, const QString &encoder, int exitCode)
{
    QDir().mkpath(work);
    const QString outputs = work + QStringLiteral("/out");
    const int perJob = recordArguments(quillmere, inputs, work, outputs);
    const QString settings = work + QStringLiteral("/settings.ini");
    writeSettings(settings, encoder, outputs, threads);
    QList<double> ours, theirs;
    for (int round = 0; round < 3; ++round) {
        theirs << run({QStringLiteral("xargs"), QStringLiteral("-0"), QStringLiteral("-a"),
                       work + QStringLiteral("/arguments"), QStringLiteral("-n"), QString::number(perJob),
                       QStringLiteral("-P"), QString::number(threads), encoder},
                      0)
                      .seconds;
        removeFiles(outputs);
        ours << run(convert(quillmere, settings, inputs), exitCode).seconds;
        removeFiles(outputs);
    }
    out << name << ' ' << median(ours) << ' ' << median(theirs) << '\n';
    out.flush();
}

// From the start of `quillmere --convert` with one file until its encoder
// reads the clock, against the whole run of `ffmpeg -version`.
void startUp(QTextStream &out, const QString &quillmere, const QString &input, const QString &work,
             const QString &ffmpeg)
{
    QDir().mkpath(work);
    const QString settings = work + QStringLiteral("/settings.ini");
    writeSettings(settings, QCoreApplication::applicationDirPath() + QStringLiteral("/bench_stamp"),
                  work + QStringLiteral("/out"), threads);
    const QString results = work + QStringLiteral("/results");
    QList<double> ours, theirs;
    for (int round = 0; round < 9; ++round) {
        const Run batch = run(convert(quillmere, settings, input), 0, results);
        QFile resultLines(results);
        resultLines.open(QIODevice::ReadOnly);
        // "Done", the input, the output, each after a tab.
        const QList<QByteArray> fields = resultLines.readLine().trimmed().split('\t');
        QFile stamp(QFile::decodeName(fields.value(2)));
        if (fields.value(0) != "Done" || !stamp.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bench_headless: the stand-in encoder left no reading\n");
            std::exit(1);
        }
        const long long encoderStarted = stamp.readAll().trimmed().toLongLong();
        stamp.remove();
        const auto quillmereStarted =
            std::chrono::duration_cast<std::chrono::nanoseconds>(batch.started.time_since_epoch()).count();
        ours << (encoderStarted - quillmereStarted) / 1e9;
        theirs << run({ffmpeg, QStringLiteral("-version")}, 0).seconds;
    }
    out << "start " << median(ours) << ' ' << median(theirs) << '\n';
    out.flush();
}

void makeTone(const QString &ffmpeg, const QString &path)
{
    run({ffmpeg, QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
         QStringLiteral("-i"), QStringLiteral("sine=frequency=440:sample_rate=44100:duration=2"),
         QStringLiteral("-ac"), QStringLiteral("2"), path},
        0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: %s QUILLMERE [real] [noop] [start]\n", argv[0]);
        return 2;
    }
    const QString quillmere = QFileInfo(arguments.first()).absoluteFilePath();
    const QStringList cases = arguments.mid(1);
    QTextStream out(stdout);
    QTemporaryDir work;
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    errorLog = work.path() + QStringLiteral("/stderr");

    // As a script on a server runs it: no display, and nothing of the user's.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("HOME", QFile::encodeName(work.path() + QStringLiteral("/home")));
    QDir().mkpath(work.path() + QStringLiteral("/home"));

    threads = QThread::idealThreadCount();
    out << "threads " << threads << '\n';
    out.flush();

    const QString tone = work.path() + QStringLiteral("/tone.wav");
    if (cases.isEmpty() || cases.contains(QLatin1String("real")) || cases.contains(QLatin1String("start")))
        makeTone(ffmpeg, tone);

    if (cases.isEmpty() || cases.contains(QLatin1String("real"))) {
        const QString audio = work.path() + QStringLiteral("/audio");
        QDir().mkpath(audio);
        for (int i = 0; i < 200; ++i)
            QFile::copy(tone, QStringLiteral("%1/tone%2.wav").arg(audio).arg(i, 3, 10, QLatin1Char('0')));
        compare(out, QStringLiteral("real"), quillmere, audio, work.path() + QStringLiteral("/real"), ffmpeg, 0);
    }

    if (cases.isEmpty() || cases.contains(QLatin1String("noop"))) {
        const QString many = work.path() + QStringLiteral("/many");
        QDir().mkpath(many);
        for (int i = 0; i < 5000; ++i) {
            QFile file(QStringLiteral("%1/item%2.wav").arg(many).arg(i, 4, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
        }
        // The no-op encoder writes nothing, so every job fails.
        compare(out, QStringLiteral("noop"), quillmere, many, work.path() + QStringLiteral("/noop"),
                QStringLiteral("/bin/true"), 1);
    }

    if (cases.isEmpty() || cases.contains(QLatin1String("start"))) {
        const QString single = work.path() + QStringLiteral("/single");
        QDir().mkpath(single);
        QFile::copy(tone, single + QStringLiteral("/tone.wav"));
        startUp(out, quillmere, single + QStringLiteral("/tone.wav"), work.path() + QStringLiteral("/start"), ffmpeg);
    }
    return 0;
}
