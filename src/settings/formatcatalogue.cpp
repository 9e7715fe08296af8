// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/formatcatalogue.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

namespace {

// Labels of the dialog's lists are translated in the dialog's context, except
// format, quality and rate labels, which read the same in every language.
constexpr char context[] = "SettingsDialog";

struct Label
{
    const char *text;
    bool translated;
};

QString display(const Label &label)
{
    return label.translated ? QCoreApplication::translate(context, label.text)
                            : QString::fromUtf8(label.text);
}

constexpr Label keep{QT_TRANSLATE_NOOP("SettingsDialog", "Keep"), true};

struct PresetRow
{
    const char *label;
    const char *arguments;
};

struct FormatRow
{
    const char *label;
    const char *id;
    const PresetRow *presets;
    int presetCount;
    int defaultIndex;
};

template <int N>
constexpr FormatRow format(const char *label, const char *id, const PresetRow (&presets)[N],
                           int defaultIndex)
{
    return {label, id, presets, N, defaultIndex};
}

constexpr PresetRow mp3Presets[] = {
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

constexpr PresetRow m4aPresets[] = {
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

constexpr PresetRow oggPresets[] = {
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

constexpr PresetRow opusPresets[] = {
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
constexpr PresetRow flacPresets[] = {
    {"auto", ""},
    {"16 bit", "-sample_fmt s16"},
};

// The command line names no codec for wav, so each preset carries its own.
constexpr PresetRow wavPresets[] = {
    {"32 bit", "-c:a pcm_s32le"},
    {"24 bit", "-c:a pcm_s24le"},
    {"16 bit", "-c:a pcm_s16le"},
};

// The first format and its default preset are the settings' defaults.
constexpr FormatRow formatRows[] = {
    format("MP3 (.mp3)", "mp3", mp3Presets, 2),
    format("AAC (.m4a)", "m4a", m4aPresets, 4),
    format("Ogg Vorbis (.ogg)", "ogg", oggPresets, 4),
    format("Opus (.opus)", "opus", opusPresets, 4),
    format("FLAC (.flac)", "flac", flacPresets, 0),
    format("WAV (.wav)", "wav", wavPresets, 2),
};

struct TextRow
{
    Label label;
    const char *value;
};

// An empty rate keeps the source's rate.
constexpr TextRow samplerateRows[] = {
    {keep, ""},
    {{"44100 Hz", false}, "44100"},
    {{"48000 Hz", false}, "48000"},
    {{"96000 Hz", false}, "96000"},
};

struct CountRow
{
    Label label;
    int value;
};

// 0 keeps the source's channels.
constexpr CountRow channelCountRows[] = {
    {keep, 0},
    {{QT_TRANSLATE_NOOP("SettingsDialog", "1 (Mono)"), true}, 1},
    {{QT_TRANSLATE_NOOP("SettingsDialog", "2 (Stereo)"), true}, 2},
};

constexpr TextRow filterPresetRows[] = {
    {{QT_TRANSLATE_NOOP("SettingsDialog", "Disabled"), true}, ""},
    {{QT_TRANSLATE_NOOP("SettingsDialog", "Increase volume"), true}, "volume=10dB"},
    {{QT_TRANSLATE_NOOP("SettingsDialog", "Reduce volume"), true}, "volume=-5dB"},
    // Fading the reversed audio in fades the end out.
    {{QT_TRANSLATE_NOOP("SettingsDialog", "Fade-in and fade-out"), true},
     "afade=duration=5\nareverse\nafade=duration=5\nareverse"},
    {{QT_TRANSLATE_NOOP("SettingsDialog", "Bass boost"), true}, "volume=-10dB\nbass=gain=10"},
    {{QT_TRANSLATE_NOOP("SettingsDialog", "Speed up"), true}, "atempo=1.5"},
};

QVariant value(const char *text)
{
    return QString::fromUtf8(text);
}

QVariant value(int count)
{
    return count;
}

template <typename Row, int N>
QList<FormatCatalogue::Choice> choices(const Row (&rows)[N])
{
    QList<FormatCatalogue::Choice> list;
    for (const Row &row : rows)
        list.append({display(row.label), value(row.value)});
    return list;
}

} // namespace

QList<FormatCatalogue::Choice> FormatCatalogue::formats()
{
    QList<Choice> list;
    for (const FormatRow &row : formatRows)
        list.append({QString::fromUtf8(row.label), QString::fromUtf8(row.id)});
    return list;
}

FormatCatalogue::QualityPresets FormatCatalogue::qualityPresets(const QString &formatId)
{
    QualityPresets result;
    const auto row = std::find_if(std::begin(formatRows), std::end(formatRows),
                                  [&](const FormatRow &r) { return formatId == QLatin1String(r.id); });
    if (row == std::end(formatRows))
        return result;
    for (int i = 0; i < row->presetCount; ++i)
        result.presets.append({QString::fromUtf8(row->presets[i].label),
                               QString::fromUtf8(row->presets[i].arguments)});
    result.defaultIndex = row->defaultIndex;
    return result;
}

QList<FormatCatalogue::Choice> FormatCatalogue::samplerates()
{
    return choices(samplerateRows);
}

QList<FormatCatalogue::Choice> FormatCatalogue::channelCounts()
{
    return choices(channelCountRows);
}

QList<FormatCatalogue::Choice> FormatCatalogue::filterPresets()
{
    return choices(filterPresetRows);
}
