// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/outputformat.h"

#include <iterator>

namespace {

constexpr OutputFormat::Preset mp3Presets[] = {
    {"VBR, 0, ~245 kbps", "-q:a 0"},
    {"VBR, 1, ~225 kbps", "-q:a 1"},
    {"VBR, 2, ~190 kbps", "-q:a 2"},
    {"VBR, 3, ~175 kbps", "-q:a 3"},
    {"VBR, 4, ~165 kbps", "-q:a 4"},
    {"VBR, 5, ~130 kbps", "-q:a 5"},
    {"VBR, 6, ~115 kbps", "-q:a 6"},
    {"VBR, 7, ~100 kbps", "-q:a 7"},
    {"CBR, 320 kbps", "-b:a 320k"},
    {"CBR, 256 kbps", "-b:a 256k"},
    {"CBR, 224 kbps", "-b:a 224k"},
    {"CBR, 192 kbps", "-b:a 192k"},
    {"CBR, 160 kbps", "-b:a 160k"},
    {"CBR, 128 kbps", "-b:a 128k"},
    {"CBR, 96 kbps", "-b:a 96k"},
    {"CBR, 64 kbps", "-b:a 64k"},
    {"CBR, 32 kbps", "-b:a 32k"},
};

constexpr OutputFormat::Preset m4aPresets[] = {
    {"CBR, 320 kbps", "-b:a 320k"},
    {"CBR, 256 kbps", "-b:a 256k"},
    {"CBR, 224 kbps", "-b:a 224k"},
    {"CBR, 192 kbps", "-b:a 192k"},
    {"CBR, 160 kbps", "-b:a 160k"},
    {"CBR, 128 kbps", "-b:a 128k"},
    {"CBR, 96 kbps", "-b:a 96k"},
    {"CBR, 64 kbps", "-b:a 64k"},
    {"CBR, 32 kbps", "-b:a 32k"},
};

constexpr OutputFormat::Preset oggPresets[] = {
    {"VBR, 9, ~320 kbps", "-q:a 9"},
    {"VBR, 8, ~256 kbps", "-q:a 8"},
    {"VBR, 7, ~224 kbps", "-q:a 7"},
    {"VBR, 6, ~192 kbps", "-q:a 6"},
    {"VBR, 5, ~160 kbps", "-q:a 5"},
    {"VBR, 4, ~128 kbps", "-q:a 4"},
    {"VBR, 3, ~112 kbps", "-q:a 3"},
    {"VBR, 2, ~96 kbps", "-q:a 2"},
    {"VBR, 1, ~80 kbps", "-q:a 1"},
    {"VBR, 0, ~64 kbps", "-q:a 0"},
    {"CBR, 320 kbps", "-b:a 320k"},
    {"CBR, 256 kbps", "-b:a 256k"},
    {"CBR, 224 kbps", "-b:a 224k"},
    {"CBR, 192 kbps", "-b:a 192k"},
    {"CBR, 160 kbps", "-b:a 160k"},
    {"CBR, 128 kbps", "-b:a 128k"},
    {"CBR, 96 kbps", "-b:a 96k"},
    {"CBR, 64 kbps", "-b:a 64k"},
    {"CBR, 48 kbps", "-b:a 48k"},
    {"CBR, 32 kbps", "-b:a 32k"},
};

constexpr OutputFormat::Preset opusPresets[] = {
    {"ABR, 256 kbps", "-b:a 256k"},
    {"ABR, 224 kbps", "-b:a 224k"},
    {"ABR, 192 kbps", "-b:a 192k"},
    {"ABR, 160 kbps", "-b:a 160k"},
    {"ABR, 128 kbps", "-b:a 128k"},
    {"ABR, 112 kbps", "-b:a 112k"},
    {"ABR, 96 kbps", "-b:a 96k"},
    {"ABR, 80 kbps", "-b:a 80k"},
    {"ABR, 64 kbps", "-b:a 64k"},
    {"ABR, 48 kbps", "-b:a 48k"},
    {"ABR, 32 kbps", "-b:a 32k"},
};

// "auto" leaves the sample format to the encoder.
constexpr OutputFormat::Preset flacPresets[] = {
    {"auto", ""},
    {"16 bit", "-sample_fmt s16"},
};

// The command line names no codec for wav, so each preset carries its own.
constexpr OutputFormat::Preset wavPresets[] = {
    {"32 bit", "-c:a pcm_s32le"},
    {"24 bit", "-c:a pcm_s24le"},
    {"16 bit", "-c:a pcm_s16le"},
};

template <int N>
constexpr OutputFormat format(const char *label, const char *id, const char *codec, bool takesSampleRate,
                              OutputFormat::Metadata metadata, OutputFormat::TagFile tagFile, bool totalInNumber,
                              const OutputFormat::Preset (&presets)[N], int defaultPreset)
{
    return {label, id, codec, takesSampleRate, metadata, tagFile, totalInNumber, presets, N, defaultPreset};
}

// Opus takes no sample rate option: its encoder picks among its own rates.
constexpr OutputFormat formats[] = {
    format("MP3 (.mp3)", "mp3", "libmp3lame", true, OutputFormat::StreamAndId3Metadata, OutputFormat::MpegFile, true,
           mp3Presets, 2),
    format("AAC (.m4a)", "m4a", "aac", true, OutputFormat::StreamMetadata, OutputFormat::Mp4File, true, m4aPresets, 4),
    format("Ogg Vorbis (.ogg)", "ogg", "libvorbis", true, OutputFormat::StreamMetadata, OutputFormat::VorbisFile,
           false, oggPresets, 4),
    format("Opus (.opus)", "opus", "libopus", false, OutputFormat::StreamMetadata, OutputFormat::OpusFile, false,
           opusPresets, 4),
    format("FLAC (.flac)", "flac", "flac", true, OutputFormat::StreamMetadata, OutputFormat::FlacFile, false,
           flacPresets, 0),
    format("WAV (.wav)", "wav", nullptr, true, OutputFormat::NoMetadata, OutputFormat::WavFile, true, wavPresets, 2),
};

} // namespace

const OutputFormat *OutputFormat::find(const QString &id)
{
    for (const OutputFormat &format : formats) {
        if (id == QLatin1String(format.id))
            return &format;
    }
    return nullptr;
}

const OutputFormat *OutputFormat::begin()
{
    return std::begin(formats);
}

const OutputFormat *OutputFormat::end()
{
    return std::end(formats);
}
