// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogues against the texts the code asks for, the embedded resources,
// and the windows built with a catalogue installed.
#include "about/aboutdialog.h"
#include "mainwindow/mainwindow.h"
#include "settings/settingsdialog.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLibraryInfo>
#include <QProcess>
#include <QPushButton>
#include <QResource>
#include <QTabWidget>
#include <QTableView>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

using Catalogue = QMap<QString, QMap<QString, QString>>; // context -> source -> translation

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
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            if (!xml.attributes().value("type").isEmpty())
                *error += QString("%1/%2 is %3\n").arg(context, source,
                                                       xml.attributes().value("type").toString());
            catalogue[context][source] = xml.readElementText();
        }
    }
    if (xml.hasError())
        *error += path + ": " + xml.errorString();
    return catalogue;
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

        window.addPaths({QString(QUILLMERE_SOURCE_DIR "/LICENSE")});
        QAbstractItemModel *model = window.findChild<QTableView *>("tableView")->model();
        shown << model->headerData(0, Qt::Horizontal).toString()
              << model->headerData(1, Qt::Horizontal).toString();
        for (auto status : {FFmpegTask::Pending, FFmpegTask::Converting, FFmpegTask::Done,
                            FFmpegTask::Skipped, FFmpegTask::Failed}) {
            QMetaObject::invokeMethod(&window, "onStatusChange", Qt::DirectConnection,
                                      Q_ARG(int, 1), Q_ARG(FFmpegTask::ConvertStatus, status));
            const QModelIndex cell = model->index(0, 0);
            shown << cell.data().toString();
            (*colours)[QString::number(status)] = cell.data(Qt::BackgroundRole).value<QColor>();
        }

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
            for (const QString &source : messages.keys())
                inCode[context][source];
        QVERIFY(!inCode.isEmpty());
    }

    void catalogue_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("subset"); // empty: every text of the code
        QTest::newRow("de") << "de" << QStringList();
        QTest::newRow("ja") << "ja" << QStringList();
        QTest::newRow("tr") << "tr" << QStringList();
        QTest::newRow("fr") << "fr"
                            << QStringList{"AboutDialog / About", "AboutDialog / About Qt",
                                           "AboutDialog / Close", "MainWindow / About",
                                           "MainWindow / Cancel", "MainWindow / File",
                                           "MainWindow / Settings", "SettingsDialog / Settings"};
    }

    // A text changed in the code must not silently lose its translation.
    void catalogue()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, subset);
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
                const QString &source = message.key(), &translation = message.value();
                const QString where = context.key() + " / " + source;
                QVERIFY2(!translation.trimmed().isEmpty(), qPrintable(where));
                QCOMPARE(translation.count('\n'), source.count('\n'));
                QCOMPARE(translation.count('%'), source.count('%'));
                if (source.endsWith(':'))
                    QVERIFY2(translation.endsWith(':'), qPrintable(where));
                QCOMPARE(compiled.translate(qPrintable(context.key()), qPrintable(source)),
                         translation);
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
                                 "Drop files or directories here", "Status", "File",
                                 "Pending", "Converting", "Done", "Skipped", "Failed",
                                 "Settings", "Main", "Advanced", "Filters",
                                 "Keep", "1 (Mono)", "2 (Stereo)", "Disabled", "Cancel",
                                 "About", "Close", "About Qt", "developed by Orvandel"};
        QTest::newRow("de")
            << "de" << QStringList{"Konvertieren", "Abbrechen", "Leeren", "Einstellungen", "Über",
                                   "Dateien oder Ordner hierher ziehen", "Status", "Datei",
                                   "Ausstehend", "In Arbeit", "Fertig", "Ausgelassen", "Fehler",
                                   "Einstellungen", "Allgemein", "Erweitert", "Filter",
                                   "Beibehalten", "1 (Mono)", "2 (Stereo)", "Deaktiviert",
                                   "Abbrechen",
                                   "Über", "Schließen", "Über Qt", "entwickelt von Orvandel"};
        // French has the eight texts only; the toolkit's Cancel comes from Qt's catalogue.
        QTest::newRow("fr")
            << "fr" << QStringList{"Convert", "Annuler", "Clear", "Paramètres", "À propos",
                                   "Drop files or directories here", "Status", "Fichier",
                                   "Pending", "Converting", "Done", "Skipped", "Failed",
                                   "Paramètres", "Main", "Advanced", "Filters",
                                   "Keep", "1 (Mono)", "2 (Stereo)", "Disabled", "Annuler",
                                   "À propos", "Fermer", "À propos de Qt",
                                   "developed by Orvandel"};
    }

    void interface()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);

        QMap<QString, QColor> sourceColours, colours;
        shownTexts(&sourceColours);

        QTranslator qt, app;
        if (!language.isEmpty()) {
            if (!qt.load("qt_" + language, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
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
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
