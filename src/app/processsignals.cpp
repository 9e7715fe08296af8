// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/processsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

constexpr int terminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only hands the signal to the event loop: a handler may do little else. A
// second signal, while the clean way out runs, ends the process at once.
void onSignal(int signal)
{
    const int saved = errno;
    const char number = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    for (const int handled : terminationSignals) {
        struct sigaction current = {};
        if (::sigaction(handled, nullptr, &current) == 0 && current.sa_handler == onSignal)
            ::signal(handled, SIG_DFL);
    }
    errno = saved;
}

} // namespace

void resetInheritedSignals()
{
    ::signal(SIGCHLD, SIG_DFL);
}

void openClosedStandardFiles()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        // The lowest free descriptor: `fd` itself.
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

void onTerminationSignals(std::function<void(int signal)> handler)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier, handler = std::move(handler)] {
        char number = 0;
        if (::read(signalPipe[0], &number, 1) != 1)
            return;
        notifier->setEnabled(false);
        handler(number);
    });

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : terminationSignals) {
        // What the launcher ignores (nohup: SIGHUP) stays ignored.
        struct sigaction inherited = {};
        if (::sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
}
