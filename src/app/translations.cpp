// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/translations.h"

#include <QCoreApplication>
#include <QDebug>
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
    qDebug() << "Loading translations for" << name;

    // Looked up by file name, not by QLocale: the catalogue then follows the
    // locale named in the log line, not the desktop's list of UI languages.
    if (qtTranslator.load(QStringLiteral("qt_") + name, qtCataloguesFolder())) {
        QCoreApplication::installTranslator(&qtTranslator);
        qDebug() << "Qt translation loaded";
    } else {
        qDebug() << "Qt translation not found";
    }

    // Installed last, so it wins where both catalogues hold a text.
    if (appTranslator.load(name, QStringLiteral(":/i18n/"))) {
        QCoreApplication::installTranslator(&appTranslator);
        qDebug() << "App translation loaded";
    } else {
        qDebug() << "App translation not found";
    }
}
