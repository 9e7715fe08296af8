// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingstable.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

class QCoreApplication;

// The command line of both faces: the window, and batches converted without
// one.
class CommandLine
{
public:
    CommandLine();

    // Whether the process shows a window, read before any application object
    // exists: help, version, --convert and mistakes need no display.
    static bool wantsWindow(int argc, char *argv[]);

    // A message for the user of the command line: on standard error, after
    // the program's name, as the parser's own mistakes are said.
    static void printError(const QString &message);

    // False for a mistake, which errorText() then names.
    bool parse(const QStringList &arguments);
    QString errorText() const { return error; }

    // Qt's own handling of help and version: prints their text and ends the
    // process with exit code 0.
    void processStandardOptions(const QCoreApplication &app) { parser.process(app); }

    bool convert() const { return parser.isSet(convertOption); }
    bool start() const { return parser.isSet(startOption); }
    bool loadsTranslations() const { return !parser.isSet(noTranslationsOption); }
    bool nulSeparated() const { return parser.isSet(nullOption); }
    bool verbose() const { return parser.isSet(verboseOption); }
    bool dryRun() const { return parser.isSet(dryRunOption); }
    // Every list named, in the order given.
    QStringList filesFrom() const { return parser.values(filesFromOption); }
    bool settingsGiven() const { return parser.isSet(settingsOption); }
    QString settingsFile() const { return parser.value(settingsOption); }
    // The values of --set and its short forms, in the order given.
    QList<SettingsTable::Assignment> settingValues() const { return values; }
    QStringList paths() const { return parser.positionalArguments(); }

private:
    QCommandLineParser parser;
    QCommandLineOption helpOption;
    QCommandLineOption versionOption;
    QCommandLineOption noTranslationsOption;
    QCommandLineOption convertOption;
    QCommandLineOption startOption;
    QCommandLineOption filesFromOption;
    QCommandLineOption nullOption;
    QCommandLineOption settingsOption;
    QCommandLineOption setOption;
    QCommandLineOption formatOption;
    QCommandLineOption outputDirOption;
    QCommandLineOption verboseOption;
    QCommandLineOption dryRunOption;
    QList<SettingsTable::Assignment> values;
    QString error;

    bool readSettingValues();
};
