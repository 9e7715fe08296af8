// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/outputlocation.h"

#include <QString>

// Why the current settings cannot start a batch, in the user's language, or
// an empty text when they can: the encoder is checked first, then the output
// folder, which is made if missing unless only looked at.
QString batchSettingsProblem(OutputFolder folder = OutputFolder::Make);
