// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversiontestsupport.h"
#include "mainwindow/jobtable.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rowremoval.h"
#include "settings/appsettings.h"
#include "testsupport.h"
#include "windowparts.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScopeGuard>
#include <QStandardItemModel>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <csignal>
#include <memory>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tree;
    QString base; // the temporary folder, without symbolic links in its path
    QString root; // the music tree inside it

    static QStringList files(MainWindow &window)
    {
        const WindowParts parts(window);
        QStringList paths;
        for (int row = 0; row < parts.model->rowCount(); ++row)
            paths.append(parts.model->index(row, 1).data().toString());
        return paths;
    }

    // What a job's report does to the table.
    static void reportStatus(MainWindow &window, int id, FFmpegTask::ConvertStatus status)
    {
        QVERIFY(QMetaObject::invokeMethod(&window, "onStatusChange", Qt::DirectConnection, Q_ARG(int, id),
                                          Q_ARG(JobStatus::ConvertStatus, status)));
    }

    // Adds one row whose job is held, and starts the batch.
    static void startHeldBatch(MainWindow &window, HeldBatch &batch)
    {
        batch.prepare(1, true);
        window.addPaths(batch.inputs);
        window.convert();
        QVERIFY(WindowParts(window).converting());
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 1, 10000);
    }

    static void finishHeldBatch(MainWindow &window, HeldBatch &batch)
    {
        batch.release();
        QTRY_VERIFY2_WITH_TIMEOUT(WindowParts(window).idle(), "the batch did not end", 10000);
    }

    static void touch(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    // Drags `urls` over the window and drops them; `between` may start a batch.
    // Returns whether the drag enter and the drop were accepted.
    static QPair<bool, bool> drop(MainWindow &window, const QList<QUrl> &urls, const std::function<void()> &between)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        between();
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &dropped);
        return {enter.isAccepted(), dropped.isAccepted()};
    }

    // Every role of every cell, one line a row, so a mismatch names the row and the role.
    static QStringList rowContents(const QAbstractItemModel &model)
    {
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model.columnCount(); ++column) {
                const QMap<int, QVariant> roles = model.itemData(model.index(row, column));
                QStringList values;
                for (auto role = roles.cbegin(); role != roles.cend(); ++role)
                    values << QString("%1=%2:%3").arg(role.key()).arg(role->typeName(), role->toString());
                cells << values.join(' ');
            }
            rows << cells.join(" | ");
        }
        return rows;
    }

    // Row `row` of a job table: distinct texts in both columns and a distinct
    // background and one of four alignments in the first.
    static QList<QStandardItem *> tableRow(int row)
    {
        static const Qt::Alignment alignments[] = {Qt::AlignCenter, Qt::AlignLeft | Qt::AlignVCenter,
                                                   Qt::AlignRight | Qt::AlignVCenter, Qt::AlignHCenter | Qt::AlignTop};
        auto *status = new QStandardItem(QString("status %1").arg(row));
        status->setData(QColor(row % 256, row / 256, 128), Qt::BackgroundRole);
        status->setData(int(alignments[row % 4]), Qt::TextAlignmentRole);
        return {status, new QStandardItem(QString("/music/%1.flac").arg(row))};
    }

    struct Box
    {
        QString title, text;
        int buttons = 0;
        QWidget *parent = nullptr;
    };

    // Presses Convert and reads, then closes, the message box it shows.
    static Box convertExpectingBox(MainWindow &window)
    {
        Box box;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                box = {shown->windowTitle(), shown->text(), int(shown->buttons().size()), shown->parentWidget()};
                shown->button(QMessageBox::Ok)->click();
            }
        });
        poll.start(10);
        WindowParts(window).convert->click();
        return box;
    }

    // A file outside the music tree for row `row` of a long table.
    QString rowFile(int row) const { return base + QString("/rows/%1.mp3").arg(row); }

    static constexpr QPoint clickPos{40, 12};

    // Right-clicks the table; returns the menu that opened, if any.
    static QMenu *rightClick(MainWindow &window)
    {
        QWidget *viewport = WindowParts(window).table->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, clickPos, viewport->mapToGlobal(clickPos));
        QApplication::sendEvent(viewport, &event);
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }

    // Opens the row menu and chooses Remove with the keyboard; the menu must not outlive its use.
    static void removeSelected(MainWindow &window)
    {
        QPointer<QMenu> menu = rightClick(window);
        QVERIFY(menu);
        QCOMPARE(menu->pos(), WindowParts(window).table->viewport()->mapToGlobal(clickPos));
        const QList<QAction *> actions = menu->actions();
        const auto remove = std::find_if(actions.cbegin(), actions.cend(),
                                         [](const QAction *action) { return action->text() == "Remove"; });
        QVERIFY2(remove != actions.cend(), "the row menu has no Remove");
        QVERIFY((*remove)->isEnabled());
        menu->setActiveAction(*remove);
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY(menu.isNull());
    }

