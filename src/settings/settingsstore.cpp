// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsstore.h"

// Qt parses a file's sections at the first read, so the codec is set before.
SettingsStore::SettingsStore()
{
    setIniCodec("UTF-8");
}

SettingsStore::SettingsStore(const QString &iniFile)
    : QSettings(iniFile, QSettings::IniFormat)
{
    setIniCodec("UTF-8");
}
