// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogues against the texts the code asks for, the embedded resources,
// and the windows built with a catalogue installed.
#include "about/aboutdialog.h"
#include "app/translations.h"
#include "mainwindow/jobdetailsdialog.h"
#include "mainwindow/jobtable.h"
#include "mainwindow/mainwindow.h"
#include "settings/settingsdialog.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QResource>
#include <QTabWidget>
#include <QTableView>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

// A message's translation: one text, or for a count (%n) one per plural form
// of the language.
struct Translation
{
    bool numerus = false;
    QStringList forms;
};
using Catalogue = QMap<QString, QMap<QString, Translation>>; // context -> source -> translation

// Reads a translation source; names the messages that are not finished in `error`.
static Catalogue readCatalogue(const QString &path, QString *error)
{
    Catalogue catalogue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "cannot open " + path;
        return catalogue;
    }
    QXmlStreamReader xml(&file);
    QString context, source;
    bool numerus = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            numerus = xml.attributes().value("numerus") == QLatin1String("yes");
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            if (!xml.attributes().value("type").isEmpty())
                *error += QString("%1/%2 is %3\n").arg(context, source,
                                                       xml.attributes().value("type").toString());
            Translation &translation = catalogue[context][source];
            translation.numerus = numerus;
            if (!numerus) {
                translation.forms << xml.readElementText();
                continue;
            }
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("numerusform"))
                    translation.forms << xml.readElementText();
                else
                    xml.skipCurrentElement();
            }
        }
    }
    if (xml.hasError())
        *error += path + ": " + xml.errorString();
    return catalogue;
}

// What is wrong with `translation` as a rendering of `source`, or nothing.
static QString flaw(const QString &source, const QString &translation)
{
    if (translation.trimmed().isEmpty())
        return "no translation";
    if (translation.count('\n') != source.count('\n'))
        return "line breaks differ: " + translation;
    if (translation.count('%') != source.count('%'))
        return "placeholders differ: " + translation;
    if (translation.count('&') != source.count('&'))
        return "accelerators differ: " + translation;
    if (source.endsWith(':') && !translation.endsWith(':'))
        return "no final colon: " + translation;
    return QString();
}

static QStringList sources(const Catalogue &catalogue)
{
    QStringList all;
    for (auto context = catalogue.begin(); context != catalogue.end(); ++context)
        for (const QString &source : context.value().keys())
            all << context.key() + " / " + source;
    return all;
}

class TestTranslations : public QObject
{
    Q_OBJECT

    IsolatedHome home;
    Catalogue inCode;

