// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include "settings/appsettings.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QHash>

#include <cstdio>

CommandLine::CommandLine()
    : helpOption(parser.addHelpOption())
    , versionOption(parser.addVersionOption())
    , noTranslationsOption(QStringLiteral("no-translations"), QStringLiteral("Do not load translations"))
    , convertOption(QStringLiteral("convert"),
                    QStringLiteral("Convert the given files and folders without a window, then exit"))
    , startOption(QStringLiteral("start"),
                  QStringLiteral("Open the window with the given files added and convert them at once"))
    , filesFromOption(QStringLiteral("files-from"),
                      QStringLiteral("With --convert, also convert the paths listed in <file>, one a line "
                                     "(- reads standard input); may be given more than once"),
                      QStringLiteral("file"))
    , nullOption(QStringLiteral("null"),
                 QStringLiteral("With --convert, paths in the list end in a NUL byte, and so does each "
                                "field of the results"))
    , settingsOption(QStringLiteral("settings"),
                     QStringLiteral("With --convert, read the settings from <file> instead of the saved ones"),
                     QStringLiteral("file"))
    , setOption(QStringLiteral("set"),
                QStringLiteral("With --convert, give the setting <key> this <value> over the saved ones or those of "
                               "--settings; may be given more than once. Keys: %1")
                    .arg(SettingsTable::keys().join(QLatin1String(", "))),
                QStringLiteral("key=value"))
    , formatOption(QStringLiteral("format"),
                   QStringLiteral("With --convert, --set %1=<id>, one of %2; the quality is the format's default "
                                  "unless %3 is set too")
                       .arg(QLatin1String(SettingsTable::of(&AppSettings::OutputFormat).key),
                            SettingsTable::formatIds().join(QLatin1String(", ")),
                            QLatin1String(SettingsTable::of(&AppSettings::OutputQualityArguments).key)),
                   QStringLiteral("id"))
    , outputDirOption(QStringLiteral("output-dir"),
                      QStringLiteral("With --convert, --set %1=<dir>: where the outputs go; {sourcedir} in it "
                                     "stands for each input's folder")
                          .arg(QLatin1String(SettingsTable::of(&AppSettings::OutputDirectory).key)),
                      QStringLiteral("dir"))
    , verboseOption(QStringLiteral("verbose"), QStringLiteral("With --convert, write the debug log"))
    , dryRunOption(QStringLiteral("dry-run"),
                   QStringLiteral("With --convert, print what would be done with each file and where its output "
                                  "would go (Convert, Replace, Copy, Skip or Fail), writing nothing"))
{
    parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("Open with files or directories added"),
                                 QString());
    for (const QCommandLineOption *option : {&noTranslationsOption, &convertOption, &startOption, &filesFromOption,
                                             &nullOption, &settingsOption, &setOption, &formatOption,
                                             &outputDirOption, &verboseOption, &dryRunOption})
        parser.addOption(*option);
}

bool CommandLine::parse(const QStringList &arguments)
{
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.values(settingsOption).size() > 1) {
        error = QStringLiteral("--settings may be given once only.");
        return false;
    }
    if (convert() && start()) {
        error = QStringLiteral("--convert and --start exclude each other.");
        return false;
    }
    if (!convert()) {
        for (const QCommandLineOption *option : {&filesFromOption, &nullOption, &settingsOption, &setOption,
                                                 &formatOption, &outputDirOption, &verboseOption, &dryRunOption}) {
            if (parser.isSet(*option)) {
                error = QStringLiteral("--%1 needs --convert.").arg(option->names().constFirst());
                return false;
            }
        }
    }
    return readSettingValues();
}

bool CommandLine::readSettingValues()
{
    values.clear();
    const QString set = setOption.names().constFirst();
    QHash<QString, int> taken;
    for (const QString &name : parser.optionNames()) {
        QString value = parser.values(name).value(taken[name]++);
        const SettingsTable::Setting *setting = nullptr;
        if (name == formatOption.names().constFirst()) {
            setting = &SettingsTable::of(&AppSettings::OutputFormat);
        } else if (name == outputDirOption.names().constFirst()) {
            setting = &SettingsTable::of(&AppSettings::OutputDirectory);
        } else if (name == set) {
            const int equals = value.indexOf(QLatin1Char('='));
            if (equals < 0) {
                error = QStringLiteral("--set takes KEY=VALUE, not \"%1\"").arg(value);
                return false;
            }
            setting = SettingsTable::find(value.left(equals));
            if (!setting) {
                error = QStringLiteral("Unknown setting \"%1\"; one of: %2")
                            .arg(value.left(equals), SettingsTable::keys().join(QLatin1String(", ")));
                return false;
            }
            value.remove(0, equals + 1);
        } else {
            continue;
        }
        const std::optional<QVariant> parsed = setting->parse(value, &error);
        if (!parsed)
            return false;
        values.append({setting, *parsed});
    }
    return true;
}

namespace {

// Options the application object takes out of the command line itself.
bool isToolkitOption(const QByteArray &argument)
{
    static const char *const toolkit[] = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
        "qwindowtitle", "reverse", "session", "display", "geometry", "title", "name", "visual", "style",
        "stylesheet", "widgetcount", "ncols", "cmap", "nograb", "dograb", "sync", "qmljsdebugger", "testability",
    };
    if (!argument.startsWith('-'))
        return false;
    QByteArray name = argument.mid(argument.startsWith("--") ? 2 : 1);
    name.truncate(name.indexOf('=') < 0 ? name.size() : name.indexOf('='));
    for (const char *option : toolkit) {
        if (name == option)
            return true;
    }
    return false;
}

} // namespace

bool CommandLine::wantsWindow(int argc, char *argv[])
{
    // Help, version and every option of a batch without a window need no
    // display, and neither do their mistakes.
    static const char *const windowless[] = {
        "-h",     "--help",     "-?",    "-v",       "--version",    "--convert", "--files-from",
        "--null", "--settings", "--set", "--format", "--output-dir", "--verbose", "--dry-run",
    };
    QStringList arguments;
    bool toolkitOptions = false;
    bool optionsEnded = false;
    for (int i = 0; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        arguments.append(QString::fromLocal8Bit(argument));
        optionsEnded = optionsEnded || argument == "--";
        if (i == 0 || optionsEnded)
            continue;
        const int equals = argument.indexOf('=');
        const QByteArray name = equals < 0 ? argument : argument.left(equals);
        for (const char *option : windowless) {
            if (name == option)
                return false;
        }
        toolkitOptions = toolkitOptions || isToolkitOption(argument);
    }
    // A mistake is said without a display too, unless the application
    // object's own options are there, which only it understands.
    CommandLine probe;
    return probe.parse(arguments) || toolkitOptions;
}

void CommandLine::printError(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 QFile::encodeName(message).constData());
}
