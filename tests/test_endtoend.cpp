// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built program on a real X server as a user would: a folder of tones
// and a text file on its command line, Convert clicked, then the converted
// files and the colours of the window's status cells checked on a screenshot.
// Also how the program ends on a termination signal, and how it runs when
// started with SIGCHLD ignored.
#include "testsupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>

#include <csignal>
#include <sys/types.h>

// Xlib defines macros that clash with Qt's names.
#include "windowclose.h"

namespace {

struct Cell
{
    QRgb colour;
    QRect area;
};

// The areas of status colours on the screenshot, top to bottom. The inside of
// a letter such as "o" is an island of its cell's colour; areas that lie
// inside another of the same colour are left out.
QList<Cell> statusCells(const QImage &shot)
{
    static const QList<QRgb> statusColours{
        QColor(Qt::yellow).rgb(), QColor(Qt::darkYellow).rgb(), QColor(Qt::red).rgb(),
        QColor(Qt::blue).rgb(), QColor(Qt::green).rgb()};
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    QVector<bool> seen(width * image.height());
    QList<Cell> areas;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb colour = image.pixel(x, y);
            if (seen[y * width + x] || !statusColours.contains(colour))
                continue;
            QRect area(x, y, 1, 1);
            QVector<QPoint> pending{QPoint(x, y)};
            seen[y * width + x] = true;
            while (!pending.isEmpty()) {
                const QPoint p = pending.takeLast();
                area |= QRect(p, QSize(1, 1));
                for (const QPoint &next : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1),
                                           p - QPoint(0, 1)}) {
                    if (image.rect().contains(next) && !seen[next.y() * width + next.x()]
                        && image.pixel(next) == colour) {
                        seen[next.y() * width + next.x()] = true;
                        pending.append(next);
                    }
                }
            }
            areas.append({colour, area});
        }
    }
    QList<Cell> cells;
    for (const Cell &cell : areas) {
        const bool island = std::any_of(areas.begin(), areas.end(), [&](const Cell &other) {
            return other.colour == cell.colour && other.area != cell.area && other.area.contains(cell.area);
        });
        if (!island)
            cells.append(cell);
    }
    std::sort(cells.begin(), cells.end(),
              [](const Cell &a, const Cell &b) { return a.area.top() < b.area.top(); });
    return cells;
}

QStringList colourNames(const QList<Cell> &cells)
{
    QStringList names;
    for (const Cell &cell : cells)
        names << QColor(cell.colour).name();
    return names;
}

struct GroupMember
{
    qint64 pid;
    QByteArray name;
};

// The live processes of a process group, from /proc. Zombies are left out:
// they have ended and only wait to be reaped.
QList<GroupMember> groupMembers(qint64 group)
{
    QList<GroupMember> members;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile stat("/proc/" + entry + "/stat");
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue; // not a process, or one that ended meanwhile
        const QByteArray line = stat.readAll();
        // The name may hold spaces and parentheses; the fields after it do not.
        const int open = line.indexOf('('), close = line.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' '); // state, ppid, pgrp, ...
        if (fields.size() >= 3 && fields[0] != "Z" && fields[2].toLongLong() == group)
            members.append({pid, line.mid(open + 1, close - open - 1)});
    }
    return members;
}

QString describe(const QList<GroupMember> &members)
{
    QStringList names;
    for (const GroupMember &member : members)
        names << QString("%1 (%2)").arg(member.pid).arg(QString::fromUtf8(member.name));
    return names.join(", ");
}

// The whole-number lines of a file that several writers append to.
QList<qint64> recordedPids(const QString &path)
{
    QFile file(path);
    QList<qint64> pids;
    if (!file.open(QIODevice::ReadOnly))
        return pids;
    for (const QByteArray &line : file.readAll().split('\n')) {
        bool number = false;
        const qint64 pid = line.trimmed().toLongLong(&number);
        if (number && pid > 0)
            pids << pid;
    }
    return pids;
}

