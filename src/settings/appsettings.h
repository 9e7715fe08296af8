// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSettings;

// The process-wide settings record. Each field is named after the key it is
// stored under, and SettingsTable gives its kind and default; the conversion
// code reads the fields directly.
class AppSettings
{
public:
    AppSettings() = delete;

    // Reads the user's own settings.
    static void load();
    // Reads another store, such as the SettingsStore of a file named on the
    // command line.
    static void load(const QSettings &store);
    static void save();

    static QString FFmpegBinary;
    static QString OutputFormat;
    static QString OutputQualityArguments;
    static QString OutputDirectory;
    static QString OutputFileName;
    static QString OutputSamplerate;
    static int OutputChannelCount;
    static QString AudioFilters;
    static bool QuickConvertMode;
    static bool CopyNonAudioFiles;
    static bool UseSoXresampler;
    static bool CoverArt;
    static bool ReplayGain;
    static bool KeepFileTimes;
    static int Threads;

    // Where the encoder is looked for when no path is stored.
    static QString defaultFFmpegBinary();
    static QString defaultOutputDirectory();
};
