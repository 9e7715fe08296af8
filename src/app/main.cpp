// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"
#include "app/headlessbatch.h"
#include "app/pathlist.h"
#include "app/processsignals.h"
#include "app/translations.h"
#include "conversion/jobreport.h"
#include "logging/logging.h"
#include "mainwindow/mainwindow.h"
#include "settings/appsettings.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

void setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvandel"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLMERE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLMERE_APP_ID));
}

bool readSettingsFile(const QString &file)
{
    const QFileInfo info(file);
    const SettingsStore store(file);
    if (!info.isFile() || !info.isReadable() || store.status() != QSettings::NoError) {
        CommandLine::printError(QStringLiteral("Cannot read the settings file %1").arg(file));
        return false;
    }
    AppSettings::load(store);
    return true;
}

// A value the encoder cannot use, such as an unknown format, would fail
// every job one by one; the batch does not start.
bool loadSettings(const CommandLine &commandLine)
{
    if (!commandLine.settingsGiven())
        AppSettings::load();
    else if (!readSettingsFile(commandLine.settingsFile()))
        return false;
    SettingsTable::apply(commandLine.settingValues());
    const QString problem = SettingsTable::recordProblem();
    if (!problem.isEmpty())
        CommandLine::printError(problem);
    return problem.isEmpty();
}

int convertWithoutWindow(const CommandLine &commandLine)
{
    // Without --verbose a batch's standard error holds only what concerns its user.
    if (!commandLine.verbose())
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    // A reader of the results that goes away is seen as a failed write, and
    // the batch then ends the clean way.
    ::signal(SIGPIPE, SIG_IGN);
    if (!loadSettings(commandLine))
        return HeadlessBatch::CouldNotStart;
    if (commandLine.loadsTranslations())
        loadTranslations();
    PathListReader lists(commandLine.nulSeparated());
    QString unreadable;
    if (!lists.open(commandLine.filesFrom(), &unreadable)) {
        CommandLine::printError(QStringLiteral("Cannot read the list %1").arg(unreadable));
        return HeadlessBatch::CouldNotStart;
    }

    // The debug log would scroll a progress line away.
    HeadlessBatch batch(commandLine.nulSeparated(), isatty(STDERR_FILENO) && !commandLine.verbose(),
                        commandLine.dryRun());
    QObject::connect(&batch, &HeadlessBatch::finished, QCoreApplication::instance(), &QCoreApplication::exit,
                     Qt::QueuedConnection);
    // Before the first encoder starts; a signal that comes sooner is handled
    // once the event loop runs.
    onTerminationSignals([&batch](int signal) {
        batch.stop();
        QCoreApplication::exit(128 + signal);
    });
    if (!batch.start(commandLine.paths(), lists))
        return HeadlessBatch::CouldNotStart;
    return QCoreApplication::exec();
}

// Help, version, mistakes and batches without a window: no display needed.
int runWithoutWindow(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    setIdentity();
    // Read again from the application's arguments, which it decodes by the
    // locale it has set up.
    CommandLine commandLine;
    if (!commandLine.parse(QCoreApplication::arguments())) {
        CommandLine::printError(commandLine.errorText());
        return commandLine.convert() ? int(HeadlessBatch::CouldNotStart) : EXIT_FAILURE;
    }
    commandLine.processStandardOptions(app);
    return convertWithoutWindow(commandLine);
}

} // namespace

int main(int argc, char *argv[])
{
    resetInheritedSignals();
    openClosedStandardFiles();
    // Every job asks the MIME database for its input's type, which compiles a
    // few file name patterns afresh each time under the database's lock; the
    // JIT's compiling costs far more than it saves on one short name.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT"))
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
    writeOwnLinesBare();
    if (!CommandLine::wantsWindow(argc, argv))
        return runWithoutWindow(argc, argv);

    QApplication app(argc, argv);
    setIdentity();
    CommandLine commandLine;
    commandLine.processStandardOptions(app);

    qCDebug(lcStartup).noquote() << "Starting"
                                 << QApplication::applicationName() + QStringLiteral(" v")
                                        + QApplication::applicationVersion();

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/" QUILLMERE_APP_ID ".ico")));

    qRegisterMetaType<JobStatus::ConvertStatus>("JobStatus::ConvertStatus");
    AppSettings::load();
    if (commandLine.loadsTranslations())
        loadTranslations();

    MainWindow window;
    window.show();
    onTerminationSignals([](int signal) {
        QApplication::closeAllWindows();
        QCoreApplication::exit(128 + signal);
    });

    const QStringList paths = commandLine.paths();
    if (!paths.isEmpty())
        window.addPaths(paths);
    // Once the window is up, as if Convert had been clicked.
    if (commandLine.start())
        QMetaObject::invokeMethod(&window, &MainWindow::convert, Qt::QueuedConnection);

    return app.exec();
}