// Everything in a folder, hidden files included.
QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                QDir::Name);
}

// A folder of its own for the running test function and data row.
QString workFolder(const QString &root)
{
    QString name = QTest::currentTestFunction();
    if (QTest::currentDataTag())
        name += QString("-") + QTest::currentDataTag();
    return root + "/" + name;
}

} // namespace

// Runs a helper that checks with QVERIFY, and ends the test once it failed.
#define CHECKED(call)                                                                              \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    IsolatedHome home;
    QProcess program;
    QByteArray log;
    QString window;
    // Process groups of encoders a test started, ended by cleanup() if the
    // program left them running.
    QList<qint64> encoderGroups;

    bool logged(const QString &line)
    {
        log += program.readAllStandardError();
        return QString::fromUtf8(log).split('\n').contains(line);
    }

    // Runs xdotool to its end; true when it succeeded.
    static bool xdotool(const QStringList &arguments, QString *output = nullptr)
    {
        QProcess tool;
        tool.start("xdotool", arguments);
        if (!tool.waitForFinished(30000)) {
            tool.kill();
            tool.waitForFinished();
            return false;
        }
        if (output)
            *output = QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
        return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    }

    void writeSettings(const QString &encoder, const QString &outputDirectory)
    {
        QSettings settings(home.configFile(), QSettings::IniFormat);
        settings.setValue("FFmpegBinary", encoder);
        settings.setValue("OutputFormat", "mp3");
        settings.setValue("OutputQualityArguments", "-q:a 2");
        settings.setValue("OutputDirectory", outputDirectory);
        settings.setValue("Threads", 2);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }

    // Starts the program on `folder`, through `launcher` when one is given,
    // and finds its window. The launcher must exec the program, so that the
    // window belongs to the process started here.
    void start(const QString &folder, const QStringList &launcher = {})
    {
        log.clear();
        window.clear();
        const QStringList command = launcher + QStringList{QUILLMERE_BINARY, folder};
        program.start(command.first(), command.mid(1));
        QVERIFY2(program.waitForStarted(30000), qPrintable(program.errorString()));
        QVERIFY2(xdotool({"search", "--sync", "--onlyvisible", "--all", "--pid",
                          QString::number(program.processId()), "--name", "^Quillmere$"},
                         &window),
                 "the program's window did not appear");
        QVERIFY2(!window.contains('\n'), qPrintable(window));
        QTRY_VERIFY2_WITH_TIMEOUT(logged("Dropped dir: \"" + folder + "\""),
                                  "the folder was not added to the window", 30000);
    }

    void clickConvert(int items)
    {
        // Convert is the first button of the bottom row, which lies within the
        // layout's 11-pixel margin of the window's lower left corner.
        QString geometry;
        QVERIFY(xdotool({"getwindowgeometry", "--shell", window}, &geometry));
        const QRegularExpressionMatch height = QRegularExpression("HEIGHT=(\\d+)").match(geometry);
        QVERIFY2(height.hasMatch(), qPrintable(geometry));
        const int margin = 11;
        QVERIFY(xdotool({"mousemove", "--window", window, QString::number(margin + 10),
                         QString::number(height.captured(1).toInt() - margin - 8), "click", "1"}));
        QTRY_VERIFY2_WITH_TIMEOUT(logged(QString(" Items: %1").arg(items)),
                                  "the click did not start a batch", 30000);
    }

    void waitForBatch()
    {
        QTRY_VERIFY2_WITH_TIMEOUT(logged("Done"), "the batch did not finish", 120000);
    }

    // One tone for each of the two threads.
    static void makeTwoTones(const QString &folder, double seconds)
    {
        QVERIFY(makeTone(folder + "/a tone.flac", seconds));
        QVERIFY(makeTone(folder + "/b tone.flac", seconds));
    }

    static void expectMp3(const QString &path)
    {
        // One line a stream: a second stream or none would not compare equal.
        QCOMPARE(probe(path, "stream=codec_name"), QString("mp3"));
        QCOMPARE(probe(path, "stream=codec_type"), QString("audio"));
    }

    void closeWindow()
    {
        Display *display = XOpenDisplay(nullptr);
        QVERIFY(display);
        requestClose(display, window.toULong());
        XCloseDisplay(display);
    }

    void expectExit(int code)
    {
        QVERIFY2(program.waitForFinished(30000), "the program did not exit");
        log += program.readAllStandardError();
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == code,
                 qPrintable(QString("exit status %1, code %2; log ends:\n%3")
                                .arg(program.exitStatus())
                                .arg(program.exitCode())
                                .arg(QString::fromUtf8(log.right(900)))));
    }

