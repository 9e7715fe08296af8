// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/outputkey.h"

#include <QHash>
#include <QString>

// The outputs of one batch's rows, each file given to one row only: a row
// whose output an earlier row writes takes "name (2).mp3", then 3, ..., so
// every row's file survives. Files that existed before are not counted.
class OutputNames
{
public:
    struct Name
    {
        QString path;
        int earlierRow = 0; // the row that writes the name asked for, if not this one
    };

    // The file row `row` writes in place of `path`; rows ask in row order.
    Name take(int row, const QString &path);

private:
    QHash<OutputKey, int> rows; // the row writing each file
};
