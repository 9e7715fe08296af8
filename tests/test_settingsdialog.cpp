// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appsettings.h"
#include "settings/formatcatalogue.h"
#include "settings/settingsdialog.h"
#include "dialogtesting.h"
#include "settingsrecord.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QLayout>
#include <QtTest>

static QStringList presetLabels(const QString &formatId)
{
    QStringList list;
    for (const FormatCatalogue::QualityPreset &preset : FormatCatalogue::qualityPresets(formatId).presets)
        list << preset.label;
    return list;
}

static QStringList presetArguments(const QString &formatId)
{
    QStringList list;
    for (const FormatCatalogue::QualityPreset &preset : FormatCatalogue::qualityPresets(formatId).presets)
        list << preset.arguments;
    return list;
}

static const QStringList formatIds{"mp3", "m4a", "ogg", "opus", "flac", "wav"};

class TestFormatCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void formats()
    {
        QStringList ids;
        int presets = 0;
        for (const FormatCatalogue::Choice &format : FormatCatalogue::formats()) {
            QCOMPARE(format.value.userType(), int(QMetaType::QString));
            QVERIFY(format.label.contains("(." + format.value.toString() + ")"));
            ids << format.value.toString();
            presets += FormatCatalogue::qualityPresets(format.value.toString()).presets.size();
        }
        QCOMPARE(ids, formatIds);
        QCOMPARE(presets, 62);
    }

    void qualityPresets_data()
    {
        QTest::addColumn<QString>("formatId");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("defaultIndex");
        QTest::addColumn<QString>("defaultArguments");
        QTest::addColumn<QString>("firstLabel");

        QTest::newRow("mp3") << "mp3" << 17 << 2 << "-q:a 2" << "VBR, 0, ~245 kbps";
        QTest::newRow("m4a") << "m4a" << 9 << 4 << "-b:a 160k" << "CBR, 320 kbps";
        QTest::newRow("ogg") << "ogg" << 20 << 4 << "-q:a 5" << "VBR, 9, ~320 kbps";
        QTest::newRow("opus") << "opus" << 11 << 4 << "-b:a 128k" << "ABR, 256 kbps";
        QTest::newRow("flac") << "flac" << 2 << 0 << "" << "auto";
        QTest::newRow("wav") << "wav" << 3 << 2 << "-c:a pcm_s16le" << "32 bit";
        QTest::newRow("capitals") << "Mp3" << 0 << -1 << "" << "";
        QTest::newRow("aac") << "aac" << 0 << -1 << "" << "";
        QTest::newRow("empty") << "" << 0 << -1 << "" << "";
        QTest::newRow("trailing space") << "mp3 " << 0 << -1 << "" << "";
    }

    void qualityPresets()
    {
        QFETCH(QString, formatId);
        QFETCH(int, count);
        QFETCH(int, defaultIndex);
        QFETCH(QString, defaultArguments);
        QFETCH(QString, firstLabel);

        const FormatCatalogue::QualityPresets quality = FormatCatalogue::qualityPresets(formatId);
        QCOMPARE(quality.presets.size(), count);
        QCOMPARE(quality.defaultIndex, defaultIndex);
        if (count == 0)
            return;
        QCOMPARE(quality.presets.at(defaultIndex).arguments, defaultArguments);
        QCOMPARE(quality.presets.first().label, firstLabel);

        // The dialog finds a stored preset by its arguments, and the command
        // line splits them at single spaces.
        const QStringList arguments = presetArguments(formatId);
        QCOMPARE(QSet<QString>(arguments.begin(), arguments.end()).size(), count);
        const QStringList names = presetLabels(formatId);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), count);
        for (const QString &options : arguments)
            QCOMPARE(options.split(' ', Qt::SkipEmptyParts).join(' '), options);
    }

    // Lists that look alike differ: which formats offer these options.
    void argumentsOffered_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("formats");

        QTest::newRow("48k") << "-b:a 48k" << QStringList{"ogg", "opus"};
        QTest::newRow("q 8") << "-q:a 8" << QStringList{"ogg"};
        QTest::newRow("q 9") << "-q:a 9" << QStringList{"ogg"};
        QTest::newRow("q 0") << "-q:a 0" << QStringList{"mp3", "ogg"};
        QTest::newRow("320k") << "-b:a 320k" << QStringList{"mp3", "m4a", "ogg"};
        QTest::newRow("256k") << "-b:a 256k" << QStringList{"mp3", "m4a", "ogg", "opus"};
        QTest::newRow("no options") << "" << QStringList{"flac"};
    }

    void argumentsOffered()
    {
        QFETCH(QString, arguments);
        QFETCH(QStringList, formats);
        QStringList offering;
        for (const QString &id : formatIds)
            if (presetArguments(id).contains(arguments))
                offering << id;
        QCOMPARE(offering, formats);
    }

    void filterPresets()
    {
        const QList<FormatCatalogue::Choice> presets = FormatCatalogue::filterPresets();
        QCOMPARE(presets.size(), 6);
        QCOMPARE(presets.at(3).label, QString("Fade-in and fade-out"));
        QCOMPARE(presets.at(3).value.toString().size(), 51);
        QCOMPARE(presets.at(3).value.toString().count('\n'), 3);
    }
};

