// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/rowremoval.h"

#include <QStandardItemModel>
#include <QVector>

#include <algorithm>

namespace {

// Up to this many separate ranges are removed one by one.
constexpr int fewRanges = 16;

struct Range
{
    int first;
    int count;
};

} // namespace

void removeModelRows(QStandardItemModel &model, QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](int row) { return row < 0 || row >= model.rowCount(); }),
               rows.end());
    if (rows.isEmpty())
        return;

    QList<Range> ranges;
    for (const int row : qAsConst(rows)) {
        if (!ranges.isEmpty() && ranges.last().first + ranges.last().count == row)
            ++ranges.last().count;
        else
            ranges.append({row, 1});
    }
    if (ranges.size() <= fewRanges) {
        for (auto range = ranges.crbegin(); range != ranges.crend(); ++range)
            model.removeRows(range->first, range->count);
        return;
    }

    // Not moved up with setItem: each call has the views lay out every row
    // again and Qt search the table for the item it replaces. The kept rows
    // are taken out, everything from the first removed row is cut in one
    // step, and they are appended again.
    const int columns = model.columnCount();
    QVector<QList<QStandardItem *>> kept;
    kept.reserve(model.rowCount() - rows.first() - rows.size());
    auto removed = rows.cbegin();
    for (int row = rows.first(); row < model.rowCount(); ++row) {
        if (removed != rows.cend() && *removed == row) {
            ++removed;
            continue;
        }
        QList<QStandardItem *> items;
        for (int column = 0; column < columns; ++column)
            items << model.takeItem(row, column);
        kept << items;
    }
    model.removeRows(rows.first(), model.rowCount() - rows.first());
    for (const QList<QStandardItem *> &items : qAsConst(kept))
        model.appendRow(items);
}
