// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingstable.h"

#include <QVariantMap>

// The fields of AppSettings by their keys, with their own types.
inline QVariantMap settingsRecord()
{
    QVariantMap record;
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        record.insert(setting.key, setting.value());
    return record;
}

// Puts back the fields that settingsRecord() took.
inline void restoreSettingsRecord(const QVariantMap &record)
{
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        setting.assign(record.value(setting.key));
}
