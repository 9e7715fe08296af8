// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window tells of a batch while and after it runs, and what it
// takes from its menus, dialogs and keys: stand-in encoders where an ending
// needs a particular output, the real encoder for a real conversion.
#include "conversion/encoderarguments.h"
#include "conversiontestsupport.h"
#include "mainwindow/jobdetailsdialog.h"
#include "mainwindow/mainwindow.h"
#include "testsupport.h"
#include "windowparts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QtTest>

#include <algorithm>
#include <csignal>

// Takes the URLs the window hands to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { urls << url; }

public:
    QList<QUrl> urls;
};

// Whether a close event reached the window.
class CloseWatch : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        closed = closed || event->type() == QEvent::Close;
        return false;
    }
    bool closed = false;
};

// The window's parts that tell of a batch, besides the common ones.
struct FeedbackParts : WindowParts
{
    explicit FeedbackParts(const QWidget &window)
        : WindowParts(window)
        , time(window.findChild<QLabel *>(QStringLiteral("label_Time")))
        , summary(window.findChild<QLabel *>(QStringLiteral("label_Summary")))
        , window(window)
    {
    }

    QAction *action(const QString &name) const { return window.findChild<QAction *>("action_" + name); }
    QString toolTip(int row) const { return model->index(row, 0).data(Qt::ToolTipRole).toString(); }
    QString status(int row) const { return model->index(row, 0).data().toString(); }

    QStringList files() const
    {
        QStringList paths;
        for (int row = 0; row < model->rowCount(); ++row)
            paths << model->index(row, 1).data().toString();
        return paths;
    }

    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : table->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QLabel *time;
    QLabel *summary;
    const QWidget &window;
};

// A folder with inputs and a stand-in encoder, whose outputs go to out/.
struct Bench
{
    QTemporaryDir folder;

    QString path(const QString &name) const { return folder.path() + '/' + name; }
    QString out(const QString &name = QString()) const { return path("out") + (name.isEmpty() ? "" : "/" + name); }

    QString input(const QString &name)
    {
        writeFile(path(name), "x");
        return path(name);
    }

    // The settings of a fresh installation with this encoder; `body` finds
    // the input in $in and the output in $out.
    QString encoder(const QString &body)
    {
        const QString encoder = writeEncoder(
            folder.path(), "encoder", "prev=; for a; do [ \"$prev\" = -i ] && in=$a; prev=$a; done\n" + body);
        resetSettings(encoder, out());
        return encoder;
    }
};

static bool matches(const QString &pattern, const QString &text)
{
    return QRegularExpression(pattern).match(text).hasMatch();
}

// Whether two colours differ in no channel by more than a faint tint does.
static bool near(const QColor &one, const QColor &other)
{
    return qAbs(one.red() - other.red()) <= 40 && qAbs(one.green() - other.green()) <= 40
        && qAbs(one.blue() - other.blue()) <= 40;
}

static bool allEnded(const QStringList &pids)
{
    return std::all_of(pids.cbegin(), pids.cend(), [](const QString &pid) { return ::kill(pid.toInt(), 0) != 0; });
}

class TestWindowFeedback : public QObject
{
    Q_OBJECT

public:
    enum Ending { ExitCode, Signal, TrailerError, NoOutput, NotAudio, QuickExisting, Converted };
    Q_ENUM(Ending)
    enum Stopping { StopNow, CancelThenStopNow, CancelThenFinish };
    Q_ENUM(Stopping)
    enum Stage { Idle, Converting, Cancelled, Finished };
    Q_ENUM(Stage)
    enum Delegate { StatusDelegate, PlainDelegate };
    Q_ENUM(Delegate)
    enum Adding { AddFiles, AddFolder };
    Q_ENUM(Adding)

private:
    QTemporaryDir tree;
    QString base; // the temporary folder, without symbolic links in its path

    // Opens the row menu on `row` as a right-click there does.
    static QMenu *rowMenu(MainWindow &window, int row)
    {
        QTableView *table = WindowParts(window).table;
        emit table->customContextMenuRequested(table->visualRect(table->model()->index(row, 1)).center());
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }

