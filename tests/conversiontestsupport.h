// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/ffmpegtask.h"
#include "settings/appsettings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

// Small stand-in encoders for the conversion tests. Each is a shell script
// whose $out is the last argument, the output file.
inline QString writeEncoder(const QString &directory, const QString &name, const QString &body)
{
    const QString path = directory + '/' + name;
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    script.write("#!/bin/sh\nfor out; do :; done\n");
    script.write(body.toUtf8());
    script.write("\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup
                          | QFileDevice::ExeOther);
    return path;
}

inline void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(content);
}

inline QByteArray checksum(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

// Puts every setting back as it is now when the returned guard goes.
inline auto restoreSettingsLater()
{
    return qScopeGuard([ffmpeg = AppSettings::FFmpegBinary, format = AppSettings::OutputFormat,
                        quality = AppSettings::OutputQualityArguments, folder = AppSettings::OutputDirectory,
                        rate = AppSettings::OutputSamplerate, channels = AppSettings::OutputChannelCount,
                        filters = AppSettings::AudioFilters, quick = AppSettings::QuickConvertMode,
                        copy = AppSettings::CopyNonAudioFiles, soxr = AppSettings::UseSoXresampler,
                        cover = AppSettings::CoverArt, loudness = AppSettings::ReplayGain, threads = AppSettings::Threads,
                        name = AppSettings::OutputFileName, times = AppSettings::KeepFileTimes] {
        AppSettings::OutputFileName = name;
        AppSettings::KeepFileTimes = times;
        AppSettings::FFmpegBinary = ffmpeg;
        AppSettings::OutputFormat = format;
        AppSettings::OutputQualityArguments = quality;
        AppSettings::OutputDirectory = folder;
        AppSettings::OutputSamplerate = rate;
        AppSettings::OutputChannelCount = channels;
        AppSettings::AudioFilters = filters;
        AppSettings::QuickConvertMode = quick;
        AppSettings::CopyNonAudioFiles = copy;
        AppSettings::UseSoXresampler = soxr;
        AppSettings::CoverArt = cover;
        AppSettings::ReplayGain = loudness;
        AppSettings::Threads = threads;
    });
}

// The settings of a fresh installation, with the given encoder and output template.
inline void resetSettings(const QString &encoder, const QString &outputDirectory)
{
    AppSettings::FFmpegBinary = encoder;
    AppSettings::OutputFormat = "mp3";
    AppSettings::OutputQualityArguments = "-q:a 2";
    AppSettings::OutputDirectory = outputDirectory;
    AppSettings::OutputSamplerate.clear();
    AppSettings::OutputChannelCount = 0;
    AppSettings::AudioFilters.clear();
    AppSettings::QuickConvertMode = false;
    AppSettings::CopyNonAudioFiles = false;
    AppSettings::UseSoXresampler = false;
    AppSettings::CoverArt = true;
    AppSettings::ReplayGain = false;
    AppSettings::OutputFileName.clear();
    AppSettings::KeepFileTimes = false;
    AppSettings::Threads = 2;
}

// The status as the job table shows it untranslated, so that a mismatch reads plainly.
inline QString statusName(FFmpegTask::ConvertStatus status)
{
    switch (status) {
    case FFmpegTask::Pending:
        return QStringLiteral("Pending");
    case FFmpegTask::Converting:
        return QStringLiteral("Converting");
    case FFmpegTask::Failed:
        return QStringLiteral("Failed");
    case FFmpegTask::Skipped:
        return QStringLiteral("Skipped");
    case FFmpegTask::Done:
        return QStringLiteral("Done");
    }
    return QStringLiteral("status %1").arg(int(status));
}

// Inputs and a stand-in encoder whose runs can be held: each run records its
// process id in the trace, writes a partial output and, when held, waits for
// the release file before it writes the whole one ("done") and records its
// end as its negated process id.
struct HeldBatch
{
    QTemporaryDir folder;
    QStringList inputs;

    QString trace() const { return folder.path() + "/trace"; }
    QString releaseFile() const { return folder.path() + "/release"; }
    QString outputFolder() const { return folder.path() + "/out"; }
    // Where the output of `input` goes with the template prepare() sets.
    QString outputOf(const QString &input) const
    {
        return outputFolder() + '/' + QFileInfo(input).absolutePath() + '/' + QFileInfo(input).completeBaseName()
            + ".mp3";
    }

    // Sets the settings of a fresh installation with this encoder, outputs
    // mirrored below outputFolder(), and makes `count` inputs (or the given
    // names) below "in". `extra` is run by the encoder first.
    void prepare(int count, bool held, const QStringList &names = {}, const QString &extra = {})
    {
        const QString wait = held ? "while [ ! -e " + releaseFile() + " ]; do sleep 0.05; done; " : "";
        resetSettings(writeEncoder(folder.path(), "encoder",
                                   extra + "echo $$ >> " + trace() + "; echo partial > \"$out\"; " + wait
                                       + "echo done > \"$out\"; echo -$$ >> " + trace()),
                      outputFolder() + "/{sourcedir}");
        for (int i = 0; i < count; ++i) {
            inputs << folder.path() + "/in/"
                    + (names.isEmpty() ? QString("track%1.wav").arg(i + 1, 2, 10, QChar('0')) : names.at(i));
            writeFile(inputs.last(), "x");
        }
    }

    void release() { writeFile(releaseFile(), ""); }
    void hold() { QFile::remove(releaseFile()); }

    // The process ids of the encoders started so far.
    QStringList started() const
    {
        return traceLines().filter(QRegularExpression("^\\d"));
    }

    // The most encoders that ran at once.
    int mostAtOnce() const
    {
        int running = 0, most = 0;
        for (const QString &line : traceLines()) {
            running += line.startsWith('-') ? -1 : 1;
            most = qMax(most, running);
        }
        return most;
    }

private:
    QStringList traceLines() const
    {
        QFile file(trace());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
};