// The dialog's widgets, found by their object names.
struct Form
{
    explicit Form(const QDialog &dialog) : dialog(dialog) {}

    template <typename Widget>
    Widget *find(const char *name) const
    {
        auto *widget = dialog.findChild<Widget *>(name);
        if (!widget)
            qFatal("The settings dialog has no %s of the expected kind", name);
        return widget;
    }

    const QDialog &dialog;
    QTabWidget *tabs = find<QTabWidget>("tabWidget");
    QLineEdit *directory = find<QLineEdit>("lineEdit_OutputDirectory");
    QToolButton *chooser = find<QToolButton>("toolButton_SelectOutputDirectory");
    QComboBox *format = find<QComboBox>("comboBox_OutputFormat");
    QComboBox *quality = find<QComboBox>("comboBox_Quality");
    QComboBox *samplerate = find<QComboBox>("comboBox_OutputSamplerate");
    QComboBox *channels = find<QComboBox>("comboBox_OutputChannelCount");
    QLineEdit *binary = find<QLineEdit>("lineEdit_FFmpegBinary");
    QSpinBox *threads = find<QSpinBox>("spinBox_Threads");
    QCheckBox *quick = find<QCheckBox>("checkBox_QuickConvertMode");
    QCheckBox *copy = find<QCheckBox>("checkBox_CopyNonAudioFiles");
    QCheckBox *sox = find<QCheckBox>("checkBox_UseSoXresampler");
    QCheckBox *cover = find<QCheckBox>("checkBox_CoverArt");
    QCheckBox *loudness = find<QCheckBox>("checkBox_ReplayGain");
    QLineEdit *fileName = find<QLineEdit>("lineEdit_OutputFileName");
    QLabel *example = find<QLabel>("label_FileNameExample");
    QCheckBox *times = find<QCheckBox>("checkBox_KeepFileTimes");
    QComboBox *presets = find<QComboBox>("comboBox_AudioFiltersPresets");
    QPlainTextEdit *filters = find<QPlainTextEdit>("plainTextEdit_AudioFilters");
    QDialogButtonBox *buttons = find<QDialogButtonBox>("buttonBox");

    QPushButton *ok() const { return buttons->button(QDialogButtonBox::Ok); }
    QPushButton *cancel() const { return buttons->button(QDialogButtonBox::Cancel); }
};

// Chooses an entry as a user does, through the open list; only this emits activated.
static void choose(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->showPopup();
    QAbstractItemView *view = box->view();
    QTRY_VERIFY(view->isVisible());
    view->setCurrentIndex(view->model()->index(index, box->modelColumn()));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(box->currentIndex(), index);
}