    static QAction *menuAction(QMenu *menu, const QString &text)
    {
        const QList<QAction *> actions = menu->actions();
        const auto found = std::find_if(actions.cbegin(), actions.cend(),
                                        [&](const QAction *action) { return action->text() == text; });
        return found == actions.cend() ? nullptr : *found;
    }

    // Chooses `text` in an open menu with the keyboard.
    static void choose(QMenu *menu, const QString &text)
    {
        QVERIFY2(menu, "no menu opened");
        QPointer<QMenu> open = menu;
        QAction *action = menuAction(menu, text);
        QVERIFY2(action && action->isEnabled(), qPrintable(text + " cannot be chosen"));
        menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY2_WITH_TIMEOUT(open.isNull(), "the menu stayed open", 5000);
    }

    // Adds `rows` rows whose jobs are held and starts them on two threads.
    static void startHeld(MainWindow &window, HeldBatch &batch, int rows)
    {
        batch.prepare(rows, true);
        window.addPaths(batch.inputs);
        WindowParts(window).convert->click();
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 2, 10000);
    }

    static void activate(QWidget &window)
    {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    // The "Dropped" log lines that `add` makes.
    static QStringList droppedLines(const std::function<void()> &add)
    {
        LogCapture log([](const QString &line) { return line.startsWith("Dropped"); });
        add();
        return log.snapshot();
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        base = QDir(tree.path()).canonicalPath();
        QVERIFY(tree.isValid() && !base.isEmpty());
        for (const char *name : {"c.mp3", "a.mp3", ".hidden.mp3", "Sub/d.mp3", ".cache/x.mp3"})
            writeFile(base + "/Music/" + name, "x");
        QVERIFY(QFile::link(base + "/Music/a.mp3", base + "/Music/link.mp3"));
        QVERIFY(QFile::link(base + "/Music/Sub", base + "/Music/linkdir"));
    }

    // Each ending's tooltip, details and output folder, from one real batch.
    void endings_data()
    {
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("printed"); // by the stand-in, before `then`
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("lastLine"); // the encoder's, in a failure's tooltip
        QTest::addColumn<bool>("hasOutput");
        const QString invalid = "song.wav: Invalid data found when processing input";
        const QString trailer = "[out#0/mp3 @ 0x55d0] Error writing trailer of out.mp3: No space left on device";
        QTest::newRow("exit code") << ExitCode << "song.wav" << "Reading song.wav\n" + invalid + "\n" << "exit 1"
                                   << "Failed" << invalid + " (exit code 1)" << invalid << true;
        QTest::newRow("killed") << Signal << "song.wav" << "Press [q] to stop\nabout to crash\n" << "kill -KILL $$"
                                << "Failed" << "The encoder crashed (signal 9)" << "about to crash" << true;
        QTest::newRow("trailer") << TrailerError << "song.wav"
                                 << "size=      10kB time=00:00:01.00 bitrate=  81.9kbits/s\n" + trailer + "\n"
                                 << "echo x > \"$out\"" << "Failed" << "No space left on the device" << trailer << true;
        QTest::newRow("no output") << NoOutput << "song.wav" << "nothing written\n" << "exit 0" << "Failed"
                                   << "The encoder wrote no output" << "nothing written" << true;
        QTest::newRow("not audio") << NotAudio << "notes.txt" << "" << "exit 1" << "Skipped"
                                   << "Not an audio or video file" << "" << false;
        QTest::newRow("quick, output exists") << QuickExisting << "song.wav" << "" << "exit 1" << "Skipped"
                                              << "The output already exists (quick mode)" << "" << true;
        QTest::newRow("converted") << Converted << "tone.wav" << "" << "" << "Done" << "Converted" << "" << true;
        QTest::newRow("decoded with errors") << ExitCode << "song.wav" << "Error while decoding stream #0:0: x\n"
            << "echo x > \"$out\"" << "Done" << "Converted; decoded with errors: Error while decoding stream #0:0: x"
            << "" << true;
    }

    void endings()
    {
        QFETCH(Ending, ending);
        QFETCH(QString, input);
        QFETCH(QString, printed);
        QFETCH(QString, then);
        QFETCH(QString, status);
        QFETCH(QString, reason);
        QFETCH(QString, lastLine);
        QFETCH(bool, hasOutput);
        const auto settings = restoreSettingsLater();
        Bench bench;
        const QString inputPath = bench.path(input);
        const QString outputPath = bench.out(QFileInfo(input).completeBaseName() + ".mp3");
        QString encoder;
        if (ending == Converted) {
            encoder = QStandardPaths::findExecutable("ffmpeg");
            resetSettings(encoder, bench.out());
            QVERIFY(makeTone(inputPath, 0.5));
        } else {
            encoder = bench.encoder("printf '%s' '" + printed + "'\n" + then);
            bench.input(input);
        }
        if (ending == QuickExisting) {
            AppSettings::QuickConvertMode = true;
            writeFile(outputPath, "kept");
        }
        MainWindow window;
        const FeedbackParts parts(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.addPaths({inputPath});
        parts.convert->click();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 30000);

        QCOMPARE(parts.statuses(), QStringList{status});
        const QString tip = parts.toolTip(0);
        QVERIFY2(tip.contains("<b>" + status + "</b>: " + reason.toHtmlEscaped()), qPrintable(tip));
        QCOMPARE(tip.contains("Output: " + outputPath), hasOutput);
        QCOMPARE(tip.contains("The encoder's last lines:"), !lastLine.isEmpty());
        QVERIFY2(tip.contains(lastLine.toHtmlEscaped()), qPrintable(tip));

        QMenu *menu = rowMenu(window, 0);
        QVERIFY(menu);
        QCOMPARE(menuAction(menu, "Open Output Folder")->isEnabled(), hasOutput);
        choose(menu, "Show Details…");
        auto *dialog = window.findChild<QDialog *>("JobDetailsDialog");
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), "Details: " + input);
        const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
        QVERIFY(std::any_of(labels.cbegin(), labels.cend(),
                            [&](const QLabel *label) { return label->text() == status + ": " + reason; }));
        auto *command = dialog->findChild<QPlainTextEdit *>("plainTextEdit_Command");
        auto *output = dialog->findChild<QPlainTextEdit *>("plainTextEdit_Output");
        QVERIFY(command && output);
        if (ending == NotAudio || ending == QuickExisting) {
            QCOMPARE(command->toPlainText(), QString("No encoder ran for this file."));
        } else {
            QVERIFY2(command->toPlainText().startsWith(encoder + ' '), qPrintable(command->toPlainText()));
            QVERIFY2(command->toPlainText().contains(" -i " + inputPath + ' '), qPrintable(command->toPlainText()));
        }
        if (ending == Converted)
            QVERIFY2(output->toPlainText().contains("Duration: 00:00:00.50"), qPrintable(output->toPlainText()));
        else
            QCOMPARE(output->toPlainText(), printed);
        QVERIFY(command->isReadOnly() && output->isReadOnly());

        UrlCatcher desktop;
        QDesktopServices::setUrlHandler("file", &desktop, "openUrl");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("file"); });
        if (hasOutput) {
            choose(rowMenu(window, 0), "Open Output Folder");
            QCOMPARE(desktop.urls, QList<QUrl>{QUrl::fromLocalFile(bench.out())});
        }

        // A row that has not run has nothing to show.
        window.addPaths({inputPath});
        menu = rowMenu(window, 1);
        QVERIFY(menu);
        QVERIFY(!menuAction(menu, "Show Details…")->isEnabled());
        QVERIFY(!menuAction(menu, "Open Output Folder")->isEnabled());
        QCOMPARE(parts.toolTip(1), QString());
        menu->close();

        // Monospace as drawn, whatever the font database calls the family.
        for (QPlainTextEdit *text : {command, output})
            QVERIFY2(text->fontMetrics().horizontalAdvance("iii") == text->fontMetrics().horizontalAdvance("MMM"),
                     qPrintable(QFontInfo(text->font()).family()));
    }

    // What the user copies of the details' command line is the line as quoted.
    void detailsCommandCopy()
    {
        JobReport report;
        report.inputPath = "/in/a\u00a0b\u2002\u3000c\u2028d\u2029e\rf\x01.flac";
        report.commandLine = shellCommandLine("ffmpeg", {"-i", report.inputPath});
        JobDetailsDialog dialog(report);
        auto *command = dialog.findChild<QPlainTextEdit *>("plainTextEdit_Command");
        QVERIFY(command);
        command->selectAll();
        command->copy();
        QCOMPARE(QApplication::clipboard()->text(), report.commandLine);
    }

    // The percentage from the encoder's own output, the clock beside the
    // bar, and no tooltip left from the row's earlier run.
    void percentAndTime()
    {
        const auto settings = restoreSettingsLater();
        Bench bench;
        const QString first = bench.path("first"), second = bench.path("second");
        bench.encoder("printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 1411 kb/s\\n'\n"
                      "until [ -e " + first + " ]; do printf 'size=  10kB time=00:00:04.20 bitrate=  19.5kbits/s\\r'; sleep 0.1; done\n"
                      "until [ -e " + second + " ]; do printf 'size=  20kB time=00:00:07.50 bitrate=  21.8kbits/s\\r'; sleep 0.1; done\n"
                      "echo done > \"$out\"");
        MainWindow window;
        const FeedbackParts parts(window);
        window.show();
        window.addPaths({bench.input("long.wav")});
        writeFile(first, "");
        writeFile(second, "");
        parts.convert->click();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the first batch did not end", 10000);
        QVERIFY(parts.toolTip(0).contains("Converted"));

        QFile::remove(first);
        QFile::remove(second);
        parts.convert->click();
        QVERIFY(parts.time->isVisible());
        QCOMPARE(parts.time->text(), QString("Elapsed 0:00"));
        QTRY_COMPARE_WITH_TIMEOUT(parts.status(0), QString("Converting 42 %"), 10000);
        QCOMPARE(parts.toolTip(0), QString());
        writeFile(first, "");
        QTRY_COMPARE_WITH_TIMEOUT(parts.status(0), QString("Converting 75 %"), 10000);
        // 7.5 of 10 s in 3 s or more of work: a third of that is left.
        QTRY_VERIFY2_WITH_TIMEOUT(matches("^Elapsed 0:0[3-9], about 0:0[1-3] left$", parts.time->text()),
                                  qPrintable(parts.time->text()), 10000);
        writeFile(second, "");
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the second batch did not end", 10000);
        QCOMPARE(parts.statuses(), QStringList{"Done"});
        QVERIFY(parts.time->isHidden());
        QVERIFY(parts.toolTip(0).contains("Converted"));
    }

    // The summary's counts and its link, then only the failed rows again.
    void summaryAndFailedAgain()
    {
        const auto settings = restoreSettingsLater();
        Bench bench;
        const QString runs = bench.path("runs"), fixed = bench.path("fixed");
        bench.encoder("echo \"$in\" >> " + runs + "\ncase \"$in\" in *bad*) [ -e " + fixed
                      + " ] || { echo \"$in: broken\"; exit 1; };;\n"
                        "*c.wav) echo 'Error while decoding stream #0:0: x';; esac\necho x > \"$out\"");
        QStringList inputs;
        for (const char *name : {"a.wav", "bad1.wav", "bad2.wav", "notes.txt", "c.wav", "bad3.wav"})
            inputs << bench.input(name);
        MainWindow window;
        const FeedbackParts parts(window);
        window.show();
        window.addPaths(inputs);
        parts.convert->click();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 30000);
        QCOMPARE(parts.statuses(), (QStringList{"Done", "Failed", "Failed", "Skipped", "Done", "Failed"}));
        QVERIFY2(matches("^Finished in 0:\\d\\d: 2 done, 1 skipped, <a href=\"failed\">3 failed</a>, "
                         "1 with decode errors$",
                         parts.summary->text()),
                 qPrintable(parts.summary->text()));

        parts.table->selectRow(0);
        emit parts.summary->linkActivated("failed");
        QCOMPARE(parts.selectedRows(), (QList<int>{1, 2, 5}));
        QCOMPARE(parts.table->selectionModel()->selectedIndexes().size(), 3 * parts.model->columnCount());

        auto *convertMenu = window.findChild<QMenu *>("menu_Convert");
        emit convertMenu->aboutToShow();
        QVERIFY(parts.action("ConvertFailed")->isEnabled());
        writeFile(fixed, "");
        QVERIFY(QFile::remove(runs));
        parts.action("ConvertFailed")->trigger();
        QVERIFY(parts.converting());
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the second batch did not end", 30000);
        QCOMPARE(parts.statuses(), (QStringList{"Done", "Done", "Done", "Skipped", "Done", "Done"}));
        QFile log(runs);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QStringList ran = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
        ran.sort();
        QCOMPARE(ran, (QStringList{inputs[1], inputs[2], inputs[5]}));
        QVERIFY2(matches("^Finished in 0:\\d\\d: 3 done, 0 skipped, 0 failed$", parts.summary->text()),
                 qPrintable(parts.summary->text()));
        QVERIFY(parts.toolTip(1).contains("Converted"));
        emit convertMenu->aboutToShow();
        QVERIFY(!parts.action("ConvertFailed")->isEnabled());
    }

    // Two of four rows running when the batch is cut short.
    void stopping_data()
    {
        QTest::addColumn<Stopping>("stopping");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("summary");
        const QString stopped = "^Stopped after 0:\\d\\d: 0 done, 0 skipped, <a href=\"failed\">2 failed</a>; "
                                "2 not converted$";
        QTest::newRow("stop now") << StopNow << QStringList{"Failed", "Failed", "Pending", "Pending"} << "Stopped"
                                  << stopped;
        QTest::newRow("cancel, then stop now") << CancelThenStopNow
                                               << QStringList{"Failed", "Failed", "Pending", "Pending"} << "Stopped"
                                               << stopped;
        QTest::newRow("cancel") << CancelThenFinish << QStringList{"Done", "Done", "Pending", "Pending"}
                                << "Converted" << "^Cancelled after 0:\\d\\d: 2 done, 0 skipped, 0 failed; 2 not converted$";
    }

    void stopping()
    {
        QFETCH(Stopping, stopping);
        QFETCH(QStringList, statuses);
        QFETCH(QString, reason);
        QFETCH(QString, summary);
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const FeedbackParts parts(window);
        HeldBatch batch;
        startHeld(window, batch, 4);
        if (stopping != StopNow) {
            parts.action("Cancel")->trigger();
            QCOMPARE(parts.summary->text(), QString("Cancelled: waiting for the files being converted to finish. "
                                                    "Stop Now in the Convert menu stops them at once."));
            QVERIFY(parts.converting());
        }
        if (stopping == CancelThenFinish) {
            batch.release();
            QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the cancelled batch did not end", 10000);
        } else {
            QElapsedTimer clock;
            clock.start();
            parts.action("StopNow")->trigger();
            QVERIFY2(parts.idle(), "the window still converts after Stop Now");
            QVERIFY2(clock.elapsed() < 10000, qPrintable(QString("Stop Now took %1 ms").arg(clock.elapsed())));
        }
        QCOMPARE(parts.statuses(), statuses);
        for (int row = 0; row < 4; ++row) {
            const QString tip = parts.toolTip(row);
            QVERIFY2(row < 2 ? tip.contains("<b>" + statuses[row] + "</b>: " + reason) : tip.isEmpty(),
                     qPrintable(QString("row %1: %2").arg(row).arg(tip)));
        }
        QVERIFY2(matches(summary, parts.summary->text()), qPrintable(parts.summary->text()));
        QCOMPARE(batch.started().size(), 2);
        QVERIFY2(allEnded(batch.started()), qPrintable("encoders left: " + batch.started().join(' ')));
    }

    void actionStates_data()
    {
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<QStringList>("enabled");
        const QStringList idle{"AddFiles", "AddFolder", "Quit", "Convert", "Remove"};
        QTest::newRow("idle") << Idle << idle;
        QTest::newRow("converting") << Converting << QStringList{"Quit", "Cancel", "StopNow"};
        QTest::newRow("cancelled") << Cancelled << QStringList{"Quit", "StopNow"};
        QTest::newRow("finished") << Finished << idle;
    }

    void actionStates()
    {
        QFETCH(Stage, stage);
        QFETCH(QStringList, enabled);
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const FeedbackParts parts(window);
        HeldBatch batch;
        if (stage == Idle) {
            batch.prepare(3, true);
            window.addPaths(batch.inputs);
        } else {
            startHeld(window, batch, 3);
        }
        if (stage == Cancelled)
            parts.action("Cancel")->trigger();
        if (stage == Finished) {
            batch.release();
            QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 10000);
        }
        emit window.findChild<QMenu *>("menu_Convert")->aboutToShow();
        QStringList found;
        for (const char *name : {"AddFiles", "AddFolder", "Quit", "Convert", "ConvertFailed", "Cancel", "StopNow", "Remove"}) {
            QVERIFY2(parts.action(name), name);
            if (parts.action(name)->isEnabled())
                found << name;
        }
        QCOMPARE(found, enabled);
        batch.release();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 10000);
    }

    // A selected Failed row still shows its red, inside the highlight's frame.
    void selectedFailedRow_data()
    {
        QTest::addColumn<Delegate>("delegate");
        QTest::newRow("status delegate") << StatusDelegate;
        // Shows that the check can fail: a plain delegate fills the cell with the highlight.
        QTest::newRow("plain delegate") << PlainDelegate;
    }

    void selectedFailedRow()
    {
        QFETCH(Delegate, delegate);
        const auto settings = restoreSettingsLater();
        Bench bench;
        bench.encoder("exit 3");
        MainWindow window;
        const FeedbackParts parts(window);
        activate(window);
        window.addPaths({bench.input("a.wav"), bench.input("b.wav")});
        parts.convert->click();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 10000);
        QCOMPARE(parts.statuses(), (QStringList{"Failed", "Failed"}));
        if (delegate == PlainDelegate)
            parts.table->setItemDelegateForColumn(0, new QStyledItemDelegate(parts.table));
        parts.table->setFocus();
        parts.table->selectRow(0);

        const QImage image = parts.table->viewport()->grab().toImage();
        const QColor red(Qt::red);
        const QColor highlight = parts.table->palette().color(QPalette::Active, QPalette::Highlight);
        QVERIFY(!near(highlight, red));
        const QRect selected = parts.table->visualRect(parts.model->index(0, 0));
        const QRect other = parts.table->visualRect(parts.model->index(1, 0));
        // The style tints the cell with the keyboard focus a little.
        const QColor inside = image.pixelColor(selected.left() + 6, selected.center().y());
        QVERIFY2(near(inside, delegate == StatusDelegate ? red : highlight), qPrintable(inside.name()));
        const QColor edge = image.pixelColor(selected.left() + 1, selected.center().y());
        QVERIFY2(near(edge, highlight), qPrintable(edge.name()));
        QCOMPARE(image.pixelColor(other.left() + 6, other.center().y()), red);
    }

    // The dialogs start in the remembered folder and add as a drop does.
    void addDialogs_data()
    {
        QTest::addColumn<Adding>("adding");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("files") << AddFiles << "\"Music/c.mp3\" \"Music/a.mp3\""
                               << QStringList{"Music/c.mp3", "Music/a.mp3"} << QStringList{"Music/c.mp3", "Music/a.mp3"};
        // Hidden files and links are left out.
        QTest::newRow("folder") << AddFolder << "Music" << QStringList{"Music"}
                                << QStringList{"Music/a.mp3", "Music/c.mp3", "Music/Sub/d.mp3"};
    }

    void addDialogs()
    {
        QFETCH(Adding, adding);
        QFETCH(QString, typed);
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, rows);
        const QString key = "LastAddFolder";
        const auto restore = qScopeGuard([key, remembered = QSettings().value(key)] {
            if (remembered.isValid())
                QSettings().setValue(key, remembered);
            else
                QSettings().remove(key);
        });
        QSettings().setValue(key, base);
        for (QString &path : chosen)
            path.prepend(base + '/');
        for (QString &path : rows)
            path.prepend(base + '/');
        const QString name = adding == AddFiles ? "AddFiles" : "AddFolder";

        MainWindow window;
        const FeedbackParts parts(window);
        window.show();
        const QStringList viaDialog = droppedLines([&] {
            parts.action(name)->trigger();
            QPointer<QFileDialog> dialog = window.findChild<QFileDialog *>("fileDialog_" + name);
            QVERIFY(dialog && dialog->isVisible());
            QCOMPARE(dialog->directory().absolutePath(), base);
            auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
            QVERIFY(edit);
            edit->setText(typed);
            static_cast<QDialog *>(dialog.data())->accept();
            QTRY_VERIFY2_WITH_TIMEOUT(dialog.isNull(), "the dialog stayed", 5000);
        });
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(parts.files(), rows);
        MainWindow plain;
        QCOMPARE(viaDialog, droppedLines([&] { plain.addPaths(chosen); }));
        QCOMPARE(FeedbackParts(plain).files(), rows);

        QCOMPARE(QSettings().value(key).toString(), base + "/Music");
        parts.action(name)->trigger();
        QPointer<QFileDialog> again = window.findChild<QFileDialog *>("fileDialog_" + name);
        QVERIFY(again);
        QCOMPARE(again->directory().absolutePath(), base + "/Music");
        again->reject();
        QTRY_VERIFY2_WITH_TIMEOUT(again.isNull(), "the dialog stayed", 5000);
    }

    // Delete removes the selected rows, Ctrl+Q closes the window; in a batch
    // the rows stay and closing stops the encoders.
    void keys_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("converting");
        QTest::addColumn<QList<int>>("remaining");
        QTest::addColumn<bool>("closes");
        const QKeySequence del(Qt::Key_Delete), quit(Qt::CTRL | Qt::Key_Q);
        QTest::newRow("Delete") << del << false << QList<int>{0, 2} << false;
        QTest::newRow("Delete while converting") << del << true << QList<int>{0, 1, 2, 3} << false;
        QTest::newRow("Ctrl+Q") << quit << false << QList<int>{0, 1, 2, 3} << true;
        QTest::newRow("Ctrl+Q while converting") << quit << true << QList<int>{0, 1, 2, 3} << true;
    }

    void keys()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(bool, converting);
        QFETCH(QList<int>, remaining);
        QFETCH(bool, closes);
        const auto settings = restoreSettingsLater();
        HeldBatch batch;
        MainWindow window;
        const FeedbackParts parts(window);
        CloseWatch watch;
        window.installEventFilter(&watch);
        activate(window);
        startHeld(window, batch, 4);
        if (!converting) {
            batch.release();
            QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 10000);
        }
        for (int row : {1, 3})
            parts.table->selectionModel()->select(parts.model->index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        parts.table->setFocus();
        QVERIFY(parts.table->hasFocus());

        QTest::keySequence(parts.table, keys);

        QCOMPARE(watch.closed, closes);
        QCOMPARE(window.isVisible(), !closes);
        QStringList expected;
        for (int row : remaining)
            expected << batch.inputs[row];
        QCOMPARE(parts.files(), expected);
        if (closes) {
            QVERIFY(parts.idle());
            QVERIFY2(allEnded(batch.started()), qPrintable("encoders left: " + batch.started().join(' ')));
        } else if (converting) {
            batch.release();
            QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 10000);
        }
    }
};

int main(int argc, char **argv)
{
    IsolatedHome home;
    QApplication app(argc, argv);
    app.setOrganizationName("QuillmereTests");
    app.setApplicationName("Quillmere");
    TestWindowFeedback test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_windowfeedback.moc"
