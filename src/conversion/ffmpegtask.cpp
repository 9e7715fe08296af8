// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/ffmpegtask.h"

#include "conversion/encoderprocess.h"
#include "conversion/threadhandoff.h"
#include "settings/appsettings.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QSet>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <sys/stat.h>

namespace {

// How often a job waiting for an output path looks at its stop flag.
constexpr std::chrono::milliseconds claimPollInterval{100};

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

// What a path names right now, to tell one file from another and to see
// whether a file was written to.
struct FileState
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified = {};

    explicit FileState(const QString &path)
    {
        struct stat status;
        if (::stat(QFile::encodeName(path).constData(), &status) != 0)
            return;
        exists = true;
        device = status.st_dev;
        inode = status.st_ino;
        size = status.st_size;
        modified = status.st_mtim;
    }

    QPair<quint64, quint64> identity() const { return {quint64(device), quint64(inode)}; }

    bool sameFileAs(const FileState &other) const
    {
        return exists && other.exists && device == other.device && inode == other.inode;
    }

    bool unchangedSince(const FileState &before) const
    {
        return sameFileAs(before) && size == before.size
            && modified.tv_sec == before.modified.tv_sec
            && modified.tv_nsec == before.modified.tv_nsec;
    }
};

// Output paths that a job of this process is producing. Two encoders writing
// one file at once would both succeed and leave a mix of both; a second job of
// the same path waits for the first one instead.
class OutputClaim
{
public:
    OutputClaim(const QString &path, const std::atomic<bool> *stop)
        : key(claimKey(path))
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (claimed.contains(key)) {
            if (stop && stop->load())
                return;
            released.wait_for(lock, claimPollInterval);
        }
        claimed.insert(key);
        held = true;
    }

    ~OutputClaim()
    {
        if (!held)
            return;
        const std::lock_guard<std::mutex> lock(mutex);
        claimed.remove(key);
        released.notify_all();
    }

    OutputClaim(const OutputClaim &) = delete;
    OutputClaim &operator=(const OutputClaim &) = delete;

    bool held = false;

private:
    // Other spellings of the same path ("//", "/./", a linked folder) must meet.
    static QString claimKey(const QString &path)
    {
        const QFileInfo info(path);
        const QString directory = QFileInfo(info.absolutePath()).canonicalFilePath();
        if (directory.isEmpty())
            return QDir::cleanPath(info.absoluteFilePath());
        return directory + QLatin1Char('/') + info.fileName();
    }

    QString key;
    // Standard primitives rather than Qt's, so that thread checkers see them.
    static inline std::mutex mutex;
    static inline std::condition_variable released;
    static inline QSet<QString> claimed;
};

// The encoder's output as the log shows it. An encoder may write without
// end, so only its beginning and its end are kept, and it is decoded once,
// whole, since a chunk may end inside a character or hold a NUL byte.
class OutputExcerpt
{
public:
    void append(const QByteArray &chunk)
    {
        total += chunk.size();
        const int toHead = qMin(chunk.size(), keep - head.size());
        head += chunk.left(toHead);
        tail += chunk.mid(toHead);
        if (tail.size() > 2 * keep)
            tail.remove(0, tail.size() - keep);
    }

    QString text() const
    {
        if (total <= head.size() + keep)
            return decode(head + tail);
        // Cut at character boundaries, so that both parts decode cleanly.
        const QByteArray first = head.left(completeEnd(head));
        QByteArray last = tail.right(keep);
        last.remove(0, firstStart(last));
        return decode(first)
            + QStringLiteral("\n[... %1 bytes left out ...]\n").arg(total - first.size() - last.size())
            + decode(last);
    }

private:
    static constexpr int keep = 64 * 1024;

    // Whole, NUL bytes included: the QByteArray overload stops at the first.
    static QString decode(const QByteArray &bytes)
    {
        return QString::fromUtf8(bytes.constData(), bytes.size());
    }

    static bool continues(char byte) { return (uchar(byte) & 0xC0) == 0x80; }

    // Where the last whole character of `bytes` ends.
    static int completeEnd(const QByteArray &bytes)
    {
        int lead = bytes.size();
        while (lead > 0 && bytes.size() - lead < 3 && continues(bytes.at(lead - 1)))
            --lead;
        if (lead == 0)
            return bytes.size();
        const uchar byte = uchar(bytes.at(--lead));
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return bytes.size() - lead < length ? lead : bytes.size();
    }

