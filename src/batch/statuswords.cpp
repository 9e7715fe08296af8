// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/statuswords.h"

#include <QCoreApplication>

#include <iterator>

namespace {

// Indexed by JobStatus::ConvertStatus.
constexpr const char *words[] = {
    QT_TRANSLATE_NOOP("JobStatus", "Pending"), QT_TRANSLATE_NOOP("JobStatus", "Converting"),
    QT_TRANSLATE_NOOP("JobStatus", "Failed"),  QT_TRANSLATE_NOOP("JobStatus", "Skipped"),
    QT_TRANSLATE_NOOP("JobStatus", "Done"),
};

} // namespace

// A status this table does not know is no success.
const char *statusWord(JobStatus::ConvertStatus status)
{
    return status >= 0 && status < int(std::size(words)) ? words[status] : words[JobStatus::Failed];
}

QString statusText(JobStatus::ConvertStatus status)
{
    return QCoreApplication::translate("JobStatus", statusWord(status));
}
