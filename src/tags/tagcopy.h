// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
    };

    // Replaces the tags of `outputPath`, a finished file of the output
    // format `formatId`, with those of `inputPath`; with `withCover`, also
    // the input's front cover, else its folder's cover picture. The output
    // is left as the encoder wrote it when its tags cannot be opened or the
    // input's cannot be read, and keeps the encoder's tags, less the
    // container's own keys, of an input in which TagLib finds none.
    static Result copy(const QString &inputPath, const QString &outputPath, const QString &formatId,
                       bool withCover);
};
