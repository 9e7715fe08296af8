// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built program on a real X server as a user would: a folder of tones
// and a text file on its command line, Convert clicked, then the converted
// files and the colours of the window's status cells checked on a screenshot.
// A failed row's tooltip, the summary in the status bar and its failed-count
// link, a converting row's percentage and Stop Now from the Convert menu are
// checked on screenshots too, which are kept as artefacts. Also how the
// program ends on a termination signal, and how it runs when started with
// SIGCHLD ignored.
#include "testsupport.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPalette>
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

struct Area
{
    QRgb colour;
    QRect area;
};

// The connected areas of one of `colours` each on an image.
QList<Area> colourAreas(const QImage &shot, const QList<QRgb> &colours)
{
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    QVector<bool> seen(width * image.height());
    QList<Area> areas;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb colour = image.pixel(x, y);
            if (seen[y * width + x] || !colours.contains(colour))
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
    return areas;
}

const QRgb pending = QColor(Qt::yellow).rgb(), converting = QColor(Qt::darkYellow).rgb(),
           failed = QColor(Qt::red).rgb(), skipped = QColor(Qt::blue).rgb(), done = QColor(Qt::green).rgb();

// The areas of status colours on the screenshot, top to bottom. The inside of
// a letter such as "o" is an island of its cell's colour; areas that lie
// inside another of the same colour are left out.
QList<Area> statusCells(const QImage &shot)
{
    const QList<Area> areas = colourAreas(shot, {pending, converting, failed, skipped, done});
    QList<Area> cells;
    for (const Area &cell : areas) {
        const bool island = std::any_of(areas.begin(), areas.end(), [&](const Area &other) {
            return other.colour == cell.colour && other.area != cell.area && other.area.contains(cell.area);
        });
        if (!island)
            cells.append(cell);
    }
    std::sort(cells.begin(), cells.end(),
              [](const Area &a, const Area &b) { return a.area.top() < b.area.top(); });
    return cells;
}

QStringList colourNames(const QList<Area> &cells)
{
    QStringList names;
    for (const Area &cell : cells)
        names << QColor(cell.colour).name();
    return names;
}

// The largest area of `colour` on an image; an empty one when there is none.
QRect largestArea(const QImage &shot, QRgb colour)
{
    QRect largest;
    for (const Area &area : colourAreas(shot, {colour})) {
        if (area.area.width() * area.area.height() > largest.width() * largest.height())
            largest = area.area;
    }
    return largest;
}

// The top and bottom lines of a button's outline on a screenshot.
struct Span
{
    int top = -1;
    int bottom = -1;
};

// The bottom row of buttons, found in the column `x`, which crosses one of
// them. Found from below: the status bar lies between it and the window's
// bottom edge, and its height depends on the style and on what it shows. An
// outline is a long line of one colour darker than the button's face and the
// window's background; text, such as the status bar's, draws no such line.
Span buttonRow(const QImage &shot, int x)
{
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    const int length = 100;
    auto outline = [&](int y) {
        const QRgb colour = image.pixel(x, y);
        if (qGray(colour) >= 200 || x + length > image.width())
            return false;
        for (int along = x; along < x + length; ++along) {
            if (image.pixel(along, y) != colour)
                return false;
        }
        return true;
    };
    Span row;
    int y = image.height() - 1;
    while (y >= 0 && !outline(y))
        --y;
    row.bottom = y;
    while (y >= 0 && outline(y))
        --y;
    while (y >= 0 && !outline(y))
        --y;
    row.top = y;
    return row;
}

