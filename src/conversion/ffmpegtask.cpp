// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/ffmpegtask.h"

#include "conversion/encoderarguments.h"
#include "conversion/encoderlocation.h"
#include "conversion/encoderoutput.h"
#include "conversion/encoderprocess.h"
#include "conversion/encoderprogress.h"
#include "conversion/inputkind.h"
#include "conversion/jobreasons.h"
#include "conversion/outputfile.h"
#include "logging/logging.h"
#include "naming/outputnaming.h"
#include "settings/appsettings.h"
#include "settings/outputlocation.h"
#include "tags/tagcopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

FFmpegTask::FFmpegTask(int id, const QString &inputPath)
    : id(id)
    , inputPath(inputPath)
    , outputDirectory(AppSettings::OutputDirectory)
{
}

void FFmpegTask::run()
{
    qCDebug(lcEngine) << "Starting job" << id << "|" << inputPath;
    finish(classifyAndRun());
}

void FFmpegTask::refuse()
{
    if (batchOutputs)
        batchOutputs->passes(id);
    qCDebug(lcEngine) << "No thread could be started for job" << id;
    finish(fail(tr("No thread could be started for it")));
}

void FFmpegTask::finish(ConvertStatus status)
{
    emit StatusChange(id, status);
    emit Reported({id, status, inputPath, outputPath, reason, encoderOutput, commandLine, durationMs,
                   status == Done ? decodeError : QString(), sameInputAs});
    emit ConvertDone(id);
}

FFmpegTask::ConvertStatus FFmpegTask::fail(const QString &why)
{
    if (reason.isEmpty())
        reason = why;
    return Failed;
}

FFmpegTask::ConvertStatus FFmpegTask::succeed(ConvertStatus status, const QString &how)
{
    reason = how;
    return status;
}

FFmpegTask::ConvertStatus FFmpegTask::classifyAndRun()
{
    if (sameInputAs > 0) {
        if (batchOutputs)
            batchOutputs->passes(id);
        qCDebug(lcEngine) << "Skipping job" << id << "as job" << sameInputAs << "converts its input";
        return succeed(Skipped, JobReasons::sameInputAs(sameInputAs));
    }
    const bool media = isAudioOrVideo(inputPath);
    if (!media && !AppSettings::CopyNonAudioFiles) {
        if (batchOutputs)
            batchOutputs->passes(id);
        qCDebug(lcEngine) << "Skipping job" << id;
        return succeed(Skipped, JobReasons::notMedia());
    }
    outputDirectory = OutputLocation::folderFor(outputDirectory, inputPath);
    QDir().mkpath(outputDirectory);
    if (media) {
        outputPath = conversionOutputPath(inputPath, outputDirectory);
        return whileClaimed(outputPath, &FFmpegTask::convertClaimed);
    }
    qCDebug(lcEngine) << "Copy file" << id;
    outputPath = OutputNaming::copiedPath(inputPath, QString());
    return whileClaimed(outputPath, &FFmpegTask::copyClaimed);
}

FFmpegTask::ConvertStatus FFmpegTask::whileClaimed(const QString &path,
                                                   ConvertStatus (FFmpegTask::*work)(OutputFile &))
{
    if (batchOutputs) {
        const QString taken = batchOutputs->take(id, path, stopFlag);
        if (taken.isEmpty())
            return fail(tr("Stopped"));
        outputPath = taken;
    }
    const OutputClaim claim(OutputKey::of(outputPath), stopFlag);
    if (!claim.held())
        return fail(tr("Stopped"));
    OutputFile file(outputPath);
    const QString folder = QFileInfo(outputPath).path();
    file.removeStale(batchOutputs ? batchOutputs->leftoversIn(folder) : OutputFile::leftoversIn(folder));
    return (this->*work)(file);
}

FFmpegTask::ConvertStatus FFmpegTask::copyClaimed(OutputFile &file)
{
    // The copy never overwrites, and a file already there counts as copied.
    if (file.occupied())
        return succeed(Done, JobReasons::alreadyCopied());
    if (!file.copyFrom(inputPath, stopFlag))
        return fail(stopRequested() ? tr("Stopped") : tr("The file could not be copied"));
    if (file.commit(false) == OutputFile::Refused)
        return fail(tr("The copy could not be put in place"));
    return succeed(Done, tr("Not an audio or video file; copied to the output folder"));
}

