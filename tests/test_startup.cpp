// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built program as a user would, and reads what it prints.
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
        QTest::addColumn<QString>("standardOutput");
        QTest::addColumn<QStringList>("logLines");
        QTest::addColumn<QString>("absent");

        QTest::newRow("version") << QStringList{"--version"} << 0 << "Quillmere 0.32.0\n"
                                 << QStringList() << "Starting";
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << "  --no-translations  Do not load translations\n\n"
                                 "Arguments:\n  path               Open with files or directories added\n"
                              << QStringList() << "Starting";
        QTest::newRow("unknown option")
            << QStringList{"--bogus", "a.mp3"} << 1 << ""
            << QStringList{"Quillmere: Unknown option 'bogus'."} << "Starting";
        QTest::newRow("paths")
            << QStringList{"a.mp3", "missing.flac", "say \"hi\".flac", "dir", "--no-translations"}
            << -1 << ""
            << QStringList{"Starting Quillmere v0.32.0", "Settings loaded",
                           "Dropped file: \"" + cwd + "/a.mp3\"",
                           "Dropped file: \"" + cwd + "/say \\\"hi\\\".flac\"",
                           "Dropped dir: \"" + cwd + "/dir\""}
            << "missing";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, standardOutput);
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
            QTRY_VERIFY_WITH_TIMEOUT(inOrder(logSoFar(), logLines), 30000);
            process.kill();
            process.waitForFinished();
        }
        const QStringList lines = logSoFar();
        QVERIFY2(inOrder(lines, logLines), qPrintable(lines.join('\n')));
        QVERIFY2(!lines.join('\n').contains(absent), qPrintable(lines.join('\n')));
        const QString printed = QString::fromUtf8(process.readAllStandardOutput());
        if (standardOutput.isEmpty())
            QCOMPARE(printed, QString());
        else
            QVERIFY2(printed.contains(standardOutput), qPrintable(printed));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
