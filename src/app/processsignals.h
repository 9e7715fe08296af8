// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Undoes what a launcher may have left: an ignored SIGCHLD would have the
// system reap the encoders before their exit status could be read. Call it
// first, before any thread starts.
void resetInheritedSignals();

// Makes SIGINT, SIGTERM and SIGHUP close every window the clean way (queued
// jobs dropped, encoders stopped, temporary files removed), after which the
// event loop ends with the code 128 + the signal's number. A signal that the
// launcher left ignored stays ignored. Call it once the application object
// exists.
void closeOnTerminationSignals();
