// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/ffmpegtask.h"

#include <QString>

// A job's status in one word. Scripts match the untranslated words, so the
// command line writes them as they are; the window shows them translated.
const char *statusWord(FFmpegTask::ConvertStatus status);
QString statusText(FFmpegTask::ConvertStatus status);
