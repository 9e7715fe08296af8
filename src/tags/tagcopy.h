// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/replaygain.h"

#include <QCoreApplication>
#include <QString>

// Gives a converted file the tags and the front cover of its input, in the
// output format's own frames and atoms; the encoder carries neither whole.
class TagCopy
{
    Q_DECLARE_TR_FUNCTIONS(TagCopy)

public:
    TagCopy() = delete;

    struct Result
    {
        // What was not copied, in a few words; empty when all was.
        QString notCopied;
        // The tags were being written when writing failed: the file may be
        // damaged and must not be used.
        bool outputSpoilt = false;
        // The input's album, which rows of one folder share.
        QString album{};
    };

    // Replaces the tags of `outputPath`, a finished file of the output
    // format `formatId`, with those of `inputPath`; with `withCover`, also
    // the input's front cover, else its folder's cover picture; the loudness
    // tags from `loudness`. The output is left as the encoder wrote it when
    // its tags cannot be opened or the input's cannot be read, and keeps the
    // encoder's tags, less the container's own keys, of an input in which
    // TagLib finds none.
    static Result copy(const QString &inputPath, const QString &outputPath, const QString &formatId,
                       bool withCover, const ReplayGain::Source &loudness = {});

    // Adds an album's gain and peak to `path`, a file of the format
    // `formatId` with its other tags in place; false when it could not.
    static bool addAlbumGain(const QString &path, const QString &formatId, const Loudness &album);
};
