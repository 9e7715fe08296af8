// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/batchinputs.h"
#include "conversion/outputnames.h"

#include <QString>

struct TrackTags;

// What a batch would do with each of its rows, planned in row order with the
// current settings by looking at the disk, never writing to it: for a dry run
// and the window's Output column. It answers as the jobs will, numbering
// same-named outputs and skipping a file named twice.
class OutputPlan
{
public:
    struct Row
    {
        enum Action { Convert, Replace, Copy, Skip, Fail };
        Action action = Convert;
        QString outputPath;            // after numbering; empty when nothing is written
        QString reason;                // why the row is skipped or fails, translated
        int sameInputAs = 0;           // the earlier row naming the same file
        int numberedAfter = 0;         // the earlier row writing the name this row asked for
        bool replacesExisting = false; // a file is at the output already
        bool ontoInput = false;        // the output is this row's input or another's
        bool media = true;             // false: copied or skipped per CopyNonAudioFiles
    };

    // "Convert", "Replace", "Copy", "Skip" or "Fail", untranslated, for scripts.
    static const char *word(Row::Action action);

    // Makes the next row's input known; rows are numbered from 1 in this
    // order. An output is checked against the inputs known when it is
    // planned, so a batch known whole adds every input first. A row planned
    // without being added is added then.
    void addInput(const QString &inputPath);

    // The next row's plan, rows in the order added.
    Row planNext(const QString &inputPath, const QString &addedFolder, const TrackTags &tags);

    int plannedCount() const { return planned; }

private:
    Row planOutput(int row, const QString &inputPath, const QString &path, bool media);

    BatchInputs inputs;
    OutputNames names;
    int added = 0;
    int planned = 0;
};
