// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Gives `target` the modification time of `source`, to the nanosecond, for
// players and sync tools that sort or compare by it. False where either
// file cannot be reached.
bool copyModificationTime(const QString &source, const QString &target);
