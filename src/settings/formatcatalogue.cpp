// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/formatcatalogue.h"

#include "settings/outputformat.h"

#include <QCoreApplication>

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
    for (const OutputFormat *format = OutputFormat::begin(); format != OutputFormat::end(); ++format)
        list.append({QString::fromUtf8(format->label), QString::fromUtf8(format->id)});
    return list;
}

FormatCatalogue::QualityPresets FormatCatalogue::qualityPresets(const QString &formatId)
{
    QualityPresets result;
    const OutputFormat *format = OutputFormat::find(formatId);
    if (!format)
        return result;
    for (int i = 0; i < format->presetCount; ++i)
        result.presets.append({QString::fromUtf8(format->presets[i].label),
                               QString::fromUtf8(format->presets[i].arguments)});
    result.defaultIndex = format->defaultPreset;
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
