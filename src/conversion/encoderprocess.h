// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Runs the encoder as a child process, its error channel merged into its
// output channel, and waits for it to end. The child is spawned without
// copying the parent's memory: forking a whole GUI process per file costs
// more the more memory it holds, which dominates short jobs.
class EncoderProcess
{
public:
    struct Result
    {
        bool started = false;
        bool normalExit = false; // ended by exit() rather than by a signal
        int exitCode = 255;      // the exit status, or the signal that ended it
        bool stopped = false;    // ended on request

        // Why the run failed, in the user's language, given what the
        // encoder wrote; empty for a normal exit with code 0.
        QString failure(const QString &output) const;
    };

    // `output` receives every chunk of output as it arrives. While
    // `stopRequested` is true the child and every process it started are
    // asked to end; they are killed when they have not ended after a short grace.
    static Result run(const QString &program, const QStringList &arguments,
                      const std::function<void(const QByteArray &)> &output,
                      const std::function<bool()> &stopRequested);
};
