// SPDX-License-Identifier: GPL-3.0-or-later
#include "naming/outputplan.h"

#include "conversion/encoderarguments.h"
#include "conversion/fileidentity.h"
#include "conversion/inputkind.h"
#include "conversion/jobreasons.h"
#include "naming/outputnaming.h"
#include "settings/appsettings.h"
#include "settings/outputlocation.h"

#include <QCoreApplication>
#include <QFileInfo>

const char *OutputPlan::word(Row::Action action)
{
    static const char *const words[] = {"Convert", "Replace", "Copy", "Skip", "Fail"};
    return words[action];
}

void OutputPlan::addInput(const QString &inputPath)
{
    inputs.add(inputPath, ++added);
}

OutputPlan::Row OutputPlan::planNext(const QString &inputPath, const QString &addedFolder, const TrackTags &tags)
{
    const int row = ++planned;
    if (row > added)
        addInput(inputPath);
    const int first = inputs.rowOf(FileIdentity(inputPath));
    if (first != 0 && first < row) {
        Row skipped{Row::Skip, QString(), JobReasons::sameInputAs(first)};
        skipped.sameInputAs = first;
        return skipped;
    }
    if (!QFileInfo(inputPath).isReadable())
        return {Row::Fail, QString(), QCoreApplication::translate("OutputPlan", "The file cannot be read")};
    const bool media = isAudioOrVideo(inputPath);
    if (!media && !AppSettings::CopyNonAudioFiles) {
        Row skipped{Row::Skip, QString(), JobReasons::notMedia()};
        skipped.media = false;
        return skipped;
    }
    return planOutput(row, inputPath,
                      media ? OutputNaming::convertedPath(inputPath, addedFolder, tags)
                            : OutputNaming::copiedPath(inputPath, addedFolder),
                      media);
}

// In the order the job takes its steps.
OutputPlan::Row OutputPlan::planOutput(int row, const QString &inputPath, const QString &path, bool media)
{
    const OutputNames::Name name = names.take(row, path);
    Row plan;
    plan.outputPath = name.path;
    plan.numberedAfter = name.earlierRow;
    plan.media = media;
    const FileIdentity output(plan.outputPath, FileIdentity::Itself);
    plan.replacesExisting = output.exists;
    const auto ends = [&plan](Row::Action action, const QString &reason = QString()) {
        plan.action = action;
        plan.reason = reason;
        return plan;
    };
    if (!OutputLocation::canBeMade(QFileInfo(plan.outputPath).path()))
        return ends(Row::Fail, QCoreApplication::translate("OutputPlan", "The output folder cannot be made"));
    if (!media)
        return output.exists ? ends(Row::Skip, JobReasons::alreadyCopied()) : ends(Row::Copy);
    if (AppSettings::QuickConvertMode) {
        if (output.exists)
            return ends(Row::Skip, JobReasons::outputExistsQuick());
        if (QFileInfo(inputPath).suffix().toLower() == outputSuffix())
            return ends(Row::Copy);
    }
    const FileIdentity input(inputPath, FileIdentity::Itself);
    plan.ontoInput = output.sameFileAs(input) || (input.link && output.sameFileAs(FileIdentity(inputPath)));
    if (plan.ontoInput)
        return ends(Row::Fail, JobReasons::ontoOwnInput());
    plan.ontoInput = inputs.rowOf(output) != 0;
    if (plan.ontoInput)
        return ends(Row::Fail, JobReasons::ontoOtherInput());
    return ends(output.exists ? Row::Replace : Row::Convert);
}
