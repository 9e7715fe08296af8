// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Settings and About buttons.
#include "about/aboutdialog.h"
#include "mainwindow/mainwindow.h"
#include "settings/appsettings.h"
#include "settings/settingsdialog.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

template <typename Dialog>
static QList<Dialog *> openDialogs()
{
    QList<Dialog *> dialogs;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<Dialog *>(widget))
            dialogs.append(dialog);
    return dialogs;
}

class TestDialogButtons : public QObject
{
    Q_OBJECT

private:
    // Presses the button and returns the dialog it opened, if any. A dialog
    // that runs its own event loop would keep the press from returning: a
    // watcher closes it and reports it.
    template <typename Dialog>
    static QPointer<Dialog> press(QPushButton *button, bool &blocked)
    {
        bool returned = false;
        blocked = false;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (returned)
                return;
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                blocked = true;
                dialog->reject();
            }
        });
        watcher.start(10);
        QTest::mouseClick(button, Qt::LeftButton);
        returned = true;
        const QList<Dialog *> dialogs = openDialogs<Dialog>();
        return dialogs.size() == 1 ? dialogs.first() : nullptr;
    }

    template <typename Dialog>
    void opensModalDialog(QPushButton *button)
    {
        bool blocked = false;
        QPointer<Dialog> first = press<Dialog>(button, blocked);
        QVERIFY(!blocked);
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QVERIFY(!first->parentWidget());
        QCOMPARE(first->windowModality(), Qt::ApplicationModal);
        QCOMPARE(QApplication::activeModalWidget(), first.data());

        // Closing destroys it; the next press builds a new one.
        QTest::keyClick(first, Qt::Key_Escape);
        QTRY_VERIFY(first.isNull());
        QPointer<Dialog> second = press<Dialog>(button, blocked);
        QVERIFY(!blocked);
        QVERIFY(second && second->isVisible());
        QCOMPARE(second->windowModality(), Qt::ApplicationModal);
        delete second;
    }

private slots:
    void settingsButton()
    {
        MainWindow window;
        window.show();
        opensModalDialog<SettingsDialog>(window.ui->pushButton_Settings);
    }

    void aboutButton()
    {
        MainWindow window;
        window.show();
        opensModalDialog<AboutDialog>(window.ui->pushButton_About);
    }

    // The tasks read the settings without a lock, so no dialog may change
    // them during a batch; About stays available.
    void whileConverting()
    {
        MainWindow window;
        window.show();
        window.setConverting(true);
        bool blocked = false;
        QVERIFY(!press<SettingsDialog>(window.ui->pushButton_Settings, blocked));
        QPointer<AboutDialog> about = press<AboutDialog>(window.ui->pushButton_About, blocked);
        QVERIFY(about);
        delete about;
        window.setConverting(false);
        QPointer<SettingsDialog> settings = press<SettingsDialog>(window.ui->pushButton_Settings, blocked);
        QVERIFY(settings);
        delete settings;
    }
};

int main(int argc, char **argv)
{
    IsolatedHome home;
    QApplication app(argc, argv);
    app.setOrganizationName("Orvandel");
    app.setApplicationName("Quillmere");
    app.setApplicationVersion("0.32.0");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    AppSettings::load();
    qInstallMessageHandler(nullptr);
    TestDialogButtons test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dialogbuttons.moc"
