// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainwindow.h"
#include "mainwindow/rowremoval.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QStandardItemModel>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>
#include <climits>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tree;
    QString base; // the temporary folder, without symbolic links in its path
    QString root; // the music tree inside it

    static QStringList files(MainWindow &window)
    {
        QStringList paths;
        for (int row = 0; row < window.model->rowCount(); ++row)
            paths.append(window.model->index(row, 1).data().toString());
        return paths;
    }

    static void touch(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    // Drags `urls` over the window and drops them; a batch may start in between.
    // Returns whether the drag enter and the drop were accepted.
    static QPair<bool, bool> drop(MainWindow &window, const QList<QUrl> &urls, bool convertingAtDrop)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        window.setConverting(convertingAtDrop);
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

    static constexpr QPoint clickPos{40, 12};

    // Right-clicks the table; returns the menu that opened, if any.
    static QMenu *rightClick(MainWindow &window)
    {
        QWidget *viewport = window.ui->tableView->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, clickPos, viewport->mapToGlobal(clickPos));
        QApplication::sendEvent(viewport, &event);
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }

    // Opens the row menu and chooses Remove with the keyboard; the menu must not outlive its use.
    static void removeSelected(MainWindow &window)
    {
        QPointer<QMenu> menu = rightClick(window);
        QVERIFY(menu);
        QCOMPARE(menu->pos(), window.ui->tableView->viewport()->mapToGlobal(clickPos));
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), QString("Remove"));
        QTest::keyClick(menu, Qt::Key_Down);
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
    }

    void initialState()
    {
        MainWindow window;
        window.show();
        QCOMPARE(window.size(), QSize(700, 500));
        QCOMPARE(window.windowTitle(), QString("Quillmere"));
        QVERIFY(window.ui->label_HelpMessage->isVisible());
        QCOMPARE(window.ui->label_HelpMessage->text(), QString("Drop files or directories here"));
        QVERIFY(!window.ui->tableView->isVisible());
        QVERIFY(!window.ui->progressBar->isVisible());
        const QList<QPushButton *> buttons = window.ui->centralWidget->findChildren<QPushButton *>();
        QStringList texts;
        for (QPushButton *button : buttons)
            texts << button->text() + (button->isEnabled() ? "" : " (disabled)");
        QCOMPARE(texts, (QStringList{"Convert", "Cancel (disabled)", "Clear", "Settings", "About"}));
        QCOMPARE(window.ui->tableView->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(window.ui->tableView->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(window.ui->tableView->horizontalHeader()->stretchLastSection());
        QCOMPARE(window.model->headerData(0, Qt::Horizontal).toString(), QString("Status"));
        QCOMPARE(window.model->headerData(1, Qt::Horizontal).toString(), QString("File"));
    }

    void intake_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("rows");
        const QString &r = root;
        const QString link = base + "/MusicLink";
        const QStringList walked{"/a.mp3", "/B.mp3", "/c.mp3", "/z.wav", "/a_dir/f.mp3",
                                 "/a_dir/inner/g.mp3", "/Sub/d.mp3", "/Sub/deeper/e.mp3"};
        QStringList underRoot, underLink;
        for (const QString &path : walked) {
            underRoot << r + path;
            underLink << link + path;
        }
        QTest::newRow("tree") << QStringList{r} << underRoot;
        QTest::newRow("link to a folder") << QStringList{link} << underLink;
        QTest::newRow("link to a file, file twice, missing, fifo, empty folder")
            << QStringList{base + "/song-link.mp3", r + "/z.wav",
                           r + "/nothing.mp3", r + "/fifo.mp3", r + "/empty", "", r + "/z.wav"}
            << QStringList{base + "/song-link.mp3", r + "/z.wav",
                           r + "/z.wav"};
        QTest::newRow("relative") << QStringList{"Music/Sub/../c.mp3", "Music/Sub"}
                                  << QStringList{r + "/c.mp3", r + "/Sub/d.mp3", r + "/Sub/deeper/e.mp3"};
    }

    void intake()
    {
        QFETCH(QStringList, paths);
        QFETCH(QStringList, rows);
        QDir::setCurrent(base);
        MainWindow window;
        window.addPaths(paths);
        QCOMPARE(files(window), rows);
        QVERIFY(!window.ui->tableView->isHidden());
        QVERIFY(window.ui->label_HelpMessage->isHidden());
        for (int row = 0; row < window.model->rowCount(); ++row) {
            const QModelIndex status = window.model->index(row, 0);
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
        QTest::newRow("converting") << 1 << "Converting" << QColor(Qt::darkYellow);
        QTest::newRow("failed") << 2 << "Failed" << QColor(Qt::red);
        QTest::newRow("skipped") << 3 << "Skipped" << QColor(Qt::blue);
        QTest::newRow("done") << 4 << "Done" << QColor(Qt::green);
        QTest::newRow("out of range") << 5 << "Pending" << QColor(Qt::yellow);
    }

    void statusDisplay()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        MainWindow window;
        window.addPaths({root + "/a.mp3"});
        window.setStatus(FFmpegTask::ConvertStatus(status), window.model->index(0, 0));
        window.setStatus(FFmpegTask::Done, window.model->index(7, 0)); // no such row
        QCOMPARE(window.model->rowCount(), 1);
        QCOMPARE(window.model->index(0, 0).data().toString(), text);
        QCOMPARE(window.model->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), colour);
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
        MainWindow window;
        window.setConverting(convertingAtEnter);
        const QPair<bool, bool> accepted = drop(window, urls, convertingAtDrop);
        QCOMPARE(accepted.first, !convertingAtEnter);
        QCOMPARE(accepted.second, !convertingAtDrop);
        QCOMPARE(window.model->rowCount(), addedRows);
        QCOMPARE(window.ui->tableView->isHidden(), convertingAtDrop);

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
        window.show();
        QStringList paths;
        for (int i = 0; i < 8; ++i) {
            paths << root + QString("/%1.mp3").arg(i);
            window.addFile(paths[i]);
        }
        window.showTable();
        QTableView *view = window.ui->tableView;
        for (int click : clicks) {
            const Qt::KeyboardModifiers modifiers = click < 0 ? Qt::ControlModifier
                                                  : click >= 100 ? Qt::ShiftModifier
                                                                 : Qt::NoModifier;
            const int row = click < 0 ? -click : click % 100;
            QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                              view->visualRect(window.model->index(row, 1)).center());
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
        window.show();
        const FFmpegTask::ConvertStatus statuses[] = {FFmpegTask::Pending, FFmpegTask::Converting,
                                                     FFmpegTask::Failed, FFmpegTask::Skipped, FFmpegTask::Done};
        QStringList paths;
        for (int row = 0; row < 300; ++row) {
            paths << root + QString("/%1.mp3").arg(row);
            window.addFile(paths[row]);
            window.setStatus(statuses[row % 5], window.model->index(row, 0));
        }
        window.showTable();
        // Far more separate ranges than a few, a block and the last row. The
        // statuses differ from row to row, so a Status cell left behind shows.
        auto selected = [](int row) { return row % 7 == 3 || (row >= 100 && row < 140) || row == 299; };
        const QStringList before = rowContents(*window.model);
        QStringList expected;
        QStringList expectedStatus;
        QItemSelection selection;
        for (int row = 0; row < 300; ++row) {
            if (selected(row)) {
                selection.select(window.model->index(row, 0), window.model->index(row, 1));
            } else {
                expected << paths[row];
                expectedStatus << before[row].section(" | ", 0, 0);
            }
        }
        QAbstractItemModelTester tester(window.model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTableView *view = window.ui->tableView;
        view->selectionModel()->select(selection, QItemSelectionModel::Select);
        QCOMPARE(view->selectionModel()->selectedRows().size(), 300 - expected.size());

        removeSelected(window);

        QCOMPARE(files(window), expected);
        QStringList status;
        for (const QString &row : rowContents(*window.model))
            status << row.section(" | ", 0, 0);
        QCOMPARE(status, expectedStatus);
        QVERIFY(!view->selectionModel()->hasSelection());
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());
    }

    void emptiedTableThenClear()
    {
        MainWindow window;
        window.show();
        window.on_pushButton_Clear_clicked(); // never shown: nothing happens
        QVERIFY(window.ui->tableView->isHidden());
        QVERIFY(!window.ui->label_HelpMessage->isHidden());

        window.addPaths({root + "/a.mp3", root + "/B.mp3"});
        window.ui->tableView->selectAll();
        removeSelected(window);
        QCOMPARE(window.model->rowCount(), 0);
        QVERIFY(window.ui->tableView->isVisible());

        window.addPaths({root + "/a.mp3"});
        QTest::mouseClick(window.ui->pushButton_Clear, Qt::LeftButton);
        QCOMPARE(window.model->rowCount(), 0);
        QVERIFY(!window.ui->tableView->isVisible());
        QVERIFY(window.ui->label_HelpMessage->isVisible());
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
        MainWindow window;
        window.show();
        window.addPaths({root + "/a.mp3"});
        window.setConverting(!converting);
        window.setConverting(converting);
        QCOMPARE(window.ui->pushButton_Convert->isEnabled(), !converting);
        QCOMPARE(window.ui->pushButton_Cancel->isEnabled(), converting);
        QCOMPARE(window.ui->pushButton_Settings->isEnabled(), !converting);
        QCOMPARE(window.ui->pushButton_Clear->isEnabled(), !converting);
        QVERIFY(window.ui->pushButton_About->isEnabled());
        QCOMPARE(window.ui->progressBar->isVisible(), converting);
        QMenu *menu = rightClick(window);
        QCOMPARE(menu != nullptr, !converting);
        if (menu)
            menu->close();
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
