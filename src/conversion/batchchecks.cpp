// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/batchchecks.h"

#include "conversion/encoderlocation.h"
#include "settings/appsettings.h"
#include "settings/outputlocation.h"

#include <QCoreApplication>

QString batchSettingsProblem(OutputFolder folder)
{
    // The window shows these texts, so they are translated in its context.
    if (!isValidFFmpegBinary(AppSettings::FFmpegBinary))
        return QCoreApplication::translate("MainWindow",
                                           "FFmpeg binary is invalid. Please check your settings.");
    if (!isValidOutputDirectory(AppSettings::OutputDirectory, folder))
        return QCoreApplication::translate("MainWindow",
                                           "Your output directory is bad. Maybe it is not writable?");
    return QString();
}
