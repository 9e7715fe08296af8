// SPDX-License-Identifier: GPL-3.0-or-later
// Long lists through `quillmere --convert --null --files-from -`: for each
// count, that many empty WAV files (1,000 a folder) listed NUL by NUL on the
// program's standard input, with an encoder that exits at once (/bin/true).
// Measured: the time from the start until the first result byte comes, and
// the peak resident memory until the list has been read to its end and the
// batch has run one second more, when it is stopped by SIGTERM. The baseline
// reads the same list with `xargs -0 -P2 -n 16 true`: the time until it has
// reaped its first command (its children's page faults show in
// /proc/PID/stat), and its peak resident memory over the whole run.
// Prints one line a count and program, in the order given:
//   list COUNT FIRST-SECONDS XARGS-FIRST-SECONDS PEAK-KB XARGS-PEAK-KB
//
//   bench_longlist QUILLMERE... [COUNT...]   (20000 and 1000000 when none is given)
// Several builds share each list and its files, which take minutes to make.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Measure
{
    double firstSeconds = -1;
    long peakKb = 0;
};

pid_t spawn(const std::vector<QByteArray> &command, const QByteArray &input, int output)
{
    std::vector<char *> argv;
    for (const QByteArray &argument : command)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.constData(), O_RDONLY, 0);
    if (output >= 0)
        posix_spawn_file_actions_adddup2(&actions, output, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    if (posix_spawn(&child, argv.front(), &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "bench_longlist: cannot start %s\n", argv.front());
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

long peakOf(pid_t child)
{
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    return usage.ru_maxrss;
}

// Where the child's standard input has been read up to.
qint64 readPosition(pid_t child)
{
    QFile info(QStringLiteral("/proc/%1/fdinfo/0").arg(child));
    if (!info.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = info.readAll();
    const int at = text.indexOf("pos:");
    return at < 0 ? -1 : text.mid(at + 4, text.indexOf('\n', at) - at - 4).trimmed().toLongLong();
}

// The page faults of the child's reaped children, field 11 of its stat.
long childFaults(pid_t child)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which ends in the last ')'.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.value(8).toLong();
}

Measure quillmere(const QByteArray &program, const QByteArray &settings, const QByteArray &list)
{
    int results[2];
    if (pipe(results) != 0)
        std::exit(1);
    const qint64 listSize = QFile(QFile::decodeName(list)).size();
    Measure measure;
    const auto started = Clock::now();
    const pid_t child = spawn({program, "--convert", "--null", "--settings", settings, "--files-from", "-"}, list,
                              results[1]);
    ::close(results[1]);
    Clock::time_point listRead;
    char buffer[65536];
    for (;;) {
        pollfd ready = {results[0], POLLIN, 0};
        if (::poll(&ready, 1, 5) > 0) {
            const ssize_t got = ::read(results[0], buffer, sizeof buffer);
            if (got <= 0)
                break;
            if (measure.firstSeconds < 0)
                measure.firstSeconds = std::chrono::duration<double>(Clock::now() - started).count();
        }
        if (listRead == Clock::time_point() && readPosition(child) >= listSize)
            listRead = Clock::now();
        if (measure.firstSeconds >= 0 && listRead != Clock::time_point()
            && Clock::now() - listRead > std::chrono::seconds(1)) {
            ::kill(child, SIGTERM);
            listRead = Clock::time_point::max();
        }
    }
    ::close(results[0]);
    measure.peakKb = peakOf(child);
    return measure;
}

Measure xargs(const QByteArray &list)
{
    Measure measure;
    const auto started = Clock::now();
    const pid_t child = spawn({"/usr/bin/xargs", "-0", "-P2", "-n", "16", "true"}, list, -1);
    while (childFaults(child) <= 0)
        ::usleep(200);
    measure.firstSeconds = std::chrono::duration<double>(Clock::now() - started).count();
    measure.peakKb = peakOf(child);
    return measure;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s QUILLMERE [COUNT...]\n", argv[0]);
        return 2;
    }
    std::vector<int> counts;
    std::vector<QByteArray> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::atoi(argv[i]) > 0)
            counts.push_back(std::atoi(argv[i]));
        else
            programs.push_back(QFile::encodeName(QDir::current().absoluteFilePath(QFile::decodeName(argv[i]))));
    }
    if (counts.empty())
        counts = {20000, 1000000};

    QTemporaryDir work;
    qputenv("HOME", QFile::encodeName(work.path()));
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    const QByteArray settings = QFile::encodeName(work.path() + QStringLiteral("/settings.ini"));
    QFile settingsFile(QFile::decodeName(settings));
    settingsFile.open(QIODevice::WriteOnly);
    settingsFile.write("[General]\nFFmpegBinary=/bin/true\nOutputFormat=mp3\nOutputQualityArguments=-q:a 2\n"
                       "OutputDirectory="
                       + QFile::encodeName(work.path()) + "/out/{sourcedir}\nThreads=2\n");
    settingsFile.close();

    for (const int count : counts) {
        const QString files = work.path() + QStringLiteral("/files%1").arg(count);
        const QByteArray list = QFile::encodeName(files + QStringLiteral(".list"));
        QFile listFile(QFile::decodeName(list));
        listFile.open(QIODevice::WriteOnly);
        for (int i = 0; i < count; ++i) {
            const QString folder = QStringLiteral("%1/d%2").arg(files).arg(i / 1000, 4, 10, QLatin1Char('0'));
            if (i % 1000 == 0)
                QDir().mkpath(folder);
            const QByteArray path = QFile::encodeName(QStringLiteral("%1/item%2.wav").arg(folder).arg(i, 7, 10, QLatin1Char('0')));
            ::close(::open(path.constData(), O_WRONLY | O_CREAT, 0644));
            listFile.write(path + '\0');
        }
        listFile.close();
        const Measure theirs = xargs(list);
        for (const QByteArray &program : programs) {
            const Measure ours = quillmere(program, settings, list);
            std::printf("list %d %.3f %.4f %ld %ld\n", count, ours.firstSeconds, theirs.firstSeconds, ours.peakKb,
                        theirs.peakKb);
            std::fflush(stdout);
            QDir(work.path() + QStringLiteral("/out")).removeRecursively();
        }
        QDir(files).removeRecursively();
    }
    return 0;
}
