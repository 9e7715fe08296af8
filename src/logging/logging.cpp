// SPDX-License-Identifier: GPL-3.0-or-later
#include "logging/logging.h"

Q_LOGGING_CATEGORY(lcEngine, "quillmere.engine")
Q_LOGGING_CATEGORY(lcSettings, "quillmere.settings")
Q_LOGGING_CATEGORY(lcStartup, "quillmere.startup")
Q_LOGGING_CATEGORY(lcWindow, "quillmere.window")

namespace {

QtMessageHandler qtHandler = nullptr;

void withoutOwnCategory(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (qstrncmp(context.category, "quillmere.", 10) != 0)
        return qtHandler(type, context, message);
    const QMessageLogContext bare(context.file, context.line, context.function, "default");
    qtHandler(type, bare, message);
}

} // namespace

void writeOwnLinesBare()
{
    qtHandler = qInstallMessageHandler(withoutOwnCategory);
}