FFmpegTask::ConvertStatus FFmpegTask::convertClaimed(OutputFile &file)
{
    if (AppSettings::QuickConvertMode) {
        if (file.occupied()) {
            qCDebug(lcEngine) << "Skipping job" << id;
            return succeed(Skipped, JobReasons::outputExistsQuick());
        }
        if (QFileInfo(inputPath).suffix().toLower() == outputSuffix()) {
            qCDebug(lcEngine) << "Copy file of job" << id;
            if (!file.copyFrom(inputPath, stopFlag))
                return fail(stopRequested() ? tr("Stopped") : tr("The file could not be copied"));
            return commit(file, tr("Already in the output format; copied (quick mode)"));
        }
    }
    // The output is renamed into place, so nothing but this check keeps a
    // conversion from replacing its own input, under any spelling of its path.
    // A link at the output is what the rename replaces, never what it points
    // at; unless the link is the input as named.
    const FileIdentity output(outputPath, FileIdentity::Itself);
    const FileIdentity input(inputPath, FileIdentity::Itself);
    if (output.sameFileAs(input) || (input.link && output.sameFileAs(FileIdentity(inputPath)))) {
        qCDebug(lcEngine) << "Output of job" << id << "is its own input:" << outputPath;
        return fail(JobReasons::ontoOwnInput());
    }
    // Nor another file of the batch, such as "song.mp3" beside "song.flac"
    // when converting in place to MP3, even one listed later: a new path is
    // no input, an existing one waits for the whole list.
    if (output.exists && batchInputs) {
        switch (batchInputs->contains(output, stopFlag)) {
        case BatchInputs::Input:
            qCDebug(lcEngine) << "Output of job" << id << "is an input of the batch:" << outputPath;
            return fail(JobReasons::ontoOtherInput());
        case BatchInputs::Stopped:
            return fail(tr("Stopped"));
        case BatchInputs::NotInput:
            break;
        }
    }
    return runEncoder(file);
}

FFmpegTask::ConvertStatus FFmpegTask::runEncoder(OutputFile &file)
{
    emit StatusChange(id, Converting);
    if (stopRequested())
        return fail(tr("Stopped"));

    const QString program = encoderProgram(AppSettings::FFmpegBinary);
    const QStringList arguments = encoderArguments(inputPath, file.temporaryPath());
    commandLine = shellCommandLine(program, arguments);
    OutputExcerpt processOutput;
    EncoderMessageScan messages({inputPath, file.temporaryPath()});
    EncoderProgress progress(EncoderProgress::tempoOf(arguments));
    QElapsedTimer sinceProgress;
    const EncoderProcess::Result run = EncoderProcess::run(
        program, arguments,
        [&](const QByteArray &chunk) {
            processOutput.append(chunk);
            messages.append(chunk);
            progress.append(chunk);
            // The window shows it a few times a second at most.
            if (progress.positionMs() >= 0 && (!sinceProgress.isValid() || sinceProgress.elapsed() >= 250)) {
                sinceProgress.start();
                emit Progress(id, progress.positionMs(), progress.durationMs());
            }
        },
        [this] { return stopRequested(); });

    durationMs = progress.durationMs();
    encoderOutput = processOutput.text();
    qCDebug(lcEngine) << "Result of job" << id << "|" << encoderOutput;
    qCDebug(lcEngine) << "Finished job" << id << "with exit code" << run.exitCode;

    // The encoder names its input by the whole path, which the row shows already.
    const QString runFailure =
        run.failure(encoderOutput).replace(inputPath, QFileInfo(inputPath).fileName());
    if (!runFailure.isEmpty())
        return fail(runFailure);
    const QString failure = messages.writeFailure();
    if (!failure.isEmpty()) {
        qCDebug(lcEngine) << "Output of job" << id << "is incomplete:" << failure;
        return fail(plainWriteFailure(failure));
    }
    if (!file.written()) {
        qCDebug(lcEngine) << "Job" << id << "wrote no output";
        return fail(tr("The encoder wrote no output"));
    }
    // What could be decoded may be all there is of the input: it is kept, and said.
    decodeError = messages.decodeError();
    if (!decodeError.isEmpty())
        qCDebug(lcEngine) << "Job" << id << "decoded with errors:" << decodeError;
    // A tag is never worth the music: an output without them is still done,
    // but not one that writing them may have damaged.
    const TagCopy::Result tags =
        TagCopy::copy(inputPath, file.temporaryPath(), outputSuffix(), AppSettings::CoverArt);
    if (tags.outputSpoilt) {
        qCDebug(lcEngine) << "Tags of job" << id << "could not be written:" << outputPath;
        return fail(tr("Writing the tags failed part way: the output may be damaged"));
    }
    return commit(file, tags.notCopied.isEmpty() ? tr("Converted") : tr("Converted; %1").arg(tags.notCopied));
}

FFmpegTask::ConvertStatus FFmpegTask::commit(OutputFile &file, const QString &how)
{
    // In quick mode an output that another writer made meanwhile stays.
    switch (file.commit(!AppSettings::QuickConvertMode)) {
    case OutputFile::Committed:
        return succeed(Done, how);
    case OutputFile::Occupied:
        qCDebug(lcEngine) << "Output of job" << id << "appeared meanwhile and is kept:" << outputPath;
        return fail(tr("Another file appeared at the output path meanwhile and was kept"));
    case OutputFile::Refused:
        break;
    }
    qCDebug(lcEngine) << "Output of job" << id << "could not be put in place:" << outputPath;
    return fail(tr("The output could not be put in place"));
}
