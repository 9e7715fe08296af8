// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The folder the file dialogs of the window open in: the last one files or
// a folder were added from, kept across runs.
QString lastFolder();
void rememberFolder(const QString &folder);
