// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsstore.h"

namespace {

// Qt 6 reads and writes INI files as UTF-8 always; Qt 5 must be told, before
// the first read, since it parses a file's sections then.
void readAsUtf8([[maybe_unused]] QSettings &store)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    store.setIniCodec("UTF-8");
#endif
}

} // namespace

SettingsStore::SettingsStore()
{
    readAsUtf8(*this);
}

SettingsStore::SettingsStore(const QString &iniFile)
    : QSettings(iniFile, QSettings::IniFormat)
{
    readAsUtf8(*this);
}