    // Texts in the order the interface table below lists them.
    static QStringList shownTexts(QMap<QString, QColor> *colours)
    {
        QStringList shown;
        MainWindow window;
        for (const char *button : {"Convert", "Cancel", "Clear", "Settings", "About"})
            shown << window.findChild<QPushButton *>(QString("pushButton_") + button)->text();
        shown << window.findChild<QLabel *>("label_HelpMessage")->text();
        for (const char *menu : {"File", "Convert"})
            shown << window.findChild<QMenu *>(QString("menu_") + menu)->title();
        for (const char *action : {"AddFiles", "AddFolder", "Quit", "Convert", "ConvertFailed",
                                   "Cancel", "StopNow", "Remove"})
            shown << window.findChild<QAction *>(QString("action_") + action)->text();

        window.addPaths({QString(QUILLMERE_SOURCE_DIR "/LICENSE")});
        QAbstractItemModel *model = window.findChild<QTableView *>("tableView")->model();
        shown << model->headerData(0, Qt::Horizontal).toString()
              << model->headerData(1, Qt::Horizontal).toString();
        for (auto status : {JobStatus::Pending, JobStatus::Converting, JobStatus::Done,
                            JobStatus::Skipped, JobStatus::Failed}) {
            QMetaObject::invokeMethod(&window, "onStatusChange", Qt::DirectConnection,
                                      Q_ARG(int, 1), Q_ARG(JobStatus::ConvertStatus, status));
            const QModelIndex cell = model->index(0, 0);
            shown << cell.data().toString();
            (*colours)[QString::number(status)] = cell.data(Qt::BackgroundRole).value<QColor>();
        }
        QMetaObject::invokeMethod(&window, "onStatusChange", Qt::DirectConnection,
                                  Q_ARG(int, 1), Q_ARG(JobStatus::ConvertStatus, JobStatus::Converting));
        qobject_cast<JobTable *>(model)->setPercent(0, 42);
        shown << model->index(0, 0).data().toString();

        JobReport report;
        report.id = 1;
        report.status = JobStatus::Skipped;
        report.inputPath = QUILLMERE_SOURCE_DIR "/LICENSE";
        JobDetailsDialog details(report);
        shown << details.windowTitle()
              << details.findChild<QPlainTextEdit *>("plainTextEdit_Command")->toPlainText();

        SettingsDialog settings;
        const auto tabs = settings.findChild<QTabWidget *>("tabWidget");
        shown << settings.windowTitle() << tabs->tabText(0) << tabs->tabText(1) << tabs->tabText(2);
        const auto channels = settings.findChild<QComboBox *>("comboBox_OutputChannelCount");
        shown << channels->itemText(0) << channels->itemText(1) << channels->itemText(2)
              << settings.findChild<QComboBox *>("comboBox_AudioFiltersPresets")->itemText(0)
              << settings.findChild<QDialogButtonBox *>("buttonBox")
                     ->button(QDialogButtonBox::Cancel)->text();

        AboutDialog about;
        shown << about.windowTitle() << about.findChild<QPushButton *>("pushButton_Close")->text()
              << about.findChild<QPushButton *>("pushButton_AboutQt")->text()
              << about.findChild<QLabel *>("label_Developer")->text();
        return shown;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Orvandel");
        // What the code asks for, as the translation tools see it.
        const QString scanned = home.dir.filePath("code.ts");
        QProcess lupdate;
        lupdate.start(QUILLMERE_LUPDATE, {"-silent", "-no-obsolete", "-locations", "none",
                                          QUILLMERE_SOURCE_DIR "/src", "-ts", scanned});
        QVERIFY(lupdate.waitForFinished(60000));
        QCOMPARE(lupdate.exitCode(), 0);
        QString unfinished; // every message of a fresh scan is
        for (auto &&[context, messages] : readCatalogue(scanned, &unfinished).toStdMap())
            for (auto message = messages.begin(); message != messages.end(); ++message)
                inCode[context][message.key()].numerus = message->numerus;
        QVERIFY(!inCode.isEmpty());
    }

