// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/ffmpegtask.h"

#include "conversion/encoderprocess.h"
#include "settings/appsettings.h"

#include "conversion/encoderoutput.h"
#include "conversion/outputfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>

#include <sys/stat.h>

namespace {

enum Metadata { NoMetadata, StreamMetadata, StreamAndId3Metadata };

struct Format
{
    const char *id;
    const char *codec; // nullptr: the codec comes with the quality arguments
    bool takesSampleRate;
    Metadata metadata;
};

constexpr Format formats[] = {
    {"mp3", "libmp3lame", true, StreamAndId3Metadata},
    {"m4a", "aac", true, StreamMetadata},
    {"ogg", "libvorbis", true, StreamMetadata},
    {"opus", "libopus", false, StreamMetadata},
    {"flac", "flac", true, StreamMetadata},
    {"wav", nullptr, true, NoMetadata},
};

const Format *findFormat(const QString &id)
{
    for (const Format &format : formats) {
        if (id == QLatin1String(format.id))
            return &format;
    }
    return nullptr;
}

// What a path names right now, to tell one file from another.
struct FileState
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;

    explicit FileState(const QString &path)
    {
        struct stat status;
        if (::stat(QFile::encodeName(path).constData(), &status) != 0)
            return;
        exists = true;
        device = status.st_dev;
        inode = status.st_ino;
    }

    QPair<quint64, quint64> identity() const { return {quint64(device), quint64(inode)}; }

    bool sameFileAs(const FileState &other) const
    {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};

// Lists and cue sheets name audio files and say so in their types, but are
// no audio themselves.
bool isPlaylist(const QMimeType &type)
{
    static const char *const playlists[] = {
        "audio/x-mpegurl", "application/vnd.apple.mpegurl", "audio/x-scpls", "application/xspf+xml",
        "application/x-cue", "audio/x-ms-asx", "application/vnd.ms-wpl",
    };
    for (const char *playlist : playlists) {
        if (type.inherits(QLatin1String(playlist)))
            return true;
    }
    return false;
}

} // namespace

BatchInputs batchInputsOf(const QStringList &paths)
{
    BatchInputs inputs;
    inputs.reserve(paths.size());
    for (const QString &path : paths) {
        const FileState state(path);
        if (state.exists)
            inputs.insert(state.identity());
    }
    return inputs;
}

bool isAudioOrVideo(const QString &path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (isPlaylist(type))
        return false;
    // An unknown type, or a file gone since it was added, goes to the
    // encoder, which reads what it can and fails on the rest.
    if (type.isDefault())
        return true;
    const QString topLevel = type.name().section(QLatin1Char('/'), 0, 0);
    return topLevel.isEmpty() || topLevel == QLatin1String("audio") || topLevel == QLatin1String("video");
}

FFmpegTask::FFmpegTask(int id, const QString &inputPath)
    : id(id)
    , inputPath(inputPath)
    , outputDirectory(AppSettings::OutputDirectory)
{
}

void FFmpegTask::run()
{
    qDebug() << "Starting job" << id << "|" << inputPath;

    ConvertStatus status;
    if (isAudioOrVideo(inputPath)) {
        prepareOutputDirectory();
        buildArguments();
        status = whileClaimed(outputPath, &FFmpegTask::convertClaimed);
    } else if (AppSettings::CopyNonAudioFiles) {
        qDebug() << "Copy file" << id;
        prepareOutputDirectory();
        status = whileClaimed(outputDirectory + QLatin1Char('/') + inputInfo.fileName(), &FFmpegTask::copyClaimed);
    } else {
        if (batchOutputs)
            batchOutputs->announce(id, nullptr);
        qDebug() << "Skipping job" << id;
        status = Skipped;
    }

    emit StatusChange(id, status);
    emit ConvertDone(id);
}

void FFmpegTask::refuse()
{
    if (batchOutputs)
        batchOutputs->announce(id, nullptr);
    qDebug() << "No thread could be started for job" << id;
    emit StatusChange(id, Failed);
    emit ConvertDone(id);
}

FFmpegTask::ConvertStatus FFmpegTask::whileClaimed(const QString &path,
                                                   ConvertStatus (FFmpegTask::*work)(OutputFile &))
{
    const OutputKey key = OutputKey::of(path);
    if (batchOutputs)
        batchOutputs->announce(id, &key);
    const OutputClaim claim(key, id, batchOutputs, stopFlag);
    if (!claim.held())
        return Failed;
    OutputFile file(path);
    const QString folder = QFileInfo(path).path();
    file.removeStale(batchOutputs ? batchOutputs->leftoversIn(folder) : OutputFile::leftoversIn(folder));
    return (this->*work)(file);
}

void FFmpegTask::prepareOutputDirectory()
{
    inputInfo = QFileInfo(inputPath);
    outputDirectory.replace(QLatin1String("{sourcedir}"), inputInfo.absolutePath());
    QDir().mkpath(outputDirectory);
}

