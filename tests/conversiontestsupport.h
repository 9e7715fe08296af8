// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/appsettings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
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
    AppSettings::Threads = 2;
}
