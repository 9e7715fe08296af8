// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Why a job skips, copies or refuses its row, in the words its report and a
// dry run's plan share.
namespace JobReasons {

QString notMedia();
QString alreadyCopied();
QString outputExistsQuick();
QString ontoOwnInput();
QString ontoOtherInput();
QString sameInputAs(int row);

} // namespace JobReasons
