// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/lastfolder.h"

#include "settings/settingsstore.h"

#include <QDir>
#include <QStandardPaths>

namespace {

const QString key = QStringLiteral("LastAddFolder");

} // namespace

QString lastFolder()
{
    const QString stored = SettingsStore().value(key).toString();
    if (!stored.isEmpty() && QDir(stored).exists())
        return stored;
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return QDir(music).exists() ? music : QDir::homePath();
}

void rememberFolder(const QString &folder)
{
    SettingsStore().setValue(key, folder);
}
