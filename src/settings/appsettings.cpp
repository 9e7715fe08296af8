// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appsettings.h"
#include "logging/logging.h"
#include "settings/inivalue.h"
#include "settings/outputlocation.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

QString AppSettings::FFmpegBinary;
QString AppSettings::OutputFormat;
QString AppSettings::OutputQualityArguments;
QString AppSettings::OutputDirectory;
QString AppSettings::OutputFileName;
QString AppSettings::OutputSamplerate;
int AppSettings::OutputChannelCount = 0;
QString AppSettings::AudioFilters;
bool AppSettings::QuickConvertMode = false;
bool AppSettings::CopyNonAudioFiles = false;
bool AppSettings::UseSoXresampler = false;
bool AppSettings::CoverArt = true;
bool AppSettings::ReplayGain = false;
bool AppSettings::KeepFileTimes = false;
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

void AppSettings::load()
{
    const SettingsStore store;
    load(store);
}

void AppSettings::load(const QSettings &store)
{
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        const QString key = QLatin1String(setting.key);
        const QVariant defaultValue = setting.defaultValue();
        setting.assign(std::holds_alternative<QString *>(setting.field) ? QVariant(text(store, key, defaultValue))
                                                                        : store.value(key, defaultValue));
    }
    qCDebug(lcSettings) << "Settings loaded";
}

void AppSettings::save()
{
    SettingsStore store;
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        store.setValue(QLatin1String(setting.key), setting.value());
    qCDebug(lcSettings) << "Settings saved";
}