private slots:
    void convertFolder()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        const QString input = home.dir.path() + "/in";
        const QString output = home.dir.path() + "/out";
        // The text file's row lies between the tones' rows.
        const QStringList tones{"a tone.flac", "b tone.wav", "d tone.ogg", "e tone.opus"};
        for (const QString &tone : tones)
            QVERIFY(makeTone(input + "/" + tone, 1));
        QFile text(input + "/c notes.txt");
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("liner notes\n");
        text.close();

        CHECKED(writeSettings(QStandardPaths::findExecutable("ffmpeg"), output + "/{sourcedir}"));
        CHECKED(start(input));
        CHECKED(clickConvert(tones.size() + 1));
        CHECKED(waitForBatch());

        const QString converted = output + input;
        QStringList expected;
        for (const QString &tone : tones) {
            expected << QFileInfo(tone).completeBaseName() + ".mp3";
            CHECKED(expectMp3(converted + "/" + expected.last()));
        }
        QCOMPARE(QDir(converted).entryList(QDir::Files, QDir::Name), expected);

        // The window repaints after the last report; wait for the picture to settle.
        const QString green = QColor(Qt::green).name(), blue = QColor(Qt::blue).name();
        QStringList rows; // a green cell for every tone, a blue one for the text
        for (const QString &name : QDir(input).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
            rows << (tones.contains(name) ? green : blue);
        const QString artefact = QUILLMERE_ARTEFACTS "/endtoend.png";
        QVERIFY(QDir().mkpath(QUILLMERE_ARTEFACTS));
        QFile::remove(artefact);
        QImage shot;
        auto grab = [&] {
            shot = QGuiApplication::primaryScreen()->grabWindow(window.toULong()).toImage();
            shot.save(artefact);
            return colourNames(statusCells(shot));
        };
        QTRY_COMPARE_WITH_TIMEOUT(grab().join(' '), rows.join(' '), 10000);
        QVERIFY(QFile::exists(artefact));
        qInfo("Screenshot: %s", qPrintable(artefact));

        // One column holds them all, one row below the other.
        const QList<Cell> cells = statusCells(shot);
        for (int row = 1; row < cells.size(); ++row) {
            QCOMPARE(cells[row].area.left(), cells[0].area.left());
            QCOMPARE(cells[row].area.right(), cells[0].area.right());
            QVERIFY(cells[row].area.top() > cells[row - 1].area.bottom());
        }
        QVERIFY(cells[0].area.right() < shot.width() / 2);

        CHECKED(closeWindow());
        CHECKED(expectExit(0));
    }

    void signalEndsCleanly_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("SIGINT") << SIGINT << 128 + SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM << 128 + SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP << 128 + SIGHUP;
    }

    void signalEndsCleanly()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, exitCode);
        const QString work = workFolder(home.dir.path());
        const QString input = work + "/in", output = work + "/out", pidFile = work + "/pids";
        // Long enough that no encoder can finish before the signal arrives.
        CHECKED(makeTwoTones(input, 60));

        // The wrapper runs ffmpeg as its child, not by exec: signalling the
        // wrapper alone would leave that child encoding. -re makes it encode
        // in real time. The wrapper's pid is the id of its process group.
        const QString encoder = work + "/encoder.sh";
        QFile script(encoder);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\necho $$ >> '%1'\n'%2' -re \"$@\"\n")
                         .arg(pidFile, QStandardPaths::findExecutable("ffmpeg"))
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        CHECKED(writeSettings(encoder, output));
        CHECKED(start(input));
        CHECKED(clickConvert(2));

        QTRY_VERIFY2_WITH_TIMEOUT((encoderGroups = recordedPids(pidFile)).size() == 2,
                                  "the two encoder wrappers did not start", 30000);
        auto encoding = [](qint64 group) {
            const QList<GroupMember> members = groupMembers(group);
            return std::any_of(members.begin(), members.end(), [group](const GroupMember &member) {
                return member.pid != group && member.name == "ffmpeg";
            });
        };
        QTRY_VERIFY2_WITH_TIMEOUT(encoding(encoderGroups[0]) && encoding(encoderGroups[1]),
                                  "an ffmpeg did not start under each wrapper", 30000);
        // What the signal must clean up: a hidden temporary file of each job.
        const QString marker = QString(".part-%1").arg(program.processId());
        auto temporaries = [&] {
            QStringList names;
            for (const QString &name : folderEntries(output)) {
                if (name.startsWith('.') && name.contains(marker))
                    names << name;
            }
            return names;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(temporaries().size() == 2,
                                  qPrintable("the encoders wrote no temporary files: "
                                             + folderEntries(output).join(", ")),
                                  30000);

        QCOMPARE(::kill(pid_t(program.processId()), signalNumber), 0);
        CHECKED(expectExit(exitCode));
        // Signalled processes may linger for a moment before the system removes them.
        QTRY_VERIFY2_WITH_TIMEOUT(groupMembers(encoderGroups[0]).isEmpty()
                                      && groupMembers(encoderGroups[1]).isEmpty(),
                                  qPrintable("encoders still run: "
                                             + describe(groupMembers(encoderGroups[0])
                                                        + groupMembers(encoderGroups[1]))),
                                  10000);
        QVERIFY2(folderEntries(output).isEmpty(), qPrintable(folderEntries(output).join(", ")));
    }

    void ignoredChildSignal()
    {
        // Not "sh -c 'trap \"\" CHLD; exec ...'": dash keeps SIGCHLD for
        // itself whatever the trap says, and execs with it not ignored.
        const QStringList launcher{"env", "--ignore-signal=CHLD"};
        QProcess status;
        status.start(launcher.first(), launcher.mid(1) + QStringList{"cat", "/proc/self/status"});
        QVERIFY2(status.waitForFinished(30000), "reading the launcher's signal state did not end");
        const QRegularExpressionMatch ignored = QRegularExpression("SigIgn:\\s*([0-9a-f]+)")
                                                    .match(QString::fromUtf8(status.readAllStandardOutput()));
        QVERIFY2(ignored.hasMatch(), "no SigIgn line in /proc/self/status");
        QVERIFY2(ignored.captured(1).toULongLong(nullptr, 16) & (1ULL << (SIGCHLD - 1)),
                 "the launcher does not leave SIGCHLD ignored");

        const QString work = workFolder(home.dir.path());
        const QString input = work + "/in", output = work + "/out";
        CHECKED(makeTwoTones(input, 1));
        CHECKED(writeSettings(QStandardPaths::findExecutable("ffmpeg"), output));
        CHECKED(start(input, launcher));
        CHECKED(clickConvert(2));
        CHECKED(waitForBatch());

        QCOMPARE(folderEntries(output), QStringList({"a tone.mp3", "b tone.mp3"}));
        CHECKED(expectMp3(output + "/a tone.mp3"));
        CHECKED(expectMp3(output + "/b tone.mp3"));
        CHECKED(closeWindow());
        CHECKED(expectExit(0));
    }

    void cleanup()
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(30000);
        }
        for (const qint64 group : encoderGroups) {
            if (!groupMembers(group).isEmpty())
                ::kill(pid_t(-group), SIGKILL);
        }
        encoderGroups.clear();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
