// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

QString AppSettings::FFmpegBinary;
QString AppSettings::OutputFormat;
QString AppSettings::OutputQualityArguments;
QString AppSettings::OutputDirectory;
QString AppSettings::OutputSamplerate;
int AppSettings::OutputChannelCount = 0;
QString AppSettings::AudioFilters;
bool AppSettings::QuickConvertMode = false;
bool AppSettings::CopyNonAudioFiles = false;
bool AppSettings::UseSoXresampler = false;
int AppSettings::Threads = 0;

QString AppSettings::defaultFFmpegBinary()
{
    // /usr/local/bin is where the BSDs and hand-built installs put ffmpeg;
    // distributions install it elsewhere on the PATH.
    const QString preferred = QStringLiteral("/usr/local/bin/ffmpeg");
    const QFileInfo info(preferred);
    if (info.isFile() && info.isExecutable())
        return preferred;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    return onPath.isEmpty() ? preferred : onPath;
}

QString AppSettings::defaultOutputDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::HomeLocation) + QLatin1Char('/')
        + QCoreApplication::applicationName() + QStringLiteral("/{sourcedir}");
}

// A hand-edited value with an unquoted comma reads back as a list, whose
// plain conversion to text would be empty.
static QString text(const QVariant &value)
{
    return value.userType() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                      : value.toString();
}

void AppSettings::load()
{
    QSettings store;
    FFmpegBinary = text(store.value(QStringLiteral("FFmpegBinary"), defaultFFmpegBinary()));
    OutputFormat = text(store.value(QStringLiteral("OutputFormat"), QStringLiteral("mp3")));
    OutputQualityArguments =
        text(store.value(QStringLiteral("OutputQualityArguments"), QStringLiteral("-q:a 2")));
    OutputDirectory =
        text(store.value(QStringLiteral("OutputDirectory"), defaultOutputDirectory()));
    OutputSamplerate = text(store.value(QStringLiteral("OutputSamplerate"), QString()));
    OutputChannelCount = store.value(QStringLiteral("OutputChannelCount"), 0).toInt();
    AudioFilters = text(store.value(QStringLiteral("AudioFilters"), QString()));
    QuickConvertMode = store.value(QStringLiteral("QuickConvertMode"), false).toBool();
    CopyNonAudioFiles = store.value(QStringLiteral("CopyNonAudioFiles"), false).toBool();
    UseSoXresampler = store.value(QStringLiteral("UseSoXresampler"), false).toBool();
    Threads = store.value(QStringLiteral("Threads"), 0).toInt();
    qDebug() << "Settings loaded";
}

void AppSettings::save()
{
    QSettings store;
    store.setValue(QStringLiteral("FFmpegBinary"), FFmpegBinary);
    store.setValue(QStringLiteral("OutputFormat"), OutputFormat);
    store.setValue(QStringLiteral("OutputQualityArguments"), OutputQualityArguments);
    store.setValue(QStringLiteral("OutputDirectory"), OutputDirectory);
    store.setValue(QStringLiteral("OutputSamplerate"), OutputSamplerate);
    store.setValue(QStringLiteral("OutputChannelCount"), OutputChannelCount);
    store.setValue(QStringLiteral("AudioFilters"), AudioFilters);
    store.setValue(QStringLiteral("QuickConvertMode"), QuickConvertMode);
    store.setValue(QStringLiteral("CopyNonAudioFiles"), CopyNonAudioFiles);
    store.setValue(QStringLiteral("UseSoXresampler"), UseSoXresampler);
    store.setValue(QStringLiteral("Threads"), Threads);
    qDebug() << "Settings saved";
}
