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

    // Replaces the tags of `outputPath`, a finished file of the output
    // format `formatId`, with those of `inputPath`; with `withCover`, also
    // the input's front cover, else its folder's cover picture. Returns what
    // was not copied, in a few words, or an empty text; the output is left
    // as the encoder wrote it when its tags cannot be written.
    static QString copy(const QString &inputPath, const QString &outputPath, const QString &formatId,
                        bool withCover);
};