static QStringList itemTexts(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// What the store holds, read back through a fresh store object.
static QVariantMap stored()
{
    const QVariantMap types = settingsRecord();
    QSettings store;
    QVariantMap values;
    for (auto it = types.begin(); it != types.end(); ++it) {
        QVariant value = store.value(it.key());
        value.convert(it.value().userType());
        values.insert(it.key(), value);
    }
    return values;
}

// Log lines, each with whether the dialog was still showing when it was written.
static QDialog *loggingDialog = nullptr;
static QStringList dialogLog;

static void logWithDialogState(QtMsgType, const QMessageLogContext &, const QString &message)
{
    dialogLog << message + (loggingDialog && loggingDialog->isVisible() ? " (shown)" : " (hidden)");
}

class TestSettingsDialog : public QObject
{
    Q_OBJECT

public:
    explicit TestSettingsDialog(const IsolatedHome &home) : home(home) {}

private:
    const IsolatedHome &home;

private slots:
    void init()
    {
        QFile::remove(home.configFile());
        LogCapture quiet;
        AppSettings::load();
    }

    void pagesAndTexts()
    {
        SettingsDialog dialog;
        QCOMPARE(dialog.windowTitle(), QString("Settings"));
        QCOMPARE(dialog.size(), QSize(410, 310));
        const Form form(dialog);
        QStringList pages;
        for (int i = 0; i < form.tabs->count(); ++i)
            pages << form.tabs->widget(i)->objectName() + ' ' + form.tabs->tabText(i);
        QCOMPARE(pages, (QStringList{"tab_Main Main", "tab_Advanced Advanced", "tab_Filters Filters",
                                     "tab_Names Names"}));
        QCOMPARE(form.buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(form.threads->correctionMode(), QAbstractSpinBox::CorrectToNearestValue);
        // The Threads tooltip belongs to the label, not to the spin box.
        QCOMPARE(dialog.findChild<QWidget *>("label_6")->toolTip(),
                 QString("How many files to process at the same time.\nSelect 0 to use all CPU threads."));
        QVERIFY(form.threads->toolTip().isEmpty());
    }

    // The pattern as typed, on sample tags until a row's are given; the
    // output's folder only for a row. The label may be too narrow for all of it.
    void fileNameExample()
    {
        SettingsDialog dialog;
        const Form form(dialog);
        form.directory->setText("/out/{subfolder}");
        QCOMPARE(form.example->toolTip(), QString("Example: track03.mp3"));
        form.fileName->setText("{artist}/{track} {title}");
        QCOMPARE(form.example->toolTip(), QString("Example: Artist/03 Title.mp3"));
        TrackTags tags;
        tags.title = "Why?";
        dialog.setExample("/lib/cd1/a.flac", "/lib", tags);
        choose(form.format, "Opus (.opus)");
        QCOMPARE(form.example->toolTip(), QString("Example: /out/cd1/Unknown Artist/00 Why_.opus"));
    }

    // Typed fields take the width a wider dialog gives.
    void fieldsGrow()
    {
        SettingsDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *tabs = dialog.findChild<QTabWidget *>("tabWidget");
        // A page is laid out when it is shown.
        const auto width = [tabs](const QString &page, const QString &name) {
            tabs->setCurrentWidget(tabs->findChild<QWidget *>(page));
            if (QLayout *layout = tabs->currentWidget()->layout())
                layout->activate();
            return tabs->findChild<QWidget *>(name)->width();
        };
        const QList<QPair<QString, QString>> fields{{"tab_Main", "lineEdit_OutputDirectory"},
                                                    {"tab_Advanced", "lineEdit_FFmpegBinary"},
                                                    {"tab_Filters", "plainTextEdit_AudioFilters"}};
        QList<int> before;
        for (const auto &field : fields)
            before << width(field.first, field.second);
        dialog.resize(dialog.width() + 200, dialog.height());
        QTRY_COMPARE_WITH_TIMEOUT(dialog.width(), 610, 5000);
        for (int i = 0; i < fields.size(); ++i)
            QVERIFY2(width(fields.at(i).first, fields.at(i).second) >= before.at(i) + 150, qPrintable(fields.at(i).second));
    }

    // The focus moves through each page from top to bottom.
    void tabOrder()
    {
        SettingsDialog dialog;
        const QStringList expected{"lineEdit_OutputDirectory", "toolButton_SelectOutputDirectory",
                                   "comboBox_OutputFormat", "comboBox_Quality",
                                   "comboBox_OutputSamplerate", "comboBox_OutputChannelCount",
                                   "lineEdit_FFmpegBinary", "spinBox_Threads", "checkBox_CoverArt",
                                   "checkBox_QuickConvertMode", "checkBox_CopyNonAudioFiles", "checkBox_ReplayGain",
                                   "checkBox_UseSoXresampler", "comboBox_AudioFiltersPresets",
                                   "plainTextEdit_AudioFilters"};
        QStringList chain;
        QWidget *widget = dialog.findChild<QWidget *>(expected.first());
        do {
            if (expected.contains(widget->objectName()))
                chain << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget->objectName() != expected.first());
        QCOMPARE(chain, expected);
    }

    void firstStart()
    {
        SettingsDialog dialog;
        dialog.show();
        const Form form(dialog);
        QCOMPARE(form.tabs->currentWidget()->objectName(), QString("tab_Main"));
        QCOMPARE(form.format->currentText(), QString("MP3 (.mp3)"));
        QCOMPARE(form.quality->currentText(), QString("VBR, 2, ~190 kbps"));
        QCOMPARE(form.quality->count(), 17);
        QCOMPARE(form.samplerate->currentText(), QString("Keep"));
        QCOMPARE(form.channels->currentText(), QString("Keep"));
        QCOMPARE(form.directory->text(), home.dir.path() + "/Quillmere/{sourcedir}");
        QCOMPARE(form.directory->cursorPosition(), 0);
        QCOMPARE(form.binary->text(), AppSettings::defaultFFmpegBinary());
        QCOMPARE(form.threads->value(), 0);
        QVERIFY(!form.quick->isChecked());
        QVERIFY(!form.copy->isChecked());
        QVERIFY(!form.sox->isChecked());
        QCOMPARE(form.presets->count(), 6);
        QCOMPARE(form.presets->currentIndex(), -1);
        QVERIFY(form.presets->currentText().isEmpty());
        QVERIFY(form.filters->toPlainText().isEmpty());
        QVERIFY(!QFile::exists(home.configFile()));
    }

    void formatChange_data()
    {
        QTest::addColumn<QStringList>("picks"); // format labels, or "quality:" and a preset label
        QTest::addColumn<QStringList>("qualities");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("storedFormat");
        QTest::addColumn<QString>("storedQuality");

        QTest::newRow("ogg") << QStringList{"Ogg Vorbis (.ogg)"} << presetLabels("ogg")
                             << "VBR, 5, ~160 kbps" << "ogg" << "-q:a 5";
        QTest::newRow("flac") << QStringList{"FLAC (.flac)"} << QStringList{"auto", "16 bit"} << "auto"
                              << "flac" << "";
        QTest::newRow("same format again")
            << QStringList{"quality:CBR, 128 kbps", "MP3 (.mp3)"} << presetLabels("mp3")
            << "VBR, 2, ~190 kbps" << "mp3" << "-q:a 2";
        QTest::newRow("another format and back")
            << QStringList{"Opus (.opus)", "quality:ABR, 80 kbps", "WAV (.wav)", "AAC (.m4a)"}
            << presetLabels("m4a") << "CBR, 160 kbps" << "m4a" << "-b:a 160k";
        QTest::newRow("quality of the new format")
            << QStringList{"WAV (.wav)", "quality:24 bit"} << QStringList{"32 bit", "24 bit", "16 bit"}
            << "24 bit" << "wav" << "-c:a pcm_s24le";
    }

    void formatChange()
    {
        QFETCH(QStringList, picks);
        QFETCH(QStringList, qualities);
        QFETCH(QString, current);
        QFETCH(QString, storedFormat);
        QFETCH(QString, storedQuality);

        SettingsDialog dialog;
        dialog.show();
        const Form form(dialog);
        for (const QString &pick : picks) {
            if (pick.startsWith("quality:"))
                choose(form.quality, pick.mid(8));
            else
                choose(form.format, pick);
        }
        QCOMPARE(itemTexts(form.quality), qualities);
        QCOMPARE(form.quality->currentText(), current);
        QCOMPARE(AppSettings::OutputFormat, QString("mp3")); // nothing stored before OK

        LogCapture log;
        form.ok()->click();
        QCOMPARE(AppSettings::OutputFormat, storedFormat);
        QCOMPARE(AppSettings::OutputQualityArguments, storedQuality);
    }

    void valuesOutsideTheLists_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("quality");
        QTest::addColumn<QString>("samplerate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("threads");
        QTest::addColumn<QStringList>("shown"); // format, quality, rate, channels, threads
        QTest::addColumn<int>("qualityCount");
        QTest::addColumn<QVariantMap>("saved"); // differences from what was stored

        QTest::newRow("quality of another format")
            << "mp3" << "-b:a 48k" << "" << 0 << 0
            << QStringList{"MP3 (.mp3)", "", "Keep", "Keep", "0"} << 17
            << QVariantMap{{"OutputQualityArguments", ""}};
        QTest::newRow("unknown format")
            << "aac" << "-b:a 160k" << "48000" << 2 << 4
            << QStringList{"", "", "48000 Hz", "2 (Stereo)", "4"} << 0
            << QVariantMap{{"OutputFormat", ""}, {"OutputQualityArguments", ""}};
        QTest::newRow("format in capitals")
            << "MP3" << "-q:a 2" << "" << 1 << 0
            << QStringList{"", "", "Keep", "1 (Mono)", "0"} << 0
            << QVariantMap{{"OutputFormat", ""}, {"OutputQualityArguments", ""}};
        QTest::newRow("rate not offered")
            << "ogg" << "-q:a 9" << "22050" << 0 << 0
            << QStringList{"Ogg Vorbis (.ogg)", "VBR, 9, ~320 kbps", "", "Keep", "0"} << 20
            << QVariantMap{{"OutputSamplerate", ""}};
        QTest::newRow("six channels")
            << "opus" << "-b:a 48k" << "96000" << 6 << 0
            << QStringList{"Opus (.opus)", "ABR, 48 kbps", "96000 Hz", "", "0"} << 11
            << QVariantMap{{"OutputChannelCount", 0}};
        QTest::newRow("threads above the range")
            << "wav" << "-c:a pcm_s32le" << "44100" << 0 << 150
            << QStringList{"WAV (.wav)", "32 bit", "44100 Hz", "Keep", "99"} << 3
            << QVariantMap{{"Threads", 99}};
        QTest::newRow("threads below the range")
            << "flac" << "" << "" << 0 << -3
            << QStringList{"FLAC (.flac)", "auto", "Keep", "Keep", "0"} << 2
            << QVariantMap{{"Threads", 0}};
        QTest::newRow("empty quality of a format without an empty preset")
            << "m4a" << "" << "" << 0 << 0
            << QStringList{"AAC (.m4a)", "", "Keep", "Keep", "0"} << 9 << QVariantMap();
    }

    void valuesOutsideTheLists()
    {
        QFETCH(QString, format);
        QFETCH(QString, quality);
        QFETCH(QString, samplerate);
        QFETCH(int, channels);
        QFETCH(int, threads);
        QFETCH(QStringList, shown);
        QFETCH(int, qualityCount);
        QFETCH(QVariantMap, saved);

        AppSettings::OutputFormat = format;
        AppSettings::OutputQualityArguments = quality;
        AppSettings::OutputSamplerate = samplerate;
        AppSettings::OutputChannelCount = channels;
        AppSettings::Threads = threads;
        QVariantMap expected = settingsRecord();
        for (auto it = saved.begin(); it != saved.end(); ++it)
            expected[it.key()] = it.value();

        SettingsDialog dialog;
        dialog.show();
        const Form form(dialog);
        QCOMPARE((QStringList{form.format->currentText(), form.quality->currentText(),
                              form.samplerate->currentText(), form.channels->currentText(),
                              form.threads->text()}),
                 shown);
        QCOMPARE(form.quality->count(), qualityCount);

        LogCapture log;
        form.ok()->click();
        QCOMPARE(settingsRecord(), expected);
        QCOMPARE(stored(), expected);
    }

    void filterPresets_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("picks");
        QTest::addColumn<QString>("text");

        QTest::newRow("bass boost over typed text")
            << "loudnorm\nhighpass=f=200" << QStringList{"Bass boost"} << "volume=-10dB\nbass=gain=10";
        QTest::newRow("disabled empties")
            << "loudnorm" << QStringList{"Increase volume", "Disabled"} << "";
        QTest::newRow("same preset after editing")
            << "" << QStringList{"Increase volume", "edit", "Increase volume"} << "volume=10dB";
    }

    void filterPresets()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, picks);
        QFETCH(QString, text);

        SettingsDialog dialog;
        dialog.show();
        const Form form(dialog);
        form.filters->setPlainText(typed);
        for (const QString &pick : picks) {
            if (pick == "edit") {
                form.filters->setFocus();
                QTest::keyClicks(form.filters, ",volume=2");
                QCOMPARE(form.presets->currentText(), picks.first()); // edits leave the preset shown
            } else {
                choose(form.presets, pick);
            }
        }
        QCOMPARE(form.filters->toPlainText(), text);
        QCOMPARE(form.presets->currentText(), picks.last());
        QVERIFY(AppSettings::AudioFilters.isEmpty());

        LogCapture log;
        form.ok()->click();
        QCOMPARE(AppSettings::AudioFilters, text);
    }

    void okStoresEveryField()
    {
        SettingsDialog dialog;
        dialog.show();
        const Form form(dialog);
        form.directory->setText("/data/out/{sourcedir}/converted");
        choose(form.format, "Opus (.opus)");
        choose(form.quality, "ABR, 96 kbps");
        choose(form.samplerate, "48000 Hz");
        choose(form.channels, "1 (Mono)");
        form.binary->setText("/opt/ffmpeg/bin/ffmpeg");
        form.threads->setValue(12);
        form.quick->setChecked(true);
        form.copy->setChecked(true);
        form.sox->setChecked(true);
        form.cover->setChecked(false);
        form.loudness->setChecked(true);
        form.fileName->setText(" {artist}/{title} ");
        form.times->setChecked(true);
        choose(form.presets, "Bass boost");

        const QVariantMap expected{
            {"FFmpegBinary", "/opt/ffmpeg/bin/ffmpeg"},
            {"OutputFormat", "opus"},
            {"OutputQualityArguments", "-b:a 96k"},
            {"OutputDirectory", "/data/out/{sourcedir}/converted"},
            {"OutputFileName", "{artist}/{title}"},
            {"OutputSamplerate", "48000"},
            {"OutputChannelCount", 1},
            {"AudioFilters", "volume=-10dB\nbass=gain=10"},
            {"QuickConvertMode", true},
            {"CopyNonAudioFiles", true},
            {"UseSoXresampler", true},
            {"CoverArt", false},
            {"ReplayGain", true},
            {"KeepFileTimes", true},
            {"Threads", 12},
        };

        loggingDialog = &dialog;
        dialogLog.clear();
        const QtMessageHandler previous = qInstallMessageHandler(&logWithDialogState);
        form.ok()->click();
        qInstallMessageHandler(previous);
        loggingDialog = nullptr;

        // The dialog is hidden by accept before the values are stored.
        QCOMPARE(dialogLog, QStringList{"Settings saved (hidden)"});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(settingsRecord(), expected);
        QCOMPARE(stored(), expected);

        // The next dialog shows what was stored.
        SettingsDialog next;
        const Form again(next);
        QCOMPARE(again.quality->currentText(), QString("ABR, 96 kbps"));
        QCOMPARE(again.channels->currentText(), QString("1 (Mono)"));
        QCOMPARE(again.filters->toPlainText(), expected["AudioFilters"].toString());
    }

    void cancelStoresNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "Cancel";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("window closed") << "close";
    }

    void cancelStoresNothing()
    {
        QFETCH(QString, how);
        const QVariantMap before = settingsRecord();
        {
            SettingsDialog dialog;
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            const Form form(dialog);
            choose(form.format, "WAV (.wav)");
            form.binary->setText("/elsewhere/ffmpeg");
            form.threads->setValue(3);
            form.sox->setChecked(true);
            choose(form.presets, "Speed up");

            LogCapture log;
            if (how == "Cancel")
                form.cancel()->click();
            else if (how == "Escape")
                QTest::keyClick(form.binary, Qt::Key_Escape);
            else
                dialog.close();
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QVERIFY(log.lines.isEmpty());
        }
        QCOMPARE(settingsRecord(), before);
        QVERIFY(!QFile::exists(home.configFile()));

        SettingsDialog next;
        const Form form(next);
        QCOMPARE(form.format->currentText(), QString("MP3 (.mp3)"));
        QCOMPARE(form.binary->text(), before["FFmpegBinary"].toString());
        QVERIFY(!form.sox->isChecked());
    }

    void trimming_data()
    {
        QTest::addColumn<QString>("binary");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("filters");
        QTest::addColumn<QStringList>("saved"); // binary, directory, filters

        QTest::newRow("spaces around")
            << "  /usr/bin/ffmpeg  " << " /data/{sourcedir} " << "  volume=2  "
            << QStringList{"/usr/bin/ffmpeg", "/data/{sourcedir}", "volume=2"};
        QTest::newRow("blank lines around filters, inner ones stay")
            << "\t/opt/ff mpeg" << "/data/my music/{sourcedir}\t" << "\n\n volume=-10dB\n\nbass=gain=10 \n\n"
            << QStringList{"/opt/ff mpeg", "/data/my music/{sourcedir}", "volume=-10dB\n\nbass=gain=10"};
        QTest::newRow("only white space")
            << "   " << "  " << " \n \n"
            << QStringList{"", "", ""};
    }

    void trimming()
    {
        QFETCH(QString, binary);
        QFETCH(QString, directory);
        QFETCH(QString, filters);
        QFETCH(QStringList, saved);

        SettingsDialog dialog;
        dialog.show();
        const Form form(dialog);
        form.binary->setText(binary);
        form.directory->setText(directory);
        form.filters->setPlainText(filters);
        LogCapture log;
        form.ok()->click();
        QCOMPARE((QStringList{AppSettings::FFmpegBinary, AppSettings::OutputDirectory,
                              AppSettings::AudioFilters}),
                 saved);
        QCOMPARE(stored().value("AudioFilters").toString(), saved.last());
    }

    void directoryChooser_data()
    {
        QTest::addColumn<QString>("answer"); // empty: cancel
        QTest::addColumn<QString>("text");
        // BASE stands for the test's temporary folder.

        QTest::newRow("chosen") << "BASE/out" << "BASE/out/{sourcedir}";
        QTest::newRow("chosen with a space") << "BASE/my music" << "BASE/my music/{sourcedir}";
        QTest::newRow("root") << "/" << "//{sourcedir}";
        QTest::newRow("cancelled") << "" << "BASE/typed/{sourcedir}";
    }

    void directoryChooser()
    {
        QFETCH(QString, answer);
        QFETCH(QString, text);

        QTemporaryDir folder;
        const QString base = QDir(folder.path()).canonicalPath();
        QVERIFY(QDir().mkpath(base + "/start") && QDir().mkpath(base + "/out")
                && QDir().mkpath(base + "/my music") && QDir().mkpath(base + "/typed"));
        AppSettings::OutputDirectory = base + "/start";
        answer.replace("BASE", base);
        text.replace("BASE", base);

        SettingsDialog dialog;
        dialog.show();
        const Form form(dialog);
        // The chooser starts at the stored directory, not at the edited text.
        form.directory->setText(base + "/typed/{sourcedir}");

        QString caption, start;
        bool directoriesOnly = false, linksKept = false;
        QWidget *parent = nullptr;
        WhenModal<QFileDialog> chooser([&](QFileDialog *files) {
            caption = files->windowTitle();
            start = files->directory().absolutePath();
            directoriesOnly = files->testOption(QFileDialog::ShowDirsOnly);
            linksKept = files->testOption(QFileDialog::DontResolveSymlinks);
            parent = files->parentWidget();
            if (answer.isEmpty()) {
                files->reject();
            } else {
                files->setDirectory(answer);
                static_cast<QDialog *>(files)->accept(); // protected in QFileDialog
            }
        });
        QTest::mouseClick(form.chooser, Qt::LeftButton);
        QVERIFY(chooser.handled());
        QCOMPARE(caption, QString("Open Directory"));
        QCOMPARE(start, base + "/start");
        QVERIFY(directoriesOnly);
        QVERIFY(linksKept);
        QCOMPARE(parent, &dialog);
        QCOMPARE(form.directory->text(), text);
        QCOMPARE(AppSettings::OutputDirectory, base + "/start");
    }

    // Translatable texts are looked up in the dialog's context; format,
    // quality and rate labels and "..." stay as they are.
    void translatedTexts()
    {
        MarkingTranslator translator;
        QCoreApplication::installTranslator(&translator);
        SettingsDialog dialog;
        QCoreApplication::removeTranslator(&translator);
        const Form form(dialog);

        QCOMPARE(dialog.windowTitle(), QString("<SettingsDialog>Settings"));
        QCOMPARE(form.tabs->tabText(1), QString("<SettingsDialog>Advanced"));
        QCOMPARE(form.copy->text(), QString("<SettingsDialog>Copy non-audio files"));
        QVERIFY(dialog.findChild<QWidget *>("label_6")->toolTip().startsWith("<SettingsDialog>How many"));
        QCOMPARE(form.chooser->text(), QString("..."));
        QCOMPARE(form.format->currentText(), QString("MP3 (.mp3)"));
        QCOMPARE(form.quality->currentText(), QString("VBR, 2, ~190 kbps"));
        QCOMPARE(itemTexts(form.samplerate),
                 (QStringList{"<SettingsDialog>Keep", "44100 Hz", "48000 Hz", "96000 Hz"}));
        QCOMPARE(form.channels->currentText(), QString("<SettingsDialog>Keep"));
        QCOMPARE(form.presets->itemText(1), QString("<SettingsDialog>Increase volume"));
    }
};

int main(int argc, char **argv)
{
    IsolatedHome home;
    QApplication app(argc, argv);
    app.setOrganizationName("Orvandel");
    app.setApplicationName("Quillmere");
    TestFormatCatalogue catalogue;
    TestSettingsDialog dialog(home);
    int failures = QTest::qExec(&catalogue, argc, argv);
    failures += QTest::qExec(&dialog, argc, argv);
    return failures;
}

#include "test_settingsdialog.moc"
