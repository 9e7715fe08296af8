// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appsettings.h"
#include "logging/logging.h"
#include "settings/formatcatalogue.h"
#include "settings/inivalue.h"
#include "settings/outputlocation.h"
#include "settings/settingsstore.h"

#include <QCoreApplication>
#include <QFileInfo>
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
    return OutputLocation::belowSources(QStandardPaths::writableLocation(QStandardPaths::HomeLocation)
                                        + QLatin1Char('/') + QCoreApplication::applicationName());
}

// A hand-edited value with an unquoted comma reads back as a list, whose
// plain conversion to text would be empty and which has lost the spaces
// around its commas; the file still has the value as written.
static QString text(const QSettings &store, const QString &key, const QVariant &defaultValue)
{
    const QVariant value = store.value(key, defaultValue);
    // An item starting with '@' makes the list one of variants.
    if (value.userType() != QMetaType::QStringList && value.userType() != QMetaType::QVariantList)
        return value.toString();
    const QStringList list = value.toStringList();
    return writtenIniValue(store, key, list).value_or(list.join(QLatin1Char(',')));
}

// A quality is a format's own encoder options: one left out is the format's
// default, and an unknown format takes none.
static QString defaultQuality(const QString &formatId)
{
    const FormatCatalogue::QualityPresets quality = FormatCatalogue::qualityPresets(formatId);
    return quality.defaultIndex < 0 ? QString() : quality.presets.at(quality.defaultIndex).arguments;
}

void AppSettings::load()
{
    const SettingsStore store;
    load(store);
}

void AppSettings::load(const QSettings &store)
{
    FFmpegBinary = text(store, QStringLiteral("FFmpegBinary"), defaultFFmpegBinary());
    OutputFormat =
        text(store, QStringLiteral("OutputFormat"), FormatCatalogue::formats().constFirst().value);
    OutputQualityArguments =
        text(store, QStringLiteral("OutputQualityArguments"), defaultQuality(OutputFormat));
    OutputDirectory =
        text(store, QStringLiteral("OutputDirectory"), defaultOutputDirectory());
    OutputSamplerate = text(store, QStringLiteral("OutputSamplerate"), QString());
    OutputChannelCount = store.value(QStringLiteral("OutputChannelCount"), 0).toInt();
    AudioFilters = text(store, QStringLiteral("AudioFilters"), QString());
    QuickConvertMode = store.value(QStringLiteral("QuickConvertMode"), false).toBool();
    CopyNonAudioFiles = store.value(QStringLiteral("CopyNonAudioFiles"), false).toBool();
    UseSoXresampler = store.value(QStringLiteral("UseSoXresampler"), false).toBool();
    Threads = store.value(QStringLiteral("Threads"), 0).toInt();
    qCDebug(lcSettings) << "Settings loaded";
}

void AppSettings::save()
{
    SettingsStore store;
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
    qCDebug(lcSettings) << "Settings saved";
}
