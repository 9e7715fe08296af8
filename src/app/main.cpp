// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/processsignals.h"
#include "app/translations.h"
#include "conversion/ffmpegtask.h"
#include "mainwindow/mainwindow.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDebug>
#include <QIcon>

int main(int argc, char *argv[])
{
    resetInheritedSignals();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvandel"));
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMERE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLMERE_APP_ID));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("path"),
                                 QStringLiteral("Open with files or directories added"),
                                 QString());
    QCommandLineOption noTranslations(QStringLiteral("no-translations"),
                                      QStringLiteral("Do not load translations"));
    parser.addOption(noTranslations);
    parser.process(app);

    qDebug().noquote() << "Starting"
                       << QApplication::applicationName() + QStringLiteral(" v")
                              + QApplication::applicationVersion();

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/" QUILLMERE_APP_ID ".ico")));

    qRegisterMetaType<FFmpegTask::ConvertStatus>("FFmpegTask::ConvertStatus");
    AppSettings::load();
    if (!parser.isSet(noTranslations))
        loadTranslations();

    MainWindow window;
    window.show();
    closeOnTerminationSignals();

    const QStringList paths = parser.positionalArguments();
    if (!paths.isEmpty())
        window.addPaths(paths);

    return app.exec();
}
