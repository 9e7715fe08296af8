// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// The file a job writes before it becomes the output: a hidden file in the
// output folder, named after the output, the process id and a random part,
// and ending in the output's suffix, so that the encoder still picks the
// muxer from the extension. Only a finished file is
// renamed onto the output path, so the output is whole or not there, and an
// earlier file stays untouched until then. What is not committed is removed.
class OutputFile
{
public:
    explicit OutputFile(const QString &outputPath);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    QString temporaryPath() const { return temporary; }

    // The names in `folder` that may be temporary files left behind.
    static QStringList leftoversIn(const QString &folder);
    // Removes those of `leftovers` that are named exactly as this output's
    // temporary files are, that a process no longer running left behind and
    // that have not changed for a minute. Nothing else is ever removed.
    // Call it while holding the output's claim.
    void removeStale(const QStringList &leftovers) const;

    // Whether anything is at the output path, a dangling link included.
    bool occupied() const;

    // Whether the temporary file holds something to commit.
    bool written() const;

    enum Commit { Committed, Occupied, Refused };
    // Renames the temporary file onto the output path. `replace` false never
    // replaces anything there, a dangling link included: that gives Occupied.
    Commit commit(bool replace);

    // Copies a regular file into the temporary file, giving up within a
    // moment once `stop` is set.
    bool copyFrom(const QString &source, const std::atomic<bool> *stop);

private:
    QString output;
    QString temporary;
    bool committed = false;
};
