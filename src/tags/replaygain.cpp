// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/replaygain.h"

#include <QtMath>

#include <taglib/mp4file.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <limits>

namespace {

const char *const trackGain = "REPLAYGAIN_TRACK_GAIN";
const char *const albumGain = "REPLAYGAIN_ALBUM_GAIN";
const char *const freeformPrefix = "----:com.apple.iTunes:";
const char *const freeformKeys[] = {"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK", "REPLAYGAIN_ALBUM_GAIN",
                                    "REPLAYGAIN_ALBUM_PEAK"};

TagLib::StringList one(const QString &text)
{
    return TagLib::StringList(TagLib::String(text.toStdString(), TagLib::String::UTF8));
}

QString first(const TagLib::PropertyMap &properties, const char *key)
{
    return properties.contains(key) ? QString::fromStdString(properties[key].toString().to8Bit(true)) : QString();
}

bool isLoudnessKey(const TagLib::String &key)
{
    return key.startsWith("REPLAYGAIN_") || key.startsWith("R128_");
}

void dropLoudness(TagLib::PropertyMap &properties)
{
    TagLib::StringList keys;
    for (const auto &[key, values] : properties) {
        if (isLoudnessKey(key))
            keys.append(key);
    }
    for (const TagLib::String &key : keys)
        properties.erase(key);
}

// Opus players apply R128 gains only, and the stream's own output gain: a
// ReplayGain tag there would be applied by some players on top.
void toR128(TagLib::PropertyMap &properties)
{
    TagLib::PropertyMap r128;
    for (const auto &[from, to] : {std::pair{trackGain, "R128_TRACK_GAIN"}, {albumGain, "R128_ALBUM_GAIN"}}) {
        bool ok = false;
        const int gain = ReplayGain::r128FromReplayGain(first(properties, from), &ok);
        if (ok)
            r128.replace(to, one(QString::number(gain)));
        else if (properties.contains(to))
            r128.replace(to, properties[to]);
    }
    dropLoudness(properties);
    properties.merge(r128);
}

int clampedQ78(double db)
{
    const double scaled = std::round(db * 256);
    return int(qBound<double>(std::numeric_limits<qint16>::min(), scaled, std::numeric_limits<qint16>::max()));
}

} // namespace

Loudness Loudness::album(const QVector<Loudness> &tracks)
{
    Loudness album{-70, -std::numeric_limits<double>::infinity(), 0};
    double energy = 0;
    for (const Loudness &track : tracks) {
        energy += double(track.durationMs) * std::pow(10.0, track.integrated / 10);
        album.durationMs += track.durationMs;
        album.peakDb = std::max(album.peakDb, track.peakDb);
    }
    if (album.durationMs > 0 && energy > 0)
        album.integrated = 10 * std::log10(energy / double(album.durationMs));
    return album;
}

QString ReplayGain::gainText(double lufs)
{
    return QString::asprintf("%.2f dB", -18 - lufs);
}

QString ReplayGain::peakText(double peakDb)
{
    return QString::asprintf("%.6f", std::pow(10.0, peakDb / 20));
}

int ReplayGain::r128Gain(double lufs)
{
    return clampedQ78(-23 - lufs);
}

int ReplayGain::r128FromReplayGain(const QString &gain, bool *ok)
{
    QString number = gain.trimmed();
    if (number.endsWith(QLatin1String("dB"), Qt::CaseInsensitive))
        number.chop(2);
    const double db = number.trimmed().toDouble(ok);
    // The ReplayGain reference is 5 LU louder than R128's.
    return *ok ? clampedQ78(db - 5) : 0;
}

void ReplayGain::adapt(TagLib::PropertyMap &properties, const QString &formatId, const Source &source)
{
    const bool opus = formatId == QLatin1String("opus");
    switch (source.kind) {
    case Source::Input:
        // R128 gains are relative to an Opus stream's own output gain.
        if (opus) {
            toR128(properties);
        } else {
            properties.erase("R128_TRACK_GAIN");
            properties.erase("R128_ALBUM_GAIN");
        }
        return;
    case Source::Dropped:
        dropLoudness(properties);
        return;
    case Source::Measured:
        dropLoudness(properties);
        if (opus) {
            properties.replace("R128_TRACK_GAIN", one(QString::number(r128Gain(source.track.integrated))));
        } else {
            properties.replace(trackGain, one(gainText(source.track.integrated)));
            properties.replace("REPLAYGAIN_TRACK_PEAK", one(peakText(source.track.peakDb)));
        }
        return;
    }
}

void ReplayGain::addAlbum(TagLib::PropertyMap &properties, const QString &formatId, const Loudness &album)
{
    if (formatId == QLatin1String("opus")) {
        properties.replace("R128_ALBUM_GAIN", one(QString::number(r128Gain(album.integrated))));
        return;
    }
    properties.replace(albumGain, one(gainText(album.integrated)));
    properties.replace("REPLAYGAIN_ALBUM_PEAK", one(peakText(album.peakDb)));
}

void ReplayGain::readFreeform(TagLib::File *file, TagLib::PropertyMap &properties)
{
    auto *mp4 = dynamic_cast<TagLib::MP4::File *>(file);
    if (!mp4 || !mp4->tag())
        return;
    for (const char *key : freeformKeys) {
        const TagLib::MP4::Item item = mp4->tag()->item(TagLib::String(freeformPrefix) + key);
        if (item.isValid() && !item.toStringList().isEmpty())
            properties.replace(key, item.toStringList());
    }
}

void ReplayGain::writeFreeform(TagLib::File *file, const TagLib::PropertyMap &properties)
{
    auto *mp4 = dynamic_cast<TagLib::MP4::File *>(file);
    if (!mp4 || !mp4->tag())
        return;
    for (const char *key : freeformKeys) {
        const TagLib::String item = TagLib::String(freeformPrefix) + key;
        if (properties.contains(key))
            mp4->tag()->setItem(item, TagLib::MP4::Item(properties[key]));
        else
            mp4->tag()->removeItem(item);
    }
}
