// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/jobreport.h"

#include <QString>

// A job's status in one word. Scripts match the untranslated words, so the
// command line writes them as they are; the window shows them translated.
const char *statusWord(JobStatus::ConvertStatus status);
QString statusText(JobStatus::ConvertStatus status);
