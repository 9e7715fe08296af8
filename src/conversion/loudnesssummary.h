// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/replaygain.h"

#include <QByteArray>

#include <optional>

// Reads the summary the encoder's ebur128 filter writes when it ends, one
// output line at a time, the paths the encoder was given already taken out.
// Only indented lines below the filter's own "Summary:" line count: tags the
// encoder lists are indented too, but never follow that line.
class LoudnessSummary
{
public:
    void line(const QByteArray &line);
    // The last summary's figures, when it gave both.
    std::optional<Loudness> loudness() const;

    // The filter chain that measures the loudness of what is written beside
    // `filters`, without changing it: for an output of `formatId` with
    // `channelCount` channels (0: the input's).
    static QString measuringChain(const QString &filters, const QString &formatId, int channelCount);

private:
    int filterNumber = -1; // of the summary being read
    int lastNumber = -1;
    std::optional<double> integrated;
    std::optional<double> peakDb;
    std::optional<Loudness> last;
};
