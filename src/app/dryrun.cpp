// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dryrun.h"

#include "app/resultrecord.h"
#include "naming/outputplan.h"
#include "naming/tracktags.h"

#include <QFile>

void DryRun::add(const QString &inputPath, const QString &addedFolder)
{
    inputs.append(inputPath);
    addedFolders.append(addedFolder);
}

bool DryRun::plan(bool nulSeparated, const std::function<void(const QByteArray &, const QByteArray &)> &line)
{
    OutputPlan plan;
    for (const QString &input : qAsConst(inputs))
        plan.addInput(input);
    bool fails = false;
    for (int i = 0; i < inputs.size(); ++i) {
        const QString &input = inputs.at(i);
        const OutputPlan::Row row = plan.planNext(input, addedFolders.at(i), TrackTags::read(input));
        fails = fails || row.action == OutputPlan::Row::Fail;
        const QByteArray inputName = QFile::encodeName(input);
        line(resultRecord(OutputPlan::word(row.action), inputName, QFile::encodeName(row.outputPath), nulSeparated),
             row.reason.isEmpty() ? QByteArray() : explanationLine(inputName, row.reason));
    }
    return fails;
}
