// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/jobreport.h"

#include <QHash>
#include <QMap>
#include <QPair>
#include <QString>
#include <QVector>

#include <atomic>

// The albums of a batch: the rows of one input folder that share an album
// tag and were measured. Once the batch is done, each album's outputs get its
// gain and peak, each through a hidden copy renamed over it, so an output
// is never left half tagged.
class AlbumGain
{
public:
    void add(const JobReport &report);
    bool isEmpty() const { return albums.isEmpty(); }

    // Gives each album's outputs its gain and peak, until `stop` is set. An
    // output that could not be retagged keeps its track gain alone, and is logged.
    void retag(const std::atomic<bool> *stop) const;

private:
    struct Track
    {
        QString outputPath;
        Loudness loudness;
    };
    QMap<QPair<QString, QString>, QVector<Track>> albums; // by folder and album
    // Measured rows of a batch may write one output in turn: the last one's
    // audio is there, of whichever album.
    QHash<QString, int> writers;
};
