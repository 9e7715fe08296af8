// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/translations.h"

#include "logging/logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
QTranslator qtTranslator;
QTranslator appTranslator;
}

QString qtCataloguesFolder()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

void loadTranslations()
{
    const QString name = QLocale::system().name();
    qCDebug(lcStartup) << "Loading translations for" << name;

    // Looked up by file name, not by QLocale: the catalogue then follows the
    // locale named in the log line, not the desktop's list of UI languages.
    if (qtTranslator.load(QStringLiteral("qt_") + name, qtCataloguesFolder())) {
        QCoreApplication::installTranslator(&qtTranslator);
        qCDebug(lcStartup) << "Qt translation loaded";
    } else {
        qCDebug(lcStartup) << "Qt translation not found";
    }

    // Installed last, so it wins where both catalogues hold a text.
    if (appTranslator.load(name, QStringLiteral(":/i18n/"))) {
        QCoreApplication::installTranslator(&appTranslator);
        qCDebug(lcStartup) << "App translation loaded";
    } else {
        qCDebug(lcStartup) << "App translation not found";
    }
}
