// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/jobreport.h"

#include <QCoreApplication>

QString JobReport::decodeNote() const
{
    if (decodeError.isEmpty())
        return QString();
    return QCoreApplication::translate("FFmpegTask", "decoded with errors: %1").arg(decodeError);
}

QString JobReport::explanation() const
{
    const QString note = decodeNote();
    if (note.isEmpty() || reason.isEmpty())
        return reason + note;
    return reason + QStringLiteral("; ") + note;
}
