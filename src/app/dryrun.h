// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <functional>

// A batch planned rather than run: one result line a row, its word saying
// what the job would do, with no folder or file made and no encoder started.
class DryRun
{
public:
    void add(const QString &inputPath, const QString &addedFolder);
    bool isEmpty() const { return inputs.isEmpty(); }

    // Plans the rows in order once every input is known, as an output must
    // not fall onto an input listed later; hands `line` each row's result
    // record and the reason a row is skipped or fails. True when any would
    // fail.
    bool plan(bool nulSeparated, const std::function<void(const QByteArray &record, const QByteArray &why)> &line);

private:
    QStringList inputs;
    QStringList addedFolders;
};
