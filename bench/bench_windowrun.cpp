// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and prints, one figure a line:
//   mapped SECONDS  from its start until a top-level window of it titled TITLE
//                   is mapped on the X server named by DISPLAY
//   peak_kb KB      its peak resident memory, as the kernel accounts it
//
//   bench_windowrun [--title TITLE] PROGRAM [ARGUMENT...]
//
// With --title the window is then closed as a window manager's close button
// closes it (WM_DELETE_WINDOW); the program reads that request only once its
// start-up is over. Without, the program runs to its end. The program's output
// is discarded. Exits non-zero when the program fails or shows no such window
// within a minute.
#include "windowclose.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto patience = std::chrono::minutes(1);

std::string textProperty(Display *display, Window window, const char *name)
{
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char *data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False,
                           AnyPropertyType, &type, &format, &count, &left, &data) == Success
        && data) {
        if (format == 8)
            text.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
    }
    return text;
}

long windowPid(Display *display, Window window)
{
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char *data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1,
                           False, XA_CARDINAL, &type, &format, &count, &left, &data) == Success
        && data) {
        if (format == 32 && count == 1)
            pid = *reinterpret_cast<long *>(data);
        XFree(data);
    }
    return pid;
}

// Waits for the child's end until `deadline`; false when it is still running then.
bool reap(pid_t child, int &status, rusage &usage, Clock::time_point deadline)
{
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    int first = 1;
    const char *title = nullptr;
    if (argc > 2 && std::strcmp(argv[1], "--title") == 0) {
        title = argv[2];
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--title TITLE] PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }

    Display *display = nullptr;
    if (title) {
        display = XOpenDisplay(nullptr);
        if (!display) {
            std::fprintf(stderr, "no X server\n");
            return 1;
        }
        // Without a window manager the program's window is a child of the root,
        // whose substructure events tell of its mapping.
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, False);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t child;
    if (posix_spawnp(&child, argv[first], &actions, nullptr, argv + first, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[first]);
        return 1;
    }

    int status = 0;
    rusage usage{};
    bool ended = false;
    if (title) {
        const int connection = ConnectionNumber(display);
        Window window = 0;
        while (!window && !ended && Clock::now() - start < patience) {
            while (!window && XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == MapNotify && windowPid(display, event.xmap.window) == child
                    && textProperty(display, event.xmap.window, "_NET_WM_NAME") == title)
                    window = event.xmap.window;
            }
            if (window) {
                const std::chrono::duration<double> mapped = Clock::now() - start;
                std::printf("mapped %.4f\n", mapped.count());
                requestClose(display, window);
                break;
            }
            pollfd events{connection, POLLIN, 0};
            poll(&events, 1, 10);
            ended = wait4(child, &status, WNOHANG, &usage) == child;
        }
        if (!window) {
            std::fprintf(stderr, "no window titled %s was mapped\n", title);
            if (!ended) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
            }
            return 1;
        }
    }
    if (!ended && !reap(child, status, usage, Clock::now() + patience)) {
        std::fprintf(stderr, "%s did not end\n", argv[first]);
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return 1;
    }
    if (display)
        XCloseDisplay(display);
    std::printf("peak_kb %ld\n", usage.ru_maxrss);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[first]);
        return 1;
    }
    return 0;
}
