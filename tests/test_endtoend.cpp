// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built program on a real X server as a user would: a folder of tones
// and a text file on its command line, Convert clicked, then the converted
// files and the colours of the window's status cells checked on a screenshot.
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

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    IsolatedHome home;
    QProcess program;
    QByteArray log;

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

        QSettings settings(home.configFile(), QSettings::IniFormat);
        settings.setValue("FFmpegBinary", QStandardPaths::findExecutable("ffmpeg"));
        settings.setValue("OutputFormat", "mp3");
        settings.setValue("OutputQualityArguments", "-q:a 2");
        settings.setValue("OutputDirectory", output + "/{sourcedir}");
        settings.setValue("Threads", 2);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);

        program.start(QUILLMERE_BINARY, {input});
        QVERIFY(program.waitForStarted());
        QString window;
        QVERIFY(xdotool({"search", "--sync", "--onlyvisible", "--all", "--pid",
                         QString::number(program.processId()), "--name", "^Quillmere$"},
                        &window));
        QVERIFY2(!window.contains('\n'), qPrintable(window));
        QTRY_VERIFY_WITH_TIMEOUT(logged("Dropped dir: \"" + input + "\""), 30000);

        // Convert is the first button of the bottom row, which lies within the
        // layout's 11-pixel margin of the window's lower left corner.
        QString geometry;
        QVERIFY(xdotool({"getwindowgeometry", "--shell", window}, &geometry));
        const QRegularExpressionMatch height = QRegularExpression("HEIGHT=(\\d+)").match(geometry);
        QVERIFY2(height.hasMatch(), qPrintable(geometry));
        const int margin = 11;
        QVERIFY(xdotool({"mousemove", "--window", window, QString::number(margin + 10),
                         QString::number(height.captured(1).toInt() - margin - 8), "click", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(logged(QString(" Items: %1").arg(tones.size() + 1)), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(logged("Done"), 120000);

        const QString converted = output + input;
        QStringList expected;
        for (const QString &tone : tones) {
            expected << QFileInfo(tone).completeBaseName() + ".mp3";
            QCOMPARE(probe(converted + "/" + expected.last(), "stream=codec_name"), QString("mp3"));
            QCOMPARE(probe(converted + "/" + expected.last(), "stream=codec_type"), QString("audio"));
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

        Display *display = XOpenDisplay(nullptr);
        QVERIFY(display);
        requestClose(display, window.toULong());
        XCloseDisplay(display);
        QVERIFY(program.waitForFinished(30000));
        log += program.readAllStandardError();
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                 log.right(900).constData());
    }

    void cleanup()
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
