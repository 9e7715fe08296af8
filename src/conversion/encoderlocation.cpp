// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/encoderlocation.h"

#include <QFileInfo>
#include <QStandardPaths>

QString encoderProgram(const QString &setting)
{
    if (setting.isEmpty() || setting.contains(QLatin1Char('/')))
        return setting;
    return QStandardPaths::findExecutable(setting);
}

bool isValidFFmpegBinary(const QString &setting)
{
    const QString program = encoderProgram(setting);
    if (program.isEmpty())
        return false;
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable();
}
