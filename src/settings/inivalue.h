// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QSettings;

// A hand-written INI value with an unquoted comma is read by QSettings as a
// list, trimmed around every comma. This reads the same value from the store's
// file as one text: trimmed as a whole, escapes undone, commas and the spaces
// around them kept. The file is read as UTF-8, as SettingsStore reads it.
// Nothing when `key` is not a top-level key of an INI file, its value there
// no longer reads as `asList`, or it has quotes.
std::optional<QString> writtenIniValue(const QSettings &store, const QString &key,
                                       const QStringList &asList);
