// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QByteArray>

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
                                     "(- reads standard input)"),
                      QStringLiteral("file"))
    , nullOption(QStringLiteral("null"),
                 QStringLiteral("With --convert, paths in the list end in a NUL byte, and so does each "
                                "result line"))
    , settingsOption(QStringLiteral("settings"),
                     QStringLiteral("With --convert, read the settings from <file> instead of the saved ones"),
                     QStringLiteral("file"))
    , verboseOption(QStringLiteral("verbose"), QStringLiteral("With --convert, write the debug log"))
{
    parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("Open with files or directories added"),
                                 QString());
    for (const QCommandLineOption *option : {&noTranslationsOption, &convertOption, &startOption,
                                             &filesFromOption, &nullOption, &settingsOption, &verboseOption})
        parser.addOption(*option);
}

bool CommandLine::parse(const QStringList &arguments)
{
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (convert() && start()) {
        error = QStringLiteral("--convert and --start exclude each other.");
        return false;
    }
    if (!convert()) {
        for (const QCommandLineOption *option : {&filesFromOption, &nullOption, &settingsOption, &verboseOption}) {
            if (parser.isSet(*option)) {
                error = QStringLiteral("--%1 needs --convert.").arg(option->names().constFirst());
                return false;
            }
        }
    }
    return true;
}

bool CommandLine::wantsWindow(int argc, char *argv[])
{
    // Only these options are looked for, before the application object takes
    // out its own (-platform, -session, ...): help, version and every option
    // of a batch without a window, whose mistakes are then reported without
    // a display too.
    static const char *const windowless[] = {
        "-h", "--help", "-?", "-v", "--version", "--convert", "--files-from", "--null", "--settings", "--verbose",
    };
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        const int equals = argument.indexOf('=');
        const QByteArray name = equals < 0 ? argument : argument.left(equals);
        for (const char *option : windowless) {
            if (name == option)
                return false;
        }
    }
    return true;
}
