// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built program as a user would, and reads what it prints.
#include "app/translations.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT

private:
    IsolatedHome home;

    // True when `wanted` occurs in `lines` in this order (other lines may lie between).
    static bool inOrder(const QStringList &lines, const QStringList &wanted)
    {
        int next = 0;
        for (const QString &line : lines)
            if (next < wanted.size() && line == wanted[next])
                ++next;
        return next == wanted.size();
    }

private slots:
    void commandLine_data()
    {
        // The working directory holds a.mp3, say "hi".flac and the folder dir/.
        const QString cwd = QDir(home.dir.path()).canonicalPath() + "/work";
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode"); // -1: keeps running with its window open
        QTest::addColumn<QStringList>("standardOutput"); // texts printed, in this order
        QTest::addColumn<QStringList>("logLines");
        QTest::addColumn<QString>("absent");

        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << QStringList{"Quillmere " QUILLMERE_VERSION "\n"} << QStringList() << "Starting";
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << QStringList{"  -h, --help           Displays help on commandline options.\n",
                                             "  -v, --version        Displays version information.\n",
                                             "  --no-translations    Do not load translations\n",
                                             "\nArguments:\n"
                                             "  path                 Open with files or directories added\n"}
                              << QStringList() << "Starting";
        QTest::newRow("unknown option")
            << QStringList{"--bogus", "a.mp3"} << 1 << QStringList()
            << QStringList{"Quillmere: Unknown option 'bogus'."} << "Starting";
        QTest::newRow("paths")
            << QStringList{"a.mp3", "missing.flac", "say \"hi\".flac", "dir", "--no-translations"}
            << -1 << QStringList()
            << QStringList{"Starting Quillmere v" QUILLMERE_VERSION, "Settings loaded",
                           "Dropped file: \"" + cwd + "/a.mp3\"",
                           "Dropped file: \"" + cwd + "/say \\\"hi\\\".flac\"",
                           "Dropped dir: \"" + cwd + "/dir\""}
            << "missing";
        // Qt's own options are the application object's, however the
        // platform is chosen otherwise.
        const QStringList started{"Starting Quillmere v" QUILLMERE_VERSION, "Settings loaded",
                                  "Dropped file: \"" + cwd + "/a.mp3\""};
        QTest::newRow("-platform") << QStringList{"-platform", "offscreen", "a.mp3"} << -1 << QStringList()
                                   << started << "Unknown";
        QTest::newRow("-style") << QStringList{"-style", "fusion", "a.mp3"} << -1 << QStringList() << started
                                << "Unknown";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, standardOutput);
        QFETCH(QStringList, logLines);
        QFETCH(QString, absent);

        const QString cwd = home.dir.path() + "/work";
        QVERIFY(QDir().mkpath(cwd + "/dir"));
        for (const char *name : {"a.mp3", "say \"hi\".flac", "dir/b.mp3"}) {
            QFile file(cwd + "/" + QString::fromUtf8(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        QProcess process;
        process.setWorkingDirectory(cwd);
        process.start(QUILLMERE_BINARY, arguments);
        QVERIFY(process.waitForStarted());
        QByteArray log;
        auto logSoFar = [&] {
            log += process.readAllStandardError();
            return QString::fromUtf8(log).split('\n');
        };
        if (exitCode >= 0) {
            QVERIFY(process.waitForFinished(30000));
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), exitCode);
        } else {
            QTRY_VERIFY2_WITH_TIMEOUT(inOrder(logSoFar(), logLines) || process.state() == QProcess::NotRunning,
                                      "The lines were not logged within 30 s", 30000);
            QVERIFY2(process.state() == QProcess::Running,
                     qPrintable(QString("Ended with code %1:\n").arg(process.exitCode()) + logSoFar().join('\n')));
            process.kill();
            process.waitForFinished();
        }
        const QStringList lines = logSoFar();
        QVERIFY2(inOrder(lines, logLines), qPrintable(lines.join('\n')));
        QVERIFY2(!lines.join('\n').contains(absent), qPrintable(lines.join('\n')));
        const QString printed = QString::fromUtf8(process.readAllStandardOutput());
        if (standardOutput.isEmpty())
            QCOMPARE(printed, QString());
        int from = 0;
        for (const QString &text : standardOutput) {
            const int at = printed.indexOf(text, from);
            QVERIFY2(at >= 0, qPrintable("not printed, or not in this order: " + text + "\n" + printed));
            from = at + text.size();
        }
    }

    void translations_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("logLines");
        const QString start = "Starting Quillmere v" QUILLMERE_VERSION, settings = "Settings loaded";
        auto lines = [&](const QString &name, bool qt, bool app) {
            return QStringList{start, settings, "Loading translations for \"" + name + "\"",
                               qt ? "Qt translation loaded" : "Qt translation not found",
                               app ? "App translation loaded" : "App translation not found"};
        };
        QTest::newRow("de_DE") << "de_DE.UTF-8" << QStringList() << lines("de_DE", true, true);
        QTest::newRow("de_CH") << "de_CH.UTF-8" << QStringList() << lines("de_CH", true, true);
        QTest::newRow("fr_FR") << "fr_FR.UTF-8" << QStringList() << lines("fr_FR", true, true);
        QTest::newRow("en_US") << "en_US.UTF-8" << QStringList() << lines("en_US", true, false);
        QTest::newRow("C") << "C" << QStringList() << lines("C", false, false);
        QTest::newRow("no translations")
            << "de_DE.UTF-8" << QStringList{"--no-translations"} << QStringList{start, settings};
    }

    // The program's own lines from the start line up to the first added path,
    // which is logged once the window is up.
    void translations()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, logLines);
        if (!QFile::exists(qtCataloguesFolder() + "/qt_de.qm")
            && logLines.contains("Qt translation loaded"))
            QSKIP("Qt's own catalogues are not installed");

        const QString marker = home.dir.filePath("marker.mp3");
        QFile(marker).open(QIODevice::WriteOnly);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"LANGUAGE", "LC_MESSAGES", "LC_NUMERIC", "LC_CTYPE"})
            environment.remove(name);
        environment.insert("LANG", locale);
        environment.insert("LC_ALL", locale);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QUILLMERE_BINARY, arguments << marker);
        QByteArray log;
        const QString dropped = "Dropped file: \"" + marker + "\"";
        QTRY_VERIFY_WITH_TIMEOUT((log += process.readAllStandardError()).contains(dropped.toUtf8()),
                                 30000);
        process.kill();
        process.waitForFinished();

        QStringList own;
        for (const QString &line : QString::fromUtf8(log).split('\n'))
            if (line.startsWith("Starting") || line.startsWith("Settings")
                || line.contains("translation"))
                own << line;
        QCOMPARE(own, logLines);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
