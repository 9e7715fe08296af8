// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>

// Settings in an INI file, read and written as UTF-8 as hand-written files
// are; what Qt 5 wrote without a codec is escaped ASCII and reads the same.
// Every store of one file must read it alike: Qt shares what it parsed of a
// file among the stores of that file.
class SettingsStore : public QSettings
{
public:
    // The user's own settings.
    SettingsStore();
    explicit SettingsStore(const QString &iniFile);
};
