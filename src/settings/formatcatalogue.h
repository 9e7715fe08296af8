// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// Every choice the settings dialog offers in a list. A label is what the user
// sees; a value is what the dialog stores in AppSettings and what the encoder
// command line understands.
class FormatCatalogue
{
public:
    FormatCatalogue() = delete;

    // The value is text, except for channel counts, which are int.
    struct Choice
    {
        QString label;
        QVariant value;
    };

    struct QualityPreset
    {
        QString label;
        QString arguments; // encoder options separated by single spaces; may be empty
    };

    struct QualityPresets
    {
        QList<QualityPreset> presets;
        int defaultIndex = -1; // -1: no preset, for an unknown format
    };

    // Format ids are the output file suffixes.
    static QList<Choice> formats();
    // Looked up by the exact, case-sensitive format id.
    static QualityPresets qualityPresets(const QString &formatId);
    static QList<Choice> samplerates();
    static QList<Choice> channelCounts();
    // Filter texts hold one filter per line.
    static QList<Choice> filterPresets();
};
