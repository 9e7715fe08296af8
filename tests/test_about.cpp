// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/aboutdialog.h"
#include "dialogtesting.h"
#include "testsupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

struct Link
{
    QString href, text, colour;
    bool underlined;
};

static QList<Link> links(const QTextDocument *document)
{
    QList<Link> found;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor())
                found.append({format.anchorHref(), it.fragment().text(),
                              format.foreground().color().name(), format.fontUnderline()});
        }
    return found;
}

static QTextBrowser *browser(const AboutDialog &dialog)
{
    return dialog.findChild<QTextBrowser *>("textBrowser");
}

// Stands in for the desktop's URL handler.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void form()
    {
        AboutDialog dialog;
        QCOMPARE(dialog.windowTitle(), QString("About"));
        QCOMPARE(dialog.minimumSize(), QSize(480, 460));
        QCOMPARE(dialog.maximumSize(), QSize(480, 460));
        const auto *name = dialog.findChild<QLabel *>("label_Appname");
        const auto *version = dialog.findChild<QLabel *>("label_Version");
        const auto *developer = dialog.findChild<QLabel *>("label_Developer");
        QVERIFY(name && version && developer);
        QCOMPARE(name->text(), QString("Quillmere"));
        QCOMPARE(version->text(), QString("v" QUILLMERE_VERSION));
        QCOMPARE(developer->text(), QString("developed by Orvandel"));
        QVERIFY(name->font().bold() && name->font().pointSize() == 24);
        QVERIFY(developer->font().italic());
        QCOMPARE(dialog.findChild<QPushButton *>("pushButton_AboutQt")->text(), QString("About Qt"));
        QCOMPARE(dialog.findChild<QPushButton *>("pushButton_Close")->text(), QString("Close"));
        QVERIFY(browser(dialog)->openExternalLinks());
        QCOMPARE(browser(dialog)->textInteractionFlags(),
                 Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    }

    void link_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("text");

        QTest::newRow("source") << QUILLMERE_SOURCE_URL << QUILLMERE_SOURCE_SITE;
        QTest::newRow("wiki") << QUILLMERE_WIKI_URL << "Wiki";
        QTest::newRow("issues") << QUILLMERE_ISSUES_URL << "report an issue";
        QTest::newRow("Qt") << "https://www.qt.io" << "Qt";
        QTest::newRow("FFmpeg") << "https://ffmpeg.org" << "FFmpeg";
        QTest::newRow("FFmpeg legal") << "https://ffmpeg.org/legal.html" << "legal";
    }

    void link()
    {
        QFETCH(QString, href);
        QFETCH(QString, text);
        AboutDialog dialog;
        int count = 0;
        for (const Link &link : links(browser(dialog)->document()))
            if (link.href == href) {
                ++count;
                QCOMPARE(link.text, text);
            }
        QCOMPARE(count, 1);
    }

    void everyLinkLooksTheSame()
    {
        AboutDialog dialog;
        const QList<Link> found = links(browser(dialog)->document());
        QVERIFY(found.size() >= 6);
        for (const Link &link : found) {
            QCOMPARE(link.colour, QString("#007af4"));
            QVERIFY2(link.underlined, qPrintable(link.text));
        }
    }

    // Paragraphs follow each other without spacing, in Noto Sans 10 pt but
    // for the 12 pt "Legal" heading.
    void paragraphs()
    {
        AboutDialog dialog;
        QStringList texts;
        for (QTextBlock block = browser(dialog)->document()->begin(); block.isValid(); block = block.next()) {
            texts << block.text();
            QCOMPARE(block.blockFormat().topMargin(), 0.0);
            QCOMPARE(block.blockFormat().bottomMargin(), 0.0);
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                QCOMPARE(format.fontFamily(), QString("Noto Sans"));
                QCOMPARE(format.fontPointSize(), block.text() == "Legal" ? 12.0 : 10.0);
                QVERIFY(!format.fontItalic() && format.fontWeight() == QFont::Normal);
            }
        }
        QCOMPARE(texts.size(), 13);
        QVERIFY(texts[0].contains("audio converter built with Qt and FFmpeg"));
        QCOMPARE(texts[2], QString("You can find the source code on %1.").arg(QUILLMERE_SOURCE_SITE));
        QCOMPARE(texts[3], QString("There is also a Wiki if you need help."));
        QCOMPARE(texts[4], QString("If you found a bug you can report an issue."));
        QCOMPARE(texts[6], QString("Legal"));
        QVERIFY(texts[7].contains("Orvandel"));
        QVERIFY(texts[8].contains("GPL-3.0-or-later"));
        QCOMPARE(texts[10], QString("It uses:"));
        QCOMPARE(texts[11], QString("- Qt (click the about Qt button below)"));
        QCOMPARE(texts[12], QString("- FFmpeg (see legal)"));
        for (int empty : {1, 5, 9})
            QVERIFY(texts[empty].isEmpty());
    }

    // A link chosen with the keyboard goes to the desktop's handler; the
    // dialog keeps its text.
    void linkOpensOutside()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        const auto unsetHandler = qScopeGuard([] { QDesktopServices::unsetUrlHandler("https"); });
        AboutDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTextBrowser *text = browser(dialog);
        const QString before = text->toHtml();
        text->setFocus();
        QTest::keyClick(text, Qt::Key_Tab);
        QTest::keyClick(text, Qt::Key_Tab);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QUILLMERE_WIKI_URL)});
        QCOMPARE(text->toHtml(), before);
    }

    void aboutQt()
    {
        AboutDialog dialog;
        dialog.show();
        QString title;
        QWidget *parent = nullptr;
        WhenModal<QMessageBox> box([&](QMessageBox *message) {
            title = message->windowTitle();
            parent = message->parentWidget();
        });
        QTest::mouseClick(dialog.findChild<QPushButton *>("pushButton_AboutQt"), Qt::LeftButton);
        QVERIFY(box.handled());
        QCOMPARE(title, QString("About Qt"));
        QCOMPARE(parent, &dialog);
        QVERIFY(dialog.isVisible());
    }

    void closeButton()
    {
        AboutDialog dialog;
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton *>("pushButton_Close"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // The form's texts and "developed by" are translated; the About text is not.
    void translatedTexts()
    {
        MarkingTranslator translator;
        QScopedPointer<AboutDialog> built;
        {
            QCoreApplication::installTranslator(&translator);
            const auto remove = qScopeGuard([&translator] { QCoreApplication::removeTranslator(&translator); });
            built.reset(new AboutDialog);
        }
        const AboutDialog &dialog = *built;
        QCOMPARE(dialog.windowTitle(), QString("<AboutDialog>About"));
        QCOMPARE(dialog.findChild<QPushButton *>("pushButton_AboutQt")->text(),
                 QString("<AboutDialog>About Qt"));
        QCOMPARE(dialog.findChild<QLabel *>("label_Developer")->text(),
                 QString("<AboutDialog>developed by Orvandel"));
        QCOMPARE(dialog.findChild<QLabel *>("label_Version")->text(), QString("v" QUILLMERE_VERSION));
        QVERIFY(!browser(dialog)->toPlainText().contains('<'));
    }
};

int main(int argc, char **argv)
{
    IsolatedHome home;
    QApplication app(argc, argv);
    app.setOrganizationName("Orvandel");
    app.setApplicationName("Quillmere");
    app.setApplicationVersion(QUILLMERE_VERSION);
    TestAbout test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_about.moc"