void FFmpegTask::buildArguments()
{
    arguments << QStringLiteral("-hide_banner")
              << (AppSettings::QuickConvertMode ? QStringLiteral("-n") : QStringLiteral("-y"))
              << QStringLiteral("-vn") << QStringLiteral("-i") << inputPath;

    const Format *format = findFormat(AppSettings::OutputFormat);
    outputSuffix = format ? QString::fromLatin1(format->id) : AppSettings::OutputFormat;
    if (format) {
        if (format->codec)
            arguments << QStringLiteral("-c:a") << QString::fromLatin1(format->codec);
        arguments << AppSettings::OutputQualityArguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (format->takesSampleRate && !AppSettings::OutputSamplerate.isEmpty())
            arguments << QStringLiteral("-ar") << AppSettings::OutputSamplerate;
        if (AppSettings::OutputChannelCount > 0)
            arguments << QStringLiteral("-ac") << QString::number(AppSettings::OutputChannelCount);
        if (format->metadata != NoMetadata)
            arguments << QStringLiteral("-map_metadata") << QStringLiteral("0")
                      << QStringLiteral("-map_metadata") << QStringLiteral("0:s:0");
        if (format->metadata == StreamAndId3Metadata)
            arguments << QStringLiteral("-id3v2_version") << QStringLiteral("3");
    }

    if (AppSettings::UseSoXresampler)
        filterText += QStringLiteral("aresample=resampler=soxr ");
    filterText += AppSettings::AudioFilters;
    const QString chain = filterText.simplified().replace(QLatin1Char(' '), QLatin1Char(','));
    if (!chain.isEmpty())
        arguments << QStringLiteral("-af") << chain;

    outputPath = outputDirectory + QLatin1Char('/') + inputInfo.completeBaseName()
        + QLatin1Char('.') + outputSuffix;
    arguments << outputPath;
}

FFmpegTask::ConvertStatus FFmpegTask::copyClaimed(OutputFile &file)
{
    // The copy never overwrites, and a file already there counts as copied.
    if (file.occupied())
        return Done;
    if (!file.copyFrom(inputPath, stopFlag))
        return Failed;
    return file.commit(false) == OutputFile::Refused ? Failed : Done;
}

FFmpegTask::ConvertStatus FFmpegTask::convertClaimed(OutputFile &file)
{
    if (AppSettings::QuickConvertMode) {
        if (file.occupied()) {
            qDebug() << "Skipping job" << id;
            return Skipped;
        }
        if (inputInfo.suffix().toLower() == outputSuffix) {
            qDebug() << "Copy file of job" << id;
            return file.copyFrom(inputPath, stopFlag) && commit(file) ? Done : Failed;
        }
    }
    // The output is renamed into place, so nothing but this check keeps a
    // conversion from replacing its own input, under any spelling of its path.
    const FileState output(outputPath);
    if (output.sameFileAs(FileState(inputPath))) {
        qDebug() << "Output of job" << id << "is its own input:" << outputPath;
        return Failed;
    }
    // Nor another file of the batch, such as "song.mp3" beside "song.flac"
    // when converting in place to MP3.
    if (output.exists && batchInputs && batchInputs->contains(output.identity())) {
        qDebug() << "Output of job" << id << "is an input of the batch:" << outputPath;
        return Failed;
    }
    return runEncoder(file);
}

FFmpegTask::ConvertStatus FFmpegTask::runEncoder(OutputFile &file)
{
    emit StatusChange(id, Converting);
    if (stopRequested())
        return Failed;

    QStringList runArguments = arguments;
    runArguments.last() = file.temporaryPath();
    OutputExcerpt processOutput;
    WriteFailureScan writeFailure({inputPath, file.temporaryPath()});
    const EncoderProcess::Result run = EncoderProcess::run(
        AppSettings::FFmpegBinary, runArguments,
        [&](const QByteArray &chunk) {
            processOutput.append(chunk);
            writeFailure.append(chunk);
        },
        [this] { return stopRequested(); });

    qDebug() << "Result of job" << id << "|" << processOutput.text();
    qDebug() << "Finished job" << id << "with exit code" << run.exitCode;

    // Success needs a real start and a normal end with code 0: a spawn that
    // failed or a crash must never read as a clean exit.
    if (!run.started || run.stopped || !run.normalExit || run.exitCode != 0)
        return Failed;
    const QString failure = writeFailure.failure();
    if (!failure.isEmpty()) {
        qDebug() << "Output of job" << id << "is incomplete:" << failure;
        return Failed;
    }
    if (!file.written()) {
        qDebug() << "Job" << id << "wrote no output";
        return Failed;
    }
    return commit(file) ? Done : Failed;
}

bool FFmpegTask::commit(OutputFile &file)
{
    // In quick mode an output that another writer made meanwhile stays.
    switch (file.commit(!AppSettings::QuickConvertMode)) {
    case OutputFile::Committed:
        return true;
    case OutputFile::Occupied:
        qDebug() << "Output of job" << id << "appeared meanwhile and is kept:" << outputPath;
        return false;
    case OutputFile::Refused:
        break;
    }
    qDebug() << "Output of job" << id << "could not be put in place:" << outputPath;
    return false;
}
