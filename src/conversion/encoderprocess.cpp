// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderprocess.h"

#include "conversion/encoderoutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <vector>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/syscall.h>
#endif

extern char **environ;

namespace {

// How long a wait may go without looking at the stop request.
constexpr int pollInterval = 100;
// How long a stopped encoder may take to finish its file before it is killed.
constexpr int stopGrace = 3000;

class Pipe
{
public:
    Pipe() { open = ::pipe2(ends, O_CLOEXEC) == 0; }
    ~Pipe()
    {
        closeEnd(0);
        closeEnd(1);
    }
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;

    void closeEnd(int end)
    {
        if (open && ends[end] >= 0) {
            ::close(ends[end]);
            ends[end] = -1;
        }
    }

    bool open = false;
    int ends[2] = {-1, -1};
};

// Waits for the child without blocking; true once it has ended. A child that
// can no longer be waited for reads as killed: its outcome is unknown.
bool reaped(pid_t child, int &status)
{
    pid_t result;
    do
        result = ::waitpid(child, &status, WNOHANG);
    while (result < 0 && errno == EINTR);
    if (result < 0) {
        status = SIGKILL;
        return true;
    }
    return result == child;
}

// A descriptor that becomes readable when the child ends, where the system
// has one (Linux 5.3 and later); -1 otherwise.
int exitNotifier(pid_t child)
{
#if defined(__linux__) && defined(SYS_pidfd_open)
    return int(::syscall(SYS_pidfd_open, child, 0));
#else
    Q_UNUSED(child);
    return -1;
#endif
}

// Asks the child's whole process group to end, so that an encoder started
// through a wrapper ends with it, and kills what is left after the grace.
void stop(pid_t child, int &status)
{
    ::kill(-child, SIGTERM);
    QElapsedTimer waited;
    waited.start();
    bool ended = false;
    for (;;) {
        ended = ended || reaped(child, status);
        // Once the child is gone, its group lives on in what it started.
        if (ended && ::kill(-child, 0) != 0)
            return;
        if (waited.elapsed() >= stopGrace)
            break;
        ::poll(nullptr, 0, 10);
    }
    ::kill(-child, SIGKILL);
    if (!ended) {
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

} // namespace

EncoderProcess::Result EncoderProcess::run(const QString &program, const QStringList &arguments,
                                           const std::function<void(const QByteArray &)> &output,
                                           const std::function<bool()> &stopRequested)
{
    Result result;
    // The child's input stays open and empty for its whole run, as an
    // interactive encoder expects of a pipe.
    Pipe input, merged;
    if (!input.open || !merged.open)
        return result;

    std::vector<QByteArray> encoded{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        encoded.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &entry : encoded)
        argv.push_back(entry.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.ends[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, merged.ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, merged.ends[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&attributes, &signalSet);
    // What this process ignores or handles itself, the encoder takes as usual.
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
        sigaddset(&signalSet, signal);
    posix_spawnattr_setsigdefault(&attributes, &signalSet);
    // A group of its own: stopping reaches what the encoder starts, and a
    // Ctrl+C at the terminal reaches this process alone, which stops it cleanly.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t child = -1;
    const int error = ::posix_spawnp(&child, argv.front(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    input.closeEnd(0);
    merged.closeEnd(1);
    if (error != 0 || child <= 0)
        return result;
    result.started = true;

    const int reader = merged.ends[0];
    auto readChunk = [&] {
        char buffer[65536];
        ssize_t count;
        do
            count = ::read(reader, buffer, sizeof buffer);
        while (count < 0 && errno == EINTR);
        if (count > 0)
            output(QByteArray(buffer, int(count)));
        return count > 0;
    };

    int status = 0;
    bool outputOpen = true;
    const int exited = exitNotifier(child);
    int pause = 1;
    for (;;) {
        pollfd events[2] = {{exited, POLLIN, 0}, {outputOpen ? reader : -1, POLLIN, 0}};
        if (exited >= 0 || outputOpen) {
            if (::poll(events, 2, pollInterval) > 0 && (events[1].revents & (POLLIN | POLLHUP)))
                outputOpen = readChunk();
        } else {
            // No exit notice and the output has ended: the exit follows at once.
            ::poll(nullptr, 0, pause);
            pause = std::min(pause * 2, pollInterval);
        }
        if (reaped(child, status))
            break;
        if (stopRequested()) {
            stop(child, status);
            result.stopped = true;
            break;
        }
    }
    if (exited >= 0)
        ::close(exited);
    // Whatever the child wrote before it ended; a descendant may hold the
    // channel open longer, and is not waited for.
    pollfd readable{reader, POLLIN, 0};
    while (outputOpen && ::poll(&readable, 1, 0) > 0)
        outputOpen = readChunk();

    result.normalExit = WIFEXITED(status);
    result.exitCode = result.normalExit ? WEXITSTATUS(status) : WTERMSIG(status);
    return result;
}

QString EncoderProcess::Result::failure(const QString &output) const
{
    // A spawn that failed or a crash must never read as a clean exit.
    if (!started)
        return QCoreApplication::translate("FFmpegTask", "The encoder could not be started");
    if (stopped)
        return QCoreApplication::translate("FFmpegTask", "Stopped");
    if (!normalExit)
        return QCoreApplication::translate("FFmpegTask", "The encoder crashed (signal %1)").arg(exitCode);
    if (exitCode == 0)
        return QString();
    const QString message = lastEncoderMessage(output);
    return message.isEmpty()
        ? QCoreApplication::translate("FFmpegTask", "The encoder ended with exit code %1").arg(exitCode)
        : QCoreApplication::translate("FFmpegTask", "%1 (exit code %2)").arg(message, QString::number(exitCode));
}
