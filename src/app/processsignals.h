// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Undoes what a launcher may have left: an ignored SIGCHLD would have the
// system reap the encoders before their exit status could be read. Call it
// first, before any thread starts.
void resetInheritedSignals();

// Opens /dev/null on a standard descriptor the launcher left closed, which the
// next file opened would otherwise take: results would be written into it.
void openClosedStandardFiles();

// Hands SIGINT, SIGTERM and SIGHUP to `handler` on the event loop, once:
// the first of them, by its number. The handler ends what runs the clean way
// (queued jobs dropped, encoders stopped, temporary files removed) and
// leaves the event loop with 128 + the number; a second signal meanwhile
// ends the process at once. A signal that the launcher left ignored stays
// ignored. Call it once the application object exists.
void onTerminationSignals(std::function<void(int signal)> handler);
