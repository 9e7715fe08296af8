// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What an output's name and the batch's time left are made of: an input's
// tags and length, read once per file.
struct TrackTags
{
    QString title;
    QString artist;
    QString albumArtist;
    QString album;
    QString genre;
    QString composer;
    int track = 0;
    int disc = 0;
    int year = 0;
    qint64 durationMs = -1; // -1: unknown

    // Empty, with an unknown length, for a file TagLib cannot read.
    static TrackTags read(const QString &path);
};
