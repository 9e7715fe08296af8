// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where Qt's own catalogues (qt_de.qm) are installed.
QString qtCataloguesFolder();

// Installs Qt's catalogue and the application's catalogue for the system
// locale, where they exist. Call once, before the first widget is built:
// windows take their texts when they are constructed.
void loadTranslations();
