// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Settings and About buttons.
#include "about/aboutdialog.h"
#include "conversiontestsupport.h"
#include "mainwindow/mainwindow.h"
#include "settings/appsettings.h"
#include "settings/settingsdialog.h"
#include "testsupport.h"
#include "windowparts.h"

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
        opensModalDialog<SettingsDialog>(WindowParts(window).settings);
    }

    void aboutButton()
    {
        MainWindow window;
        window.show();
        opensModalDialog<AboutDialog>(WindowParts(window).about);
    }

    // The tasks read the settings without a lock, so no dialog may change
    // them during a batch; About stays available.
    void whileConverting()
    {
        const auto restoreSettings = restoreSettingsLater();
        MainWindow window;
        const WindowParts parts(window);
        window.show();
        HeldBatch batch;
        batch.prepare(1, true);
        window.addPaths(batch.inputs);
        window.convert();
        QVERIFY(parts.converting());
        bool blocked = false;
        QVERIFY(!press<SettingsDialog>(parts.settings, blocked));
        QPointer<AboutDialog> about = press<AboutDialog>(parts.about, blocked);
        QVERIFY(about);
        delete about;
        batch.release();
        QTRY_VERIFY2_WITH_TIMEOUT(parts.idle(), "the batch did not end", 10000);
        QPointer<SettingsDialog> settings = press<SettingsDialog>(parts.settings, blocked);
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
    app.setApplicationVersion(QUILLMERE_VERSION);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    AppSettings::load();
    qInstallMessageHandler(nullptr);
    TestDialogButtons test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dialogbuttons.moc"
