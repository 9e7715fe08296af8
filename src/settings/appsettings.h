// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The process-wide settings record. Each field is named after the key it is
// stored under; the conversion code reads the fields directly.
class AppSettings
{
public:
    AppSettings() = delete;

    static void load();
    static void save();

    static QString FFmpegBinary;
    static QString OutputFormat;
    static QString OutputQualityArguments;
    static QString OutputDirectory;
    static QString OutputSamplerate;
    static int OutputChannelCount;
    static QString AudioFilters;
    static bool QuickConvertMode;
    static bool CopyNonAudioFiles;
    static bool UseSoXresampler;
    static int Threads;

    // Where the encoder is looked for when no path is stored.
    static QString defaultFFmpegBinary();
    static QString defaultOutputDirectory();
};
