// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

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
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    CommandLine probe;
    return probe.parse(arguments) && !probe.parser.isSet(probe.helpOption)
        && !probe.parser.isSet(QStringLiteral("help-all")) && !probe.parser.isSet(probe.versionOption)
        && !probe.convert();
}
