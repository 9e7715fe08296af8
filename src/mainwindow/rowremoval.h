// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

class QStandardItemModel;

// Removes the given rows (in any order, repeats allowed) from `model`. Each
// removal shifts every row below it, so for many rows scattered over a long
// table the rows to keep are taken out, the rest is cut off in one step and
// they are put back.
void removeModelRows(QStandardItemModel &model, QList<int> rows);
