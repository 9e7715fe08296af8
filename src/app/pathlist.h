// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QIODevice;

// The paths a list names, one a line or, with `nulSeparated`, each ending in
// a NUL byte (as `find -print0` writes them). Empty entries are left out;
// names are decoded as the system's file names are.
QStringList readPathList(QIODevice &device, bool nulSeparated);