private slots:
    void initTestCase()
    {
        base = QDir(tree.path()).canonicalPath();
        QVERIFY(tree.isValid() && !base.isEmpty());
        root = base + "/Music";
        for (const char *name : {"c.mp3", "B.mp3", "a.mp3", "z.wav", ".hidden.mp3", "Sub/d.mp3",
                                 "Sub/deeper/e.mp3", "a_dir/f.mp3", "a_dir/inner/g.mp3",
                                 ".cache/x.mp3", "empty/.keep"})
            touch(root + "/" + name);
        QVERIFY(QFile::link(root + "/a.mp3", root + "/link.mp3"));
        QVERIFY(QFile::link(root + "/Sub", root + "/linkdir"));
        QCOMPARE(mkfifo(QFile::encodeName(root + "/fifo.mp3").constData(), 0600), 0);
        QVERIFY(QFile::link(root, tree.path() + "/MusicLink"));
        QVERIFY(QFile::link(root + "/a.mp3", tree.path() + "/song-link.mp3"));
        for (int row = 0; row < 300; ++row)
            touch(rowFile(row));
    }

    void initialState()
    {
        MainWindow window;
        window.show();
        QCOMPARE(window.size(), QSize(700, 500));
        QCOMPARE(window.windowTitle(), QString("Quillmere"));
        const WindowParts parts(window);
        QVERIFY(parts.found());
        QVERIFY(parts.help->isVisible());
        QCOMPARE(parts.help->text(), QString("Drop files or folders here, or use Add Files"));
        QVERIFY(!parts.table->isVisible());
        QVERIFY(!parts.progress->isVisible());
        const QList<QPushButton *> buttons = window.centralWidget()->findChildren<QPushButton *>();
        QStringList texts;
        for (QPushButton *button : buttons)
            texts << button->text() + (button->isEnabled() ? "" : " (disabled)");
        QCOMPARE(texts, (QStringList{"Convert", "Cancel (disabled)", "Clear", "Settings", "About"}));
        QCOMPARE(parts.table->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(parts.table->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(parts.table->horizontalHeader()->stretchLastSection());
        QCOMPARE(parts.model->headerData(0, Qt::Horizontal).toString(), QString("Status"));
        QCOMPARE(parts.model->headerData(1, Qt::Horizontal).toString(), QString("File"));
    }

    void intake_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("addedFolders"); // empty: `paths` is one folder, of every row
        const QString &r = root;
        const QString link = base + "/MusicLink";
        const QStringList walked{"/a.mp3", "/B.mp3", "/c.mp3", "/z.wav", "/a_dir/f.mp3",
                                 "/a_dir/inner/g.mp3", "/Sub/d.mp3", "/Sub/deeper/e.mp3"};
        QStringList underRoot, underLink;
        for (const QString &path : walked) {
            underRoot << r + path;
            underLink << link + path;
        }
        QTest::newRow("tree") << QStringList{r} << underRoot << QStringList();
        QTest::newRow("link to a folder") << QStringList{link} << underLink << QStringList();
        QTest::newRow("link to a file, file twice, missing, fifo, empty folder")
            << QStringList{base + "/song-link.mp3", r + "/z.wav",
                           r + "/nothing.mp3", r + "/fifo.mp3", r + "/empty", "", r + "/z.wav"}
            << QStringList{base + "/song-link.mp3", r + "/z.wav",
                           r + "/z.wav"}
            << QStringList{"", "", ""};
        QTest::newRow("relative") << QStringList{"Music/Sub/../c.mp3", "Music/Sub"}
                                  << QStringList{r + "/c.mp3", r + "/Sub/d.mp3", r + "/Sub/deeper/e.mp3"}
                                  << QStringList{"", r + "/Sub", r + "/Sub"};
    }

    void intake()
    {
        QFETCH(QStringList, paths);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, addedFolders);
        const QString current = QDir::currentPath();
        const auto restoreCurrent = qScopeGuard([current] { QDir::setCurrent(current); });
        QVERIFY(QDir::setCurrent(base));
        MainWindow window;
        const WindowParts parts(window);
        window.addPaths(paths);
        QCOMPARE(files(window), rows);
        while (addedFolders.size() < rows.size())
            addedFolders << paths.first();
        QCOMPARE(static_cast<JobTable *>(parts.model)->addedFolders({}), addedFolders);
        QVERIFY(!parts.table->isHidden());
        QVERIFY(parts.help->isHidden());
        for (int row = 0; row < parts.model->rowCount(); ++row) {
            const QModelIndex status = parts.model->index(row, 0);
            QCOMPARE(status.data().toString(), QString("Pending"));
            QCOMPARE(status.data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
            QCOMPARE(status.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        }
    }

    void statusDisplay_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("converting") << int(FFmpegTask::Converting) << "Converting" << QColor(Qt::darkYellow);
        QTest::newRow("failed") << int(FFmpegTask::Failed) << "Failed" << QColor(Qt::red);
        QTest::newRow("skipped") << int(FFmpegTask::Skipped) << "Skipped" << QColor(Qt::blue);
        QTest::newRow("done") << int(FFmpegTask::Done) << "Done" << QColor(Qt::green);
        QTest::newRow("out of range") << int(FFmpegTask::Done) + 1 << "Pending" << QColor(Qt::yellow);
    }

    void statusDisplay()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        MainWindow window;
        const WindowParts parts(window);
        window.addPaths({root + "/a.mp3"});
        reportStatus(window, 1, FFmpegTask::ConvertStatus(status));
        reportStatus(window, 8, FFmpegTask::Done); // no such row
        QCOMPARE(parts.model->rowCount(), 1);
        QCOMPARE(parts.model->index(0, 0).data().toString(), text);
        QCOMPARE(parts.model->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), colour);
        // Readable, as the web's accessibility guidelines count contrast.
        const auto luminance = [](const QColor &c) {
            const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
        };
        const double fore = luminance(parts.model->index(0, 0).data(Qt::ForegroundRole).value<QColor>());
        const double back = luminance(colour);
        QVERIFY2((qMax(fore, back) + 0.05) / (qMin(fore, back) + 0.05) >= 4.5, "text hard to read on its colour");
    }

    // Two inputs of one name into one folder: the later row's output is
    // numbered, marked, and counted in the status bar before Convert.
    void outputColumn()
    {
        AppSettings::OutputDirectory = base + "/out";
        AppSettings::OutputFormat = "mp3";
        for (const QString folder : {"/one", "/twin"}) {
            QDir().mkpath(base + folder);
            QFile file(base + folder + "/a.wav");
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4);
        }
        MainWindow window;
        const WindowParts parts(window);
        QAbstractItemModelTester tester(parts.model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        window.addPaths({base + "/one/a.wav", base + "/twin"});
        QCOMPARE(parts.model->headerData(2, Qt::Horizontal).toString(), QString("Output"));
        QTRY_VERIFY2_WITH_TIMEOUT(!parts.model->index(1, 2).data().toString().isEmpty(),
                                  "the Output column was not filled", 10000);
        QCOMPARE(parts.model->index(0, 2).data().toString(), base + "/out/a.mp3");
        QCOMPARE(parts.model->index(1, 2).data().toString(), base + "/out/a (2).mp3");
        QVERIFY(parts.model->index(0, 2).data(Qt::ForegroundRole).isNull());
        QVERIFY(!parts.model->index(1, 2).data(Qt::ForegroundRole).isNull());
        const auto *summary = window.findChild<QLabel *>("label_Summary");
        QTRY_COMPARE_WITH_TIMEOUT(summary->text(), QString("1 row collides"), 10000);
        QCOMPARE(window.findChild<QLabel *>("label_Destination")->text(), "MP3 (.mp3) into " + base + "/out");
    }

    void drops_data()
    {
        QTest::addColumn<bool>("convertingAtEnter");
        QTest::addColumn<bool>("convertingAtDrop");
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<int>("addedRows");
        const QList<QUrl> urls{QUrl::fromLocalFile(root + "/z.wav"), QUrl("https://example.org/a.mp3"),
                               QUrl::fromLocalFile(root + "/Sub")};
        QTest::newRow("idle") << false << false << urls << 3;
        QTest::newRow("web link only") << false << false << QList<QUrl>{QUrl("https://example.org/")} << 0;
        QTest::newRow("converting") << true << true << urls << 0;
        QTest::newRow("batch started during the drag") << false << true << urls << 0;
    }

    void drops()
    {
        QFETCH(bool, convertingAtEnter);
        QFETCH(bool, convertingAtDrop);
        QFETCH(QList<QUrl>, urls);
        QFETCH(int, addedRows);
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const WindowParts parts(window);
        // A running batch needs a row of its own, so the table shows before the drop.
        HeldBatch batch;
        if (convertingAtEnter)
            startHeldBatch(window, batch);
        const QPair<bool, bool> accepted = drop(window, urls, [&] {
            if (convertingAtDrop && !convertingAtEnter)
                startHeldBatch(window, batch);
        });
        QCOMPARE(accepted.first, !convertingAtEnter);
        QCOMPARE(accepted.second, !convertingAtDrop);
        QCOMPARE(parts.model->rowCount() - batch.inputs.size(), addedRows);
        QVERIFY(!parts.table->isHidden());
        if (convertingAtDrop)
            finishHeldBatch(window, batch);

        QMimeData text;
        text.setText("not a file");
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QVERIFY(!enter.isAccepted());
    }

    void removeRows_data()
    {
        QTest::addColumn<QList<int>>("clicks"); // negative: Ctrl-click, with Shift: +100
        QTest::addColumn<QList<int>>("remaining");
        QTest::newRow("ctrl selection") << QList<int>{5, -2} << QList<int>{0, 1, 3, 4, 6, 7};
        QTest::newRow("range") << QList<int>{1, 103} << QList<int>{0, 4, 5, 6, 7};
        QTest::newRow("nothing selected") << QList<int>{} << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
    }

    void removeRows()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QList<int>, remaining);
        MainWindow window;
        const WindowParts parts(window);
        window.show();
        QStringList paths;
        for (int i = 0; i < 8; ++i)
            paths << rowFile(i);
        window.addPaths(paths);
        QTableView *view = parts.table;
        for (int click : clicks) {
            const Qt::KeyboardModifiers modifiers = click < 0 ? Qt::ControlModifier
                                                  : click >= 100 ? Qt::ShiftModifier
                                                                 : Qt::NoModifier;
            const int row = click < 0 ? -click : click % 100;
            QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                              view->visualRect(parts.model->index(row, 1)).center());
        }
        removeSelected(window);
        QStringList expected;
        for (int row : remaining)
            expected << paths[row];
        QCOMPARE(files(window), expected);
    }

    void removeModelRows_data()
    {
        QTest::addColumn<int>("tableRows");
        QTest::addColumn<QList<int>>("rows");
        auto every = [](int step, int first, int end) {
            QList<int> rows;
            for (int row = first; row < end; row += step)
                rows << row;
            return rows;
        };
        QTest::newRow("none") << 10 << QList<int>{};
        QTest::newRow("one row") << 10 << QList<int>{4};
        QTest::newRow("first row") << 10 << QList<int>{0};
        QTest::newRow("last row") << 10 << QList<int>{9};
        QTest::newRow("contiguous block") << 10 << QList<int>{3, 4, 5, 6};
        QTest::newRow("repeats, unsorted") << 10 << QList<int>{7, 2, 7, 5, 2, 0};
        QTest::newRow("out of range and negative ignored")
            << 10 << QList<int>{-1, 10, 3, 42, INT_MIN, INT_MAX};
        QTest::newRow("out of range next to the first and last row") << 10 << QList<int>{-1, 0, 9, 10};
        QTest::newRow("only out of range") << 10 << QList<int>{-3, 10};
        QTest::newRow("empty table") << 0 << QList<int>{0, -1};
        QTest::newRow("few ranges with first and last")
            << 30 << QList<int>{29, 0, 1, 10, 11, 12, 20};
        QTest::newRow("16 ranges") << 40 << every(2, 1, 32);
        QTest::newRow("17 ranges") << 40 << every(2, 1, 34);
        // The model tester checks the whole model after every change, so these stay small.
        QTest::newRow("every third of 300") << 300 << every(3, 0, 300);
        QTest::newRow("every other, last row removed") << 120 << every(2, 1, 120);
        QList<int> mixed = every(7, 5, 200) + QList<int>{-1, 60, 61, 62, 63, 64, 199, 12, 199, -5, 200};
        std::reverse(mixed.begin(), mixed.end());
        QTest::newRow("scattered with blocks, repeats and out of range") << 200 << mixed;
        QList<int> allButEveryFifth;
        for (int row = 0; row < 100; ++row)
            if (row % 5 != 2)
                allButEveryFifth << row;
        QTest::newRow("all but every fifth") << 100 << allButEveryFifth;
        QTest::newRow("all rows") << 10 << every(1, 0, 10);
        QList<int> allInHalves = every(2, 0, 60) + every(2, 1, 60);
        std::reverse(allInHalves.begin(), allInHalves.end());
        QTest::newRow("all rows as 30 ranges, then 30 more") << 60 << allInHalves;
    }

    void removeModelRows()
    {
        QFETCH(int, tableRows);
        QFETCH(QList<int>, rows);
        QStandardItemModel model(0, 2);
        model.setHorizontalHeaderLabels({"Status", "File"});
        QStandardItemModel expectedModel(0, 2);
        for (int row = 0; row < tableRows; ++row) {
            model.appendRow(tableRow(row));
            if (!rows.contains(row))
                expectedModel.appendRow(tableRow(row));
        }
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        ::removeModelRows(model, rows);

        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.rowCount(), expectedModel.rowCount());
        QCOMPARE(rowContents(model), rowContents(expectedModel));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("Status"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("File"));
    }

    void removeScatteredSelection()
    {
        MainWindow window;
        const WindowParts parts(window);
        window.show();
        const FFmpegTask::ConvertStatus statuses[] = {FFmpegTask::Pending, FFmpegTask::Converting,
                                                     FFmpegTask::Failed, FFmpegTask::Skipped, FFmpegTask::Done};
        QStringList paths;
        for (int row = 0; row < 300; ++row)
            paths << rowFile(row);
        window.addPaths(paths);
        for (int row = 0; row < 300; ++row)
            reportStatus(window, row + 1, statuses[row % 5]);
        // Far more separate ranges than a few, a block and the last row. The
        // statuses differ from row to row, so a Status cell left behind shows.
        auto selected = [](int row) { return row % 7 == 3 || (row >= 100 && row < 140) || row == 299; };
        const QStringList before = rowContents(*parts.model);
        QStringList expected;
        QStringList expectedStatus;
        QItemSelection selection;
        for (int row = 0; row < 300; ++row) {
            if (selected(row)) {
                selection.select(parts.model->index(row, 0), parts.model->index(row, parts.model->columnCount() - 1));
            } else {
                expected << paths[row];
                expectedStatus << before[row].section(" | ", 0, 0);
            }
        }
        QAbstractItemModelTester tester(parts.model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTableView *view = parts.table;
        view->selectionModel()->select(selection, QItemSelectionModel::Select);
        QCOMPARE(view->selectionModel()->selectedRows().size(), 300 - expected.size());

        removeSelected(window);

        QCOMPARE(files(window), expected);
        QStringList status;
        for (const QString &row : rowContents(*parts.model))
            status << row.section(" | ", 0, 0);
        QCOMPARE(status, expectedStatus);
        QVERIFY(!view->selectionModel()->hasSelection());
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());
    }

    void emptiedTableThenClear()
    {
        MainWindow window;
        const WindowParts parts(window);
        window.show();
        QTest::mouseClick(parts.clear, Qt::LeftButton); // never shown: nothing happens
        QVERIFY(parts.table->isHidden());
        QVERIFY(!parts.help->isHidden());

        window.addPaths({root + "/a.mp3", root + "/B.mp3"});
        parts.table->selectAll();
        removeSelected(window);
        QCOMPARE(parts.model->rowCount(), 0);
        QVERIFY(parts.table->isVisible());

        window.addPaths({root + "/a.mp3"});
        QTest::mouseClick(parts.clear, Qt::LeftButton);
        QCOMPARE(parts.model->rowCount(), 0);
        QVERIFY(!parts.table->isVisible());
        QVERIFY(parts.help->isVisible());
    }

    void states_data()
    {
        QTest::addColumn<bool>("converting");
        QTest::newRow("idle") << false;
        QTest::newRow("converting") << true;
    }

    void states()
    {
        QFETCH(bool, converting);
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const WindowParts parts(window);
        window.show();
        // Each row reaches its state from the other one.
        HeldBatch batch;
        startHeldBatch(window, batch);
        if (!converting)
            finishHeldBatch(window, batch);
        QCOMPARE(parts.convert->isEnabled(), !converting);
        QCOMPARE(parts.cancel->isEnabled(), converting);
        QCOMPARE(parts.settings->isEnabled(), !converting);
        QCOMPARE(parts.clear->isEnabled(), !converting);
        QVERIFY(parts.about->isEnabled());
        QCOMPARE(parts.progress->isVisible(), converting);
        QMenu *menu = rightClick(window);
        QCOMPARE(menu != nullptr, !converting);
        if (menu)
            menu->close();
        if (converting)
            finishHeldBatch(window, batch);
    }

    // Convert's two checks, each with its message box; nothing starts.
    void errorBoxes_data()
    {
        QTest::addColumn<QString>("binary");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        const QString binaryText = "FFmpeg binary is invalid. Please check your settings.";
        QTest::newRow("no encoder") << "" << "{sourcedir}" << binaryText;
        QTest::newRow("both bad") << "/nonexistent/ffmpeg" << "" << binaryText;
        QTest::newRow("bad output") << "ok" << "/dev/null/out" << "Your output directory is bad. Maybe it is not writable?";
    }

    void errorBoxes()
    {
        QFETCH(QString, binary);
        QFETCH(QString, output);
        QFETCH(QString, text);
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const WindowParts parts(window);
        HeldBatch batch;
        batch.prepare(2, false);
        window.addPaths(batch.inputs);
        if (binary != "ok")
            AppSettings::FFmpegBinary = binary;
        AppSettings::OutputDirectory = output;
        LogCapture log;
        const Box box = convertExpectingBox(window);
        QCOMPARE(box.title, QString("Error"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.buttons, 1);
        QCOMPARE(box.parent, &window);
        QVERIFY(parts.idle());
        QVERIFY(!log.lines.join('\n').contains("Starting convert"));
        QCOMPARE(parts.statuses(), (QStringList{"Pending", "Pending"}));
        QCOMPARE(batch.started(), QStringList());
    }

    void emptyTable()
    {
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const WindowParts parts(window);
        HeldBatch batch;
        batch.prepare(0, false);
        LogCapture log;
        parts.convert->click();
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(parts.idle());
        QCOMPARE(parts.progress->value(), 0);
        QVERIFY(!log.lines.join('\n').contains("Starting convert"));
    }

    // The bar moves once per finished job; the log says "Done" once at the end.
    void progress_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("threads");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("3 rows") << 3 << 2 << QList<int>{0, 33, 66, 100};
        QTest::newRow("7 rows, processor threads") << 7 << 0 << QList<int>{0, 14, 28, 42, 57, 71, 85, 100};
        QTest::newRow("1 row, negative threads") << 1 << -4 << QList<int>{0, 100};
    }

    void progress()
    {
        QFETCH(int, rows);
        QFETCH(int, threads);
        QFETCH(QList<int>, values);
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const WindowParts parts(window);
        HeldBatch batch;
        batch.prepare(rows, true);
        window.addPaths(batch.inputs);
        AppSettings::Threads = threads;
        reportStatus(window, 1, FFmpegTask::Failed); // from an earlier batch
        QSignalSpy progress(parts.progress, &QProgressBar::valueChanged);
        LogCapture log;

        parts.convert->click();
        QVERIFY(parts.converting());
        const int used = threads > 0 ? threads : QThread::idealThreadCount();
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), qMin(rows, used), 10000);
        batch.release();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 30000);

        QList<int> seen;
        for (const QList<QVariant> &change : progress)
            seen << change.first().toInt();
        QCOMPARE(seen, values);
        QCOMPARE(parts.statuses(), QStringList(QVector<QString>(rows, "Done").toList()));
        QCOMPARE(log.lines.first(),
                 QString("Starting convert... \n Threads: %1 \n Items: %2").arg(used).arg(rows));
        QCOMPARE(log.lines.count("Done"), 1);
        QCOMPARE(log.lines.last(), QString("Done"));
        QCOMPARE(batch.started().size(), rows);
        // The batch ran on as many threads as the log says.
        QCOMPARE(batch.mostAtOnce(), qMin(rows, used));
        for (const QString &input : batch.inputs)
            QCOMPARE(checksum(batch.outputOf(input)),
                     QCryptographicHash::hash("done\n", QCryptographicHash::Sha256).toHex());
    }

    // Cancel disables itself at once; the window stays converting until the
    // running jobs have finished, and the queued rows stay Pending.
    void cancel_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("doneWritten");
        QTest::newRow("2 running, 8 queued") << 10 << false;
        QTest::newRow("nothing queued") << 2 << true;
    }

    void cancel()
    {
        QFETCH(int, rows);
        QFETCH(bool, doneWritten);
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const WindowParts parts(window);
        HeldBatch batch;
        batch.prepare(rows, true);
        window.addPaths(batch.inputs);
        LogCapture log;
        parts.convert->click();
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 2, 10000);

        parts.cancel->click();
        QVERIFY(parts.converting());
        QVERIFY(!parts.cancel->isEnabled());
        batch.release();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the cancelled batch did not end", 10000);

        QStringList expected{"Done", "Done"};
        while (expected.size() < rows)
            expected << "Pending";
        QCOMPARE(parts.statuses(), expected);
        QCOMPARE(batch.started().size(), 2);
        QCOMPARE(log.lines.count("Done"), doneWritten ? 1 : 0);
    }

    // The end of a cancel must not end a batch started after it.
    void staleCancelSwitch()
    {
        const auto settings = restoreSettingsLater();
        MainWindow window;
        const WindowParts parts(window);
        HeldBatch batch;
        batch.prepare(1, true);
        window.addPaths(batch.inputs);
        parts.convert->click();
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 1, 10000);
        batch.release();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 10000);

        // Nothing runs, so the end is posted at once and not yet handled.
        batch.hold();
        window.cancel();
        parts.convert->click();
        QCoreApplication::processEvents();
        QVERIFY(parts.converting());
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 2, 10000);

        batch.release();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the second batch did not end", 10000);
    }

    void reportOutsideTable()
    {
        MainWindow window;
        const WindowParts parts(window);
        window.addPaths({root + "/a.mp3", root + "/B.mp3"});
        reportStatus(window, 0, FFmpegTask::Done);
        reportStatus(window, 3, FFmpegTask::Failed);
        reportStatus(window, -1, FFmpegTask::Skipped);
        QCOMPARE(parts.statuses(), (QStringList{"Pending", "Pending"}));
        reportStatus(window, 2, FFmpegTask::Skipped);
        QCOMPARE(parts.statuses(), (QStringList{"Pending", "Skipped"}));
    }

    // Closing the window mid-batch stops the encoders and leaves no partial file.
    void closeMidBatch_data()
    {
        QTest::addColumn<QString>("extra"); // run by the encoder first
        QTest::addColumn<QStringList>("names");
        QTest::newRow("encoders") << "" << QStringList{"a.wav", "b.wav", "c.wav", "d.wav"};
        QTest::newRow("encoders that ignore the request") << "trap '' TERM; "
            << QStringList{"a.wav", "b.wav", "c.wav", "d.wav"};
        QTest::newRow("rows of one output name") << "" << QStringList{"a.wav", "a.flac", "a.ogg", "b.wav"};
    }

    void closeMidBatch()
    {
        QFETCH(QString, extra);
        QFETCH(QStringList, names);
        const auto settings = restoreSettingsLater();
        auto window = std::make_unique<MainWindow>();
        const WindowParts parts(*window);
        window->show();
        HeldBatch batch;
        batch.prepare(names.size(), true, names, extra);
        window->addPaths(batch.inputs);
        LogCapture log;
        parts.convert->click();
        // Rows of one output name take numbered names rather than wait.
        const int running = 2;
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), running, 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(log.snapshot().contains(QString("Starting job 2 | \"%1\"").arg(batch.inputs[1])),
                                  "the second job did not start", 10000);

        QVERIFY(window->close());
        QVERIFY(parts.idle());
        const QStringList pids = batch.started();
        QCOMPARE(pids.size(), running);
        for (const QString &pid : pids)
            QVERIFY2(::kill(pid.toInt(), 0) != 0, qPrintable("encoder still running: " + pid));
        QDir out(batch.outputFolder() + '/' + batch.folder.path() + "/in");
        QCOMPARE(out.entryList(QDir::Files | QDir::Hidden), QStringList());
        window.reset();
        QCoreApplication::processEvents();
    }
};

int main(int argc, char **argv)
{
    IsolatedHome home;
    QApplication app(argc, argv);
    app.setApplicationName("Quillmere");
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_mainwindow.moc"
