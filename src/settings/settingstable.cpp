// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingstable.h"
#include "settings/appsettings.h"
#include "settings/formatcatalogue.h"

#include <algorithm>
#include <type_traits>

namespace {

// A quality is a format's own encoder options: one left out is the format's
// default, and an unknown format takes none.
QString defaultQuality(const QString &formatId)
{
    const FormatCatalogue::QualityPresets quality = FormatCatalogue::qualityPresets(formatId);
    return quality.defaultIndex < 0 ? QString() : quality.presets.at(quality.defaultIndex).arguments;
}

} // namespace

QVariant SettingsTable::Setting::value() const
{
    return std::visit([](auto *target) { return QVariant(*target); }, field);
}

void SettingsTable::Setting::assign(const QVariant &value) const
{
    std::visit([&value](auto *target) { *target = value.value<std::remove_pointer_t<decltype(target)>>(); }, field);
}

std::optional<QVariant> SettingsTable::Setting::parse(const QString &text, QString *problem) const
{
    switch (kind) {
    case Kind::Text:
        return text;
    case Kind::FormatId:
        if (formatIds().contains(text))
            return text;
        *problem = QStringLiteral("Unknown format \"%1\"; one of: %2").arg(text, formatIds().join(QLatin1String(", ")));
        return std::nullopt;
    case Kind::WholeNumber: {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (ok)
            return number;
        *problem = QStringLiteral("%1 takes a whole number, not \"%2\"").arg(QLatin1String(key), text);
        return std::nullopt;
    }
    case Kind::Flag:
        if (text == QLatin1String("true") || text == QLatin1String("false"))
            return text == QLatin1String("true");
        *problem = QStringLiteral("%1 takes true or false, not \"%2\"").arg(QLatin1String(key), text);
        return std::nullopt;
    }
    return std::nullopt;
}

const QList<SettingsTable::Setting> &SettingsTable::settings()
{
    static const QList<Setting> table{
        {"FFmpegBinary", &AppSettings::FFmpegBinary, Kind::Text,
         [] { return QVariant(AppSettings::defaultFFmpegBinary()); }},
        {"OutputFormat", &AppSettings::OutputFormat, Kind::FormatId, [] { return QVariant(formatIds().constFirst()); }},
        {"OutputQualityArguments", &AppSettings::OutputQualityArguments, Kind::Text,
         [] { return QVariant(defaultQuality(AppSettings::OutputFormat)); }},
        {"OutputDirectory", &AppSettings::OutputDirectory, Kind::Text,
         [] { return QVariant(AppSettings::defaultOutputDirectory()); }},
        {"OutputFileName", &AppSettings::OutputFileName, Kind::Text, [] { return QVariant(QString()); }},
        {"OutputSamplerate", &AppSettings::OutputSamplerate, Kind::Text, [] { return QVariant(QString()); }},
        {"OutputChannelCount", &AppSettings::OutputChannelCount, Kind::WholeNumber, [] { return QVariant(0); }},
        {"AudioFilters", &AppSettings::AudioFilters, Kind::Text, [] { return QVariant(QString()); }},
        {"QuickConvertMode", &AppSettings::QuickConvertMode, Kind::Flag, [] { return QVariant(false); }},
        {"CopyNonAudioFiles", &AppSettings::CopyNonAudioFiles, Kind::Flag, [] { return QVariant(false); }},
        {"UseSoXresampler", &AppSettings::UseSoXresampler, Kind::Flag, [] { return QVariant(false); }},
        {"CoverArt", &AppSettings::CoverArt, Kind::Flag, [] { return QVariant(true); }},
        {"ReplayGain", &AppSettings::ReplayGain, Kind::Flag, [] { return QVariant(false); }},
        {"KeepFileTimes", &AppSettings::KeepFileTimes, Kind::Flag, [] { return QVariant(false); }},
        {"Threads", &AppSettings::Threads, Kind::WholeNumber, [] { return QVariant(0); }},
    };
    return table;
}

const SettingsTable::Setting *SettingsTable::find(const QString &key)
{
    for (const Setting &setting : settings()) {
        if (key == QLatin1String(setting.key))
            return &setting;
    }
    return nullptr;
}

const SettingsTable::Setting &SettingsTable::of(Field field)
{
    const QList<Setting> &table = settings();
    return *std::find_if(table.begin(), table.end(),
                         [&field](const Setting &setting) { return setting.field == field; });
}

QStringList SettingsTable::keys()
{
    QStringList keys;
    for (const Setting &setting : settings())
        keys << QLatin1String(setting.key);
    return keys;
}

QStringList SettingsTable::formatIds()
{
    QStringList ids;
    for (const FormatCatalogue::Choice &format : FormatCatalogue::formats())
        ids << format.value.toString();
    return ids;
}

void SettingsTable::apply(const QList<Assignment> &assignments)
{
    const Setting *format = &of(&AppSettings::OutputFormat);
    const Setting *quality = &of(&AppSettings::OutputQualityArguments);
    bool formatGiven = false;
    bool qualityGiven = false;
    for (const Assignment &assignment : assignments) {
        assignment.setting->assign(assignment.value);
        formatGiven = formatGiven || assignment.setting == format;
        qualityGiven = qualityGiven || assignment.setting == quality;
    }
    if (formatGiven && !qualityGiven)
        quality->assign(quality->defaultValue());
}

QString SettingsTable::recordProblem()
{
    QString problem;
    for (const Setting &setting : settings()) {
        if (!setting.parse(setting.value().toString(), &problem))
            return problem;
    }
    return QString();
}
