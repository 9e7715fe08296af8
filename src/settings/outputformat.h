// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The output formats: what the settings dialog offers and what the encoder's
// command line is built from. A format's id is its output file suffix.
struct OutputFormat
{
    enum Metadata { NoMetadata, StreamMetadata, StreamAndId3Metadata };
    // The TagLib class that reads and writes the format's tags.
    enum TagFile { MpegFile, Mp4File, VorbisFile, OpusFile, FlacFile, WavFile };

    struct Preset
    {
        const char *label;
        const char *arguments; // encoder options separated by single spaces; may be empty
    };

    const char *label;
    const char *id;
    const char *codec; // nullptr: the codec comes with the quality arguments
    bool takesSampleRate;
    Metadata metadata;
    TagFile tagFile;
    // ID3 and MP4 keep a number and its total in one field ("3/12"),
    // Vorbis comments in two.
    bool totalInNumber;
    const Preset *presets;
    int presetCount;
    int defaultPreset;

    // Looked up by the exact, case-sensitive id; nullptr for an unknown one.
    static const OutputFormat *find(const QString &id);

    // In the order the dialog lists them. The first one and its default
    // preset are the settings' defaults.
    static const OutputFormat *begin();
    static const OutputFormat *end();
};
