// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Why the current settings cannot start a batch, in the user's language, or
// an empty text when they can: the encoder is checked first, then the output
// folder.
QString batchSettingsProblem();
