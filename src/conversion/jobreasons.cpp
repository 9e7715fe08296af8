// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/jobreasons.h"

#include <QCoreApplication>

// In the job's own context, where the catalogues have them.
QString JobReasons::notMedia()
{
    return QCoreApplication::translate("FFmpegTask", "Not an audio or video file");
}

QString JobReasons::alreadyCopied()
{
    return QCoreApplication::translate(
        "FFmpegTask", "Not an audio or video file; a file of that name is already in the output folder");
}

QString JobReasons::outputExistsQuick()
{
    return QCoreApplication::translate("FFmpegTask", "The output already exists (quick mode)");
}

QString JobReasons::ontoOwnInput()
{
    return QCoreApplication::translate("FFmpegTask", "The output would replace the input");
}

QString JobReasons::ontoOtherInput()
{
    return QCoreApplication::translate("FFmpegTask", "The output would replace another input of the batch");
}

QString JobReasons::sameInputAs(int row)
{
    return QCoreApplication::translate("FFmpegTask", "The same file as row %1, which converts it").arg(row);
}
