// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVector>

namespace TagLib {
class File;
class PropertyMap;
}

// A file's loudness as the encoder's ebur128 filter measured it.
struct Loudness
{
    double integrated = 0; // LUFS
    double peakDb = 0;     // sample peak, dBFS
    qint64 durationMs = 0; // what an album weighs it by

    // Measured over audio that was not silence: ebur128 says -70 LUFS for none.
    bool valid() const { return integrated > -70; }
    // The tracks of one album as one: their energy weighted by duration, the loudest peak.
    static Loudness album(const QVector<Loudness> &tracks);
};

// ReplayGain 2.0 tags (reference -18 LUFS), and the R128 gains that Opus
// players read instead (Q7.8 relative to -23 LUFS), in each format's own way.
namespace ReplayGain {

// What the output's loudness tags come from.
struct Source
{
    enum Kind {
        Input,     // the input's own, kept as they are
        Dropped,   // none: the audio was changed on the way
        Measured,  // `track`
    };
    Kind kind = Input;
    Loudness track{};
};

QString gainText(double lufs);
QString peakText(double peakDb);
// The R128 gain for a loudness, or for a ReplayGain gain text.
int r128Gain(double lufs);
int r128FromReplayGain(const QString &gain, bool *ok);

// Makes the input's `properties` hold the loudness tags an output of
// `formatId` takes from `source`.
void adapt(TagLib::PropertyMap &properties, const QString &formatId, const Source &source);
// Adds the album's gain and peak to `properties`.
void addAlbum(TagLib::PropertyMap &properties, const QString &formatId, const Loudness &album);
// Loudness tags the property map of an MP4 file leaves out: its freeform
// items. Read from an input, written to an output.
void readFreeform(TagLib::File *file, TagLib::PropertyMap &properties);
void writeFreeform(TagLib::File *file, const TagLib::PropertyMap &properties);

} // namespace ReplayGain
