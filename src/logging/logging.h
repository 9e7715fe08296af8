// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// The debug log's categories, one a part of the program, so that a user can
// choose among them with QT_LOGGING_RULES (for example
// "quillmere.engine.debug=false").
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcStartup)
Q_DECLARE_LOGGING_CATEGORY(lcWindow)

// From here on the log writes the lines of these categories as it writes
// uncategorised ones, without the category's name in front; Qt's own lines
// keep theirs.
void writeOwnLinesBare();