    void catalogue_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("subset"); // empty: every text of the code
        // As Qt 5's translation tools count them: Turkish, like Japanese, has one.
        QTest::addColumn<int>("pluralForms");
        QTest::newRow("de") << "de" << QStringList() << 2;
        QTest::newRow("ja") << "ja" << QStringList() << 1;
        QTest::newRow("tr") << "tr" << QStringList() << 1;
        QTest::newRow("fr") << "fr"
                            << QStringList{"AboutDialog / About", "AboutDialog / About Qt",
                                           "AboutDialog / Close", "MainWindow / About",
                                           "MainWindow / Cancel", "MainWindow / File",
                                           "MainWindow / Settings", "SettingsDialog / Settings"}
                            << 2;
    }

    // A text changed in the code must not silently lose its translation.
    void catalogue()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, subset);
        QFETCH(int, pluralForms);
        QString error;
        const Catalogue catalogue = readCatalogue(
            QUILLMERE_SOURCE_DIR "/resources/i18n/" + language + ".ts", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(sources(catalogue), subset.isEmpty() ? sources(inCode) : subset);
        for (const QString &text : subset)
            QVERIFY2(sources(inCode).contains(text), qPrintable(text + " is not in the code"));

        QTranslator compiled;
        QVERIFY(compiled.load(language, ":/i18n/"));
        for (auto context = catalogue.begin(); context != catalogue.end(); ++context)
            for (auto message = context->begin(); message != context->end(); ++message) {
                const QString &source = message.key();
                const QStringList &forms = message->forms;
                const QString where = context.key() + " / " + source;
                QVERIFY2(message->numerus == inCode.value(context.key()).value(source).numerus,
                         qPrintable(where + ": a count in one of code and catalogue only"));
                QCOMPARE(forms.size(), message->numerus ? pluralForms : 1);
                for (const QString &form : forms)
                    QVERIFY2(flaw(source, form).isEmpty(), qPrintable(where + ": " + flaw(source, form)));
                const QByteArray contextName = context.key().toUtf8(), sourceText = source.toUtf8();
                if (!message->numerus) {
                    QCOMPARE(compiled.translate(contextName, sourceText), forms.first());
                    continue;
                }
                // One is the first form; two the second, where the language has one.
                QCOMPARE(compiled.translate(contextName, sourceText, nullptr, 1), forms.first());
                QCOMPARE(compiled.translate(contextName, sourceText, nullptr, 2),
                         forms.value(1, forms.first()));
            }
    }

    void resources_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("icon") << ":/" QUILLMERE_APP_ID ".ico";
        for (const char *language : {"de", "fr", "ja", "tr"})
            QTest::newRow(language) << QString(":/i18n/%1.qm").arg(language);
    }

    void resources()
    {
        QFETCH(QString, path);
        const QResource resource(path);
        QVERIFY(resource.isValid());
        QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
        if (!path.endsWith(".ico"))
            return;
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("ico"));
        QCOMPARE(reader.imageCount(), 1);
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(256, 256));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(128, 128).alpha(), 255);
    }

    void interface_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("source")
            << "" << QStringList{"Convert", "Cancel", "Clear", "Settings", "About",
                                 "Drop files or folders here, or use Add Files",
                                 "&File", "&Convert", "Add &Files…", "Add F&older…", "&Quit",
                                 "Convert", "Convert Failed Again", "Cancel", "Stop Now", "Remove",
                                 "Status", "File",
                                 "Pending", "Converting", "Done", "Skipped", "Failed",
                                 "Converting 42 %", "Details: LICENSE",
                                 "No encoder ran for this file.",
                                 "Settings", "Main", "Advanced", "Filters",
                                 "Keep", "1 (Mono)", "2 (Stereo)", "Disabled", "Cancel",
                                 "About", "Close", "About Qt", "developed by Orvandel"};
        QTest::newRow("de")
            << "de" << QStringList{"Konvertieren", "Abbrechen", "Leeren", "Einstellungen", "Über",
                                   "Dateien oder Ordner hierher ziehen oder „Dateien hinzufügen“ verwenden",
                                   "&Datei", "&Konvertieren", "&Dateien hinzufügen…",
                                   "&Ordner hinzufügen…", "&Beenden", "Konvertieren",
                                   "Fehlgeschlagene wiederholen", "Abbrechen", "Sofort anhalten",
                                   "Entfernen", "Status", "Datei",
                                   "Ausstehend", "In Arbeit", "Fertig", "Ausgelassen", "Fehler",
                                   "In Arbeit 42 %", "Details: LICENSE",
                                   "Für diese Datei lief kein Encoder.",
                                   "Einstellungen", "Allgemein", "Erweitert", "Filter",
                                   "Beibehalten", "1 (Mono)", "2 (Stereo)", "Deaktiviert",
                                   "Abbrechen",
                                   "Über", "Schließen", "Über Qt", "entwickelt von Orvandel"};
        // French has the eight texts only; the toolkit's Cancel comes from Qt's catalogue.
        QTest::newRow("fr")
            << "fr" << QStringList{"Convert", "Annuler", "Clear", "Paramètres", "À propos",
                                   "Drop files or folders here, or use Add Files",
                                   "&File", "&Convert", "Add &Files…", "Add F&older…", "&Quit",
                                   "Convert", "Convert Failed Again", "Annuler", "Stop Now",
                                   "Remove", "Status", "Fichier",
                                   "Pending", "Converting", "Done", "Skipped", "Failed",
                                   "Converting 42 %", "Details: LICENSE",
                                   "No encoder ran for this file.",
                                   "Paramètres", "Main", "Advanced", "Filters",
                                   "Keep", "1 (Mono)", "2 (Stereo)", "Disabled", "Annuler",
                                   "À propos", "Fermer", "À propos de Qt",
                                   "developed by Orvandel"};
        // Turkish writes the percent sign before the number.
        QTest::newRow("tr")
            << "tr" << QStringList{"Dönüştür", "İptal", "Temizle", "Ayarlar", "Hakkında",
                                   "Dosyaları veya klasörleri buraya bırakın ya da Dosya Ekle'yi kullanın",
                                   "&Dosya", "Dö&nüştür", "&Dosya Ekle…", "&Klasör Ekle…", "&Çıkış",
                                   "Dönüştür", "Başarısızları Yeniden Dönüştür", "İptal",
                                   "Hemen Durdur", "Kaldır", "Durum", "Dosya",
                                   "Bekliyor", "İşleniyor", "Tamamlandı", "Atlandı", "Başarısız",
                                   "İşleniyor %42", "Ayrıntılar: LICENSE",
                                   "Bu dosya için kodlayıcı çalıştırılmadı.",
                                   "Ayarlar", "Genel", "Gelişmiş", "Filtreler",
                                   "Olduğu gibi", "1 (Mono)", "2 (Stereo)", "Devre dışı", "İptal",
                                   "Hakkında", "Kapat", "Qt Hakkında", "geliştiren: Orvandel"};
    }

    void interface()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);

        QMap<QString, QColor> sourceColours, colours;
        shownTexts(&sourceColours);

        QTranslator qt, app;
        if (!language.isEmpty()) {
            if (!qt.load("qt_" + language, qtCataloguesFolder()))
                QSKIP("Qt's own catalogues are not installed");
            QVERIFY(app.load(language, ":/i18n/"));
            QCoreApplication::installTranslator(&qt);
            QCoreApplication::installTranslator(&app);
        }
        const QStringList shown = shownTexts(&colours);
        QCoreApplication::removeTranslator(&app);
        QCoreApplication::removeTranslator(&qt);

        QCOMPARE(shown, expected);
        QCOMPARE(colours, sourceColours);
    }

    void accelerators_data()
    {
        QTest::addColumn<QString>("language");
        for (const char *language : {"", "de", "fr", "ja", "tr"})
            QTest::newRow(*language ? language : "source") << QString(language);
    }

    // Alt and a letter must pick one entry of the menu bar, and one of each menu.
    void accelerators()
    {
        QFETCH(QString, language);
        QTranslator app;
        if (!language.isEmpty())
            QVERIFY(app.load(language, ":/i18n/"));
        QCoreApplication::installTranslator(&app);
        const auto restore = qScopeGuard([&app] { QCoreApplication::removeTranslator(&app); });

        MainWindow window;
        QList<QList<QAction *>> levels{window.menuBar()->actions()};
        for (QAction *menu : window.menuBar()->actions())
            levels << menu->menu()->actions();
        int accelerators = 0;
        for (const QList<QAction *> &level : levels) {
            QMap<QKeySequence, QString> taken;
            for (const QAction *action : level) {
                const QKeySequence key = QKeySequence::mnemonic(action->text());
                if (key.isEmpty())
                    continue;
                QVERIFY2(!taken.contains(key), qPrintable(taken.value(key) + " / " + action->text()));
                taken.insert(key, action->text());
                ++accelerators;
            }
        }
        QCOMPARE(accelerators, 5);
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
