// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/appsettings.h"

#include <QVariantMap>

// The eleven fields of AppSettings by their keys, with their own types.
inline QVariantMap settingsRecord()
{
    return {
        {"FFmpegBinary", AppSettings::FFmpegBinary},
        {"OutputFormat", AppSettings::OutputFormat},
        {"OutputQualityArguments", AppSettings::OutputQualityArguments},
        {"OutputDirectory", AppSettings::OutputDirectory},
        {"OutputSamplerate", AppSettings::OutputSamplerate},
        {"OutputChannelCount", AppSettings::OutputChannelCount},
        {"AudioFilters", AppSettings::AudioFilters},
        {"QuickConvertMode", AppSettings::QuickConvertMode},
        {"CopyNonAudioFiles", AppSettings::CopyNonAudioFiles},
        {"UseSoXresampler", AppSettings::UseSoXresampler},
        {"Threads", AppSettings::Threads},
    };
}