// The dark pixels of the status bar: the strip below the buttons, but for
// its right end, where the size grip is drawn.
int statusBarInk(const QImage &shot, const Span &buttons)
{
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    int ink = 0;
    for (int y = buttons.bottom + 1; y < image.height(); ++y) {
        for (int x = 0; x < image.width() * 2 / 3; ++x)
            ink += qGray(image.pixel(x, y)) < 128;
    }
    return ink;
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
    // The bottom row of buttons, as clickConvert found it, and the window
    // just before the click.
    Span buttons;
    QImage idle;
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

    // Starts the program on `folder`, or on nothing when it is empty, through
    // `launcher` when one is given, and finds its window. The launcher must
    // exec the program, so that the window belongs to the process started here.
    void start(const QString &folder, const QStringList &launcher = {})
    {
        log.clear();
        window.clear();
        const QStringList command = launcher + QStringList{QUILLMERE_BINARY}
                                    + (folder.isEmpty() ? QStringList() : QStringList{folder});
        program.start(command.first(), command.mid(1));
        QVERIFY2(program.waitForStarted(30000), qPrintable(program.errorString()));
        QVERIFY2(xdotool({"search", "--sync", "--onlyvisible", "--all", "--pid",
                          QString::number(program.processId()), "--name", "^Quillmere$"},
                         &window),
                 "the program's window did not appear");
        QVERIFY2(!window.contains('\n'), qPrintable(window));
        if (!folder.isEmpty())
            QTRY_VERIFY2_WITH_TIMEOUT(logged("Dropped dir: \"" + folder + "\""),
                                  "the folder was not added to the window", 30000);
    }

    QImage grabWindow() const
    {
        return QGuiApplication::primaryScreen()->grabWindow(window.toULong()).toImage();
    }

    // The part of a screenshot of the window above the buttons, where the
    // table is.
    QImage table(const QImage &shot) const
    {
        return shot.copy(0, 0, shot.width(), buttons.top);
    }

    // An image saved among the test's artefacts; it replaces an earlier one.
    static void keep(const QImage &image, const QString &name)
    {
        const QString path = QUILLMERE_ARTEFACTS "/" + name;
        QVERIFY(QDir().mkpath(QUILLMERE_ARTEFACTS));
        QFile::remove(path);
        QVERIFY2(image.save(path), qPrintable(path));
        qInfo("Screenshot: %s", qPrintable(path));
    }

    // The window's place on the screen.
    QRect windowGeometry()
    {
        QString shell;
        if (!xdotool({"getwindowgeometry", "--shell", window}, &shell))
            return QRect();
        QHash<QString, int> values;
        for (const QString &line : shell.split('\n')) {
            const int equals = line.indexOf('=');
            values.insert(line.left(equals), line.mid(equals + 1).toInt());
        }
        return QRect(values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT"));
    }

    void clickConvert(int items)
    {
        // Convert is the first button of the bottom row; the layout's
        // 11-pixel margin lies between it and the window's left edge.
        const int inside = 11 + 10;
        QImage shot;
        QTRY_VERIFY2_WITH_TIMEOUT((buttons = buttonRow(shot = grabWindow(), inside)).top >= 0,
                                  "no row of buttons on the window", 10000);
        QVERIFY2(buttons.bottom - buttons.top > 10 && buttons.bottom > shot.height() / 2,
                 qPrintable(QString("buttons from %1 to %2 of %3 rows")
                                .arg(buttons.top).arg(buttons.bottom).arg(shot.height())));
        idle = shot;
        QVERIFY(xdotool({"mousemove", "--window", window, QString::number(inside),
                         QString::number((buttons.top + buttons.bottom) / 2), "click", "1"}));
        QTRY_VERIFY2_WITH_TIMEOUT(logged(QString(" Items: %1").arg(items)),
                                  "the click did not start a batch", 30000);
    }

    void waitForBatch()
    {
        QTRY_VERIFY2_WITH_TIMEOUT(logged("Done") || program.state() == QProcess::NotRunning,
                                  "the batch did not finish", 120000);
        QVERIFY2(logged("Done"), qPrintable("the program ended in the middle of its batch; log ends:\n"
                                            + QString::fromUtf8(log.right(900))));
    }

    // One tone for each of the two threads.
    static void makeTwoTones(const QString &folder, double seconds)
    {
        QVERIFY(makeTone(folder + "/a tone.flac", seconds));
        QVERIFY(makeTone(folder + "/b tone.flac", seconds));
    }

    enum class Start { Exec, Child };

    // An encoder setting that appends its pid to `pidFile` and runs ffmpeg
    // with -re, which makes it encode in real time, in its own place or as
    // its child.
    static void writeRealTimeEncoder(const QString &path, const QString &pidFile, Start how)
    {
        QFile script(path);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\necho $$ >> '%1'\n%2'%3' -re \"$@\"\n")
                         .arg(pidFile, how == Start::Exec ? "exec " : "",
                              QStandardPaths::findExecutable("ffmpeg"))
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
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
        QImage shot;
        auto grab = [&] {
            shot = grabWindow();
            return colourNames(statusCells(table(shot)));
        };
        QTRY_COMPARE_WITH_TIMEOUT(grab().join(' '), rows.join(' '), 10000);
        CHECKED(keep(shot, "endtoend.png"));

        // One column holds them all, one row below the other.
        const QList<Area> cells = statusCells(table(shot));
        for (int row = 1; row < cells.size(); ++row) {
            QCOMPARE(cells[row].area.left(), cells[0].area.left());
            QCOMPARE(cells[row].area.right(), cells[0].area.right());
            QVERIFY(cells[row].area.top() > cells[row - 1].area.bottom());
        }
        QVERIFY(cells[0].area.right() < shot.width() / 2);

        CHECKED(closeWindow());
        CHECKED(expectExit(0));
    }

    // A failed row says why in a tooltip over its Status cell; the status
    // bar, empty until the batch ends, then sums it up, and its failed count
    // selects the failed row.
    void failedRowExplained()
    {
        const QString work = workFolder(home.dir.path());
        const QString input = work + "/in", output = work + "/out";
        CHECKED(makeTwoTones(input, 1));
        // A FLAC cut off inside its header, which ffmpeg cannot read.
        QFile whole(input + "/a tone.flac");
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QFile cut(input + "/c cut.flac");
        QVERIFY(cut.open(QIODevice::WriteOnly));
        QCOMPARE(cut.write(whole.read(40)), qint64(40));
        cut.close();
        QFile text(input + "/d notes.txt");
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("liner notes\n");
        text.close();

        CHECKED(writeSettings(QStandardPaths::findExecutable("ffmpeg"), output));
        CHECKED(start(input));
        CHECKED(clickConvert(4));
        QCOMPARE(statusBarInk(idle, buttons), 0);
        CHECKED(waitForBatch());
        QCOMPARE(folderEntries(output), QStringList({"a tone.mp3", "b tone.mp3"}));

        const QStringList rows{QColor(done).name(), QColor(done).name(), QColor(failed).name(),
                               QColor(skipped).name()};
        QImage shot;
        auto settled = [&] {
            shot = grabWindow();
            return colourNames(statusCells(table(shot))) == rows && statusBarInk(shot, buttons) > 100;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(settled(),
                                  qPrintable("rows " + colourNames(statusCells(table(shot))).join(' ')
                                             + QString(", %1 dark pixels in the status bar")
                                                   .arg(statusBarInk(shot, buttons))),
                                  10000);
        CHECKED(keep(shot, "summary.png"));

        // The tooltip is a window of its own, over the main one.
        const QRect frame = windowGeometry();
        QVERIFY2(frame.isValid(), "no geometry of the window");
        const QList<Area> cells = statusCells(table(shot));
        const QRect cell = cells[2].area.translated(frame.topLeft());
        const QRgb tipColour = QGuiApplication::palette().color(QPalette::Inactive, QPalette::ToolTipBase).rgb();
        QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        QRect tip = largestArea(screen, tipColour);
        QVERIFY2(tip.width() < 100 || tip.height() < 30, "a tooltip is shown before the pointer rests on a cell");
        QVERIFY(xdotool({"mousemove", "--window", window, QString::number(cells[2].area.center().x()),
                         QString::number(cells[2].area.center().y())}));
        auto tooltipShown = [&] {
            screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
            tip = largestArea(screen, tipColour);
            return tip.width() >= 100 && tip.height() >= 30;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(tooltipShown(), "no tooltip over the failed row's Status cell", 10000);
        // Just below the pointer, which rests in the cell's middle.
        QVERIFY2(tip.left() >= cell.left() && tip.left() <= cell.right() && tip.top() > cell.center().y()
                     && tip.top() <= cell.bottom() + 40,
                 qPrintable(QString("tooltip at %1,%2; cell from %3,%4 to %5,%6")
                                .arg(tip.left()).arg(tip.top()).arg(cell.left()).arg(cell.top())
                                .arg(cell.right()).arg(cell.bottom())));
        CHECKED(keep(screen.copy(frame.united(tip)), "tooltip.png"));

        const QRgb link = QGuiApplication::palette().color(QPalette::Link).rgb();
        const int barTop = buttons.bottom + 1;
        QRect failedCount;
        for (const Area &area : colourAreas(shot.copy(0, barTop, shot.width(), shot.height() - barTop), {link}))
            failedCount |= area.area;
        QVERIFY2(!failedCount.isEmpty(), "the failed count in the status bar is no link");
        // A point at the right of each row's File cell, where no text is.
        const int fileX = shot.width() - 30;
        QList<QRgb> before;
        for (const Area &row : cells)
            before << shot.pixel(fileX, row.area.center().y());
        QVERIFY(xdotool({"mousemove", "--window", window, QString::number(failedCount.center().x()),
                         QString::number(barTop + failedCount.center().y()), "click", "1"}));
        // A grab the server could not make comes back empty, which is no change.
        const QSize size = shot.size();
        QTRY_VERIFY2_WITH_TIMEOUT((shot = grabWindow()).size() == size
                                      && shot.pixel(fileX, cells[2].area.center().y()) != before[2],
                                  "clicking the failed count did not select the failed row", 10000);
        for (const int row : {0, 1, 3})
            QVERIFY2(shot.pixel(fileX, cells[row].area.center().y()) == before[row],
                     qPrintable(QString("row %1 changed too").arg(row + 1)));

        CHECKED(closeWindow());
        CHECKED(expectExit(0));
    }

    // A long file shows how far it has got, and Stop Now in the Convert menu
    // ends it at once: the row fails and nothing is left behind.
    void progressAndStopNow()
    {
        const QString work = workFolder(home.dir.path());
        const QString input = work + "/in", output = work + "/out", pidFile = work + "/pids";
        // Converted in real time: one percent every 1.2 seconds.
        QVERIFY(makeTone(input + "/long tone.flac", 120));
        // Through exec, the recorded pid is ffmpeg's own and the id of its
        // process group.
        const QString encoder = work + "/encoder.sh";
        CHECKED(writeRealTimeEncoder(encoder, pidFile, Start::Exec));

        CHECKED(writeSettings(encoder, output));
        CHECKED(start(input));
        CHECKED(clickConvert(1));
        QTRY_VERIFY2_WITH_TIMEOUT((encoderGroups = recordedPids(pidFile)).size() == 1,
                                  "the encoder did not start", 30000);

        // "Converting", then a percentage that grows: three pictures of a
        // dark yellow cell at least.
        QList<QImage> pictures;
        QImage shot;
        auto progressing = [&] {
            shot = grabWindow();
            const QList<Area> cells = statusCells(table(shot));
            if (cells.size() != 1 || cells[0].colour != converting)
                return false;
            const QImage picture = shot.copy(cells[0].area);
            if (!pictures.contains(picture))
                pictures << picture;
            return pictures.size() >= 3;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(progressing(),
                                  qPrintable(QString("the converting row showed %1 different texts; rows: %2")
                                                 .arg(pictures.size())
                                                 .arg(colourNames(statusCells(table(shot))).join(' '))),
                                  30000);
        CHECKED(keep(shot, "progress.png"));

        // From the keyboard. While a batch runs the menu's first entries are
        // disabled: it opens on Cancel, and Stop Now is the next one.
        QVERIFY(xdotool({"windowfocus", "--sync", window}));
        QVERIFY(xdotool({"key", "--clearmodifiers", "alt+c", "Down", "Return"}));
        QTRY_VERIFY2_WITH_TIMEOUT(colourNames(statusCells(table(shot = grabWindow())))
                                      == QStringList{QColor(failed).name()},
                                  qPrintable("Stop Now did not fail the row: "
                                             + colourNames(statusCells(table(shot))).join(' ')),
                                  10000);
        QTRY_VERIFY2_WITH_TIMEOUT(groupMembers(encoderGroups[0]).isEmpty(),
                                  qPrintable("the encoder still runs: " + describe(groupMembers(encoderGroups[0]))),
                                  10000);
        QVERIFY2(folderEntries(output).isEmpty(), qPrintable(folderEntries(output).join(", ")));
        QTRY_VERIFY2_WITH_TIMEOUT(statusBarInk(shot = grabWindow(), buttons) > 100,
                                  "no summary in the status bar after Stop Now", 10000);

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
        // wrapper alone would leave that child encoding. The wrapper's pid is
        // the id of its process group.
        const QString encoder = work + "/encoder.sh";
        CHECKED(writeRealTimeEncoder(encoder, pidFile, Start::Child));

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

    // A Ctrl+Q held since it quit another program (an xdotool whose target
    // window closed under it leaves keys held) repeats into the next window
    // once that is active, and must not quit it in the middle of its batch.
    void heldQuitKeysFromElsewhere()
    {
        const QString work = workFolder(home.dir.path());
        const QString input = work + "/in", output = work + "/out";
        // Encoded in real time, the batch lasts seconds of repeats.
        CHECKED(makeTwoTones(input, 3));
        const QString encoder = work + "/encoder.sh";
        CHECKED(writeRealTimeEncoder(encoder, work + "/pids", Start::Exec));
        CHECKED(writeSettings(encoder, output));

        CHECKED(start(QString()));
        QVERIFY(xdotool({"windowfocus", "--sync", window}));
        const auto release = qScopeGuard([] { xdotool({"keyup", "ctrl+q"}); });
        QVERIFY(xdotool({"keydown", "ctrl+q"}));
        CHECKED(expectExit(0));

        CHECKED(start(input));
        CHECKED(clickConvert(2));
        CHECKED(waitForBatch());
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