    // Where the first whole character of `bytes` starts.
    static int firstStart(const QByteArray &bytes)
    {
        int start = 0;
        while (start < bytes.size() && start < 3 && continues(bytes.at(start)))
            ++start;
        return start;
    }

    QByteArray head;
    QByteArray tail;
    qint64 total = 0;
};

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
    const QString type = QMimeDatabase().mimeTypeForFile(path).name().section(QLatin1Char('/'), 0, 0);
    return type.isEmpty() || type == QLatin1String("audio") || type == QLatin1String("video");
}

FFmpegTask::FFmpegTask(int id, const QString &inputPath)
    : id(id)
    , inputPath(inputPath)
    , outputDirectory(AppSettings::OutputDirectory)
{
}

void FFmpegTask::run()
{
    takeOver(this);
    qDebug() << "Starting job" << id << "|" << inputPath;

    ConvertStatus status;
    if (isAudioOrVideo(inputPath)) {
        prepareOutputDirectory();
        buildArguments();
        const OutputClaim claim(outputPath, stopFlag);
        status = claim.held ? convertClaimed() : Failed;
    } else if (AppSettings::CopyNonAudioFiles) {
        qDebug() << "Copy file" << id;
        prepareOutputDirectory();
        const QString destination = outputDirectory + QLatin1Char('/') + inputInfo.fileName();
        // The copy never overwrites, and a file already there counts as copied.
        // Only a regular file is read: opening a FIFO would wait for a writer forever.
        status = (inputInfo.isFile() && QFile::copy(inputPath, destination)) || QFileInfo::exists(destination)
            ? Done
            : Failed;
    } else {
        qDebug() << "Skipping job" << id;
        status = Skipped;
    }

    emit StatusChange(id, status);
    emit ConvertDone(id);
    if (stopFlag)
        handOver(stopFlag);
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

FFmpegTask::ConvertStatus FFmpegTask::convertClaimed()
{
    if (AppSettings::QuickConvertMode) {
        if (QFileInfo::exists(outputPath)) {
            qDebug() << "Skipping job" << id;
            return Skipped;
        }
        if (inputInfo.suffix().toLower() == outputSuffix) {
            qDebug() << "Copy file of job" << id;
            return QFile::copy(inputPath, outputPath) ? Done : Failed;
        }
    }
    // The encoder refuses to write onto its input only when both paths are
    // spelt alike; through another spelling it would truncate the input.
    const FileState output(outputPath);
    if (output.sameFileAs(FileState(inputPath))) {
        qDebug() << "Output of job" << id << "is its own input:" << outputPath;
        return Failed;
    }
    // Told to overwrite, the encoder would destroy another file of the batch,
    // such as "song.mp3" beside "song.flac" when converting in place to MP3.
    if (output.exists && batchInputs && batchInputs->contains(output.identity())) {
        qDebug() << "Output of job" << id << "is an input of the batch:" << outputPath;
        return Failed;
    }
    return runEncoder();
}

FFmpegTask::ConvertStatus FFmpegTask::runEncoder()
{
    emit StatusChange(id, Converting);
    if (stopRequested())
        return Failed;

    const FileState before(outputPath);
    OutputExcerpt processOutput;
    const EncoderProcess::Result run = EncoderProcess::run(
        AppSettings::FFmpegBinary, arguments, [&](const QByteArray &chunk) { processOutput.append(chunk); },
        [this] { return stopRequested(); });

    qDebug() << "Result of job" << id << "|" << processOutput.text();
    qDebug() << "Finished job" << id << "with exit code" << run.exitCode;

    // Success needs a real start and a normal end with code 0: a spawn that
    // failed or a crash must never read as a clean exit.
    if (run.started && !run.stopped && run.normalExit && run.exitCode == 0)
        return Done;

    // Leave no partial file that a later quick run would take as converted,
    // but never remove a file that was there before and was not written to.
    // One that was there and was written to is lost already: an encoder told
    // to overwrite truncates it before it fails.
    const FileState after(outputPath);
    if (after.exists && (!before.exists || !after.unchangedSince(before)))
        QFile::remove(outputPath);
    return Failed;
}
