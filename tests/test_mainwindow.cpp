// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainwindow.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QStandardItemModel>
#include <QtTest>

#include <sys/stat.h>

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
