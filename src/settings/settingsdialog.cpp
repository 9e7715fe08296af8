// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsdialog.h"
#include "ui_settingsdialog.h"

#include "naming/outputnaming.h"
#include "settings/appsettings.h"
#include "settings/formatcatalogue.h"
#include "settings/outputlocation.h"
#include "settings/settingstable.h"

#include <QFileDialog>
#include <QMetaProperty>

namespace {

void addChoices(QComboBox *box, const QList<FormatCatalogue::Choice> &choices)
{
    for (const FormatCatalogue::Choice &choice : choices)
        box->addItem(choice.label, choice.value);
}

// A value that no entry carries leaves the list without a current entry, so
// that OK stores the empty reading instead of a value the user never chose.
void select(QComboBox *box, const QVariant &value)
{
    box->setCurrentIndex(box->findData(value));
}

// Each widget other than a list shows its value in its user property.
void showValue(QWidget *widget, const QVariant &value)
{
    if (auto *box = qobject_cast<QComboBox *>(widget))
        select(box, value);
    else
        widget->metaObject()->userProperty().write(widget, value);
}

QVariant shownValue(const QWidget *widget)
{
    if (const auto *box = qobject_cast<const QComboBox *>(widget))
        return box->currentData();
    const QVariant value = widget->metaObject()->userProperty().read(widget);
    // Typed text is stored without the white space around it.
    return value.userType() == QMetaType::QString ? QVariant(value.toString().trimmed()) : value;
}

} // namespace

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SettingsDialog)
{
    ui->setupUi(this);

    addChoices(ui->comboBox_OutputFormat, FormatCatalogue::formats());
    addChoices(ui->comboBox_OutputSamplerate, FormatCatalogue::samplerates());
    addChoices(ui->comboBox_OutputChannelCount, FormatCatalogue::channelCounts());
    addChoices(ui->comboBox_AudioFiltersPresets, FormatCatalogue::filterPresets());
    // A preset is only a way to fill the filter text; the list shows none
    // until one is picked.
    ui->comboBox_AudioFiltersPresets->setCurrentIndex(-1);

    loadSettingsIntoForm();
    // Long templates show their beginning.
    ui->lineEdit_OutputDirectory->setCursorPosition(0);

    exampleTags.title = tr("Title");
    exampleTags.artist = tr("Artist");
    exampleTags.album = tr("Album");
    exampleTags.track = 3;
    exampleTags.disc = 1;
    exampleTags.year = 1999;
    for (QLineEdit *edit : {ui->lineEdit_OutputDirectory, ui->lineEdit_OutputFileName})
        connect(edit, &QLineEdit::textChanged, this, &SettingsDialog::showExample);
    connect(ui->comboBox_OutputFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingsDialog::showExample);
    ui->label_FileNameExample->installEventFilter(this);
    showExample();
}

void SettingsDialog::setExample(const QString &inputPath, const QString &addedFolder, const TrackTags &tags)
{
    exampleInput = inputPath;
    exampleFolder = addedFolder;
    exampleTags = tags;
    showExample();
}

// The sample has no folder to show; a real row's output is shown whole, on
// one line with its file name in sight, and in the tooltip.
void SettingsDialog::showExample()
{
    const OutputNaming::Rules rules{ui->lineEdit_OutputDirectory->text().trimmed(),
                                    ui->lineEdit_OutputFileName->text().trimmed(),
                                    ui->comboBox_OutputFormat->currentData().toString()};
    const QString input = exampleInput.isEmpty() ? QStringLiteral("track03.flac") : exampleInput;
    const QString name = OutputNaming::nameInFolder(rules, input, exampleFolder, exampleTags);
    const QString example = tr("Example: %1").arg(
        exampleInput.isEmpty() ? name : OutputNaming::folder(rules, input, exampleFolder) + QLatin1Char('/') + name);
    QLabel *label = ui->label_FileNameExample;
    label->setToolTip(example);
    label->setText(label->fontMetrics().elidedText(example, Qt::ElideMiddle, label->contentsRect().width()));
}

bool SettingsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->label_FileNameExample && event->type() == QEvent::Resize)
        showExample();
    return QDialog::eventFilter(watched, event);
}

SettingsDialog::~SettingsDialog()
{
    delete ui;
}

QList<std::pair<SettingsTable::Field, QWidget *>> SettingsDialog::fieldWidgets() const
{
    return {
        {&AppSettings::FFmpegBinary, ui->lineEdit_FFmpegBinary},
        {&AppSettings::OutputFormat, ui->comboBox_OutputFormat},
        {&AppSettings::OutputQualityArguments, ui->comboBox_Quality},
        {&AppSettings::OutputDirectory, ui->lineEdit_OutputDirectory},
        {&AppSettings::OutputFileName, ui->lineEdit_OutputFileName},
        {&AppSettings::OutputSamplerate, ui->comboBox_OutputSamplerate},
        {&AppSettings::OutputChannelCount, ui->comboBox_OutputChannelCount},
        {&AppSettings::AudioFilters, ui->plainTextEdit_AudioFilters},
        {&AppSettings::QuickConvertMode, ui->checkBox_QuickConvertMode},
        {&AppSettings::CopyNonAudioFiles, ui->checkBox_CopyNonAudioFiles},
        {&AppSettings::UseSoXresampler, ui->checkBox_UseSoXresampler},
        {&AppSettings::CoverArt, ui->checkBox_CoverArt},
        {&AppSettings::ReplayGain, ui->checkBox_ReplayGain},
        {&AppSettings::KeepFileTimes, ui->checkBox_KeepFileTimes},
        {&AppSettings::Threads, ui->spinBox_Threads},
    };
}

void SettingsDialog::loadSettingsIntoForm()
{
    for (const auto &[field, widget] : fieldWidgets()) {
        // The qualities offered are those of the format shown.
        if (widget == ui->comboBox_Quality)
            refreshQualityPresets();
        showValue(widget, SettingsTable::of(field).value());
    }
}

void SettingsDialog::refreshQualityPresets()
{
    const FormatCatalogue::QualityPresets quality =
        FormatCatalogue::qualityPresets(ui->comboBox_OutputFormat->currentData().toString());
    ui->comboBox_Quality->clear();
    for (const FormatCatalogue::QualityPreset &preset : quality.presets)
        ui->comboBox_Quality->addItem(preset.label, preset.arguments);
    ui->comboBox_Quality->setCurrentIndex(quality.defaultIndex);
}

void SettingsDialog::storeSettingsFromForm()
{
    for (const auto &[field, widget] : fieldWidgets())
        SettingsTable::of(field).assign(shownValue(widget));
    AppSettings::save();
}

void SettingsDialog::on_buttonBox_accepted()
{
    storeSettingsFromForm();
}

void SettingsDialog::on_toolButton_SelectOutputDirectory_clicked()
{
    // The stored template usually ends in "{sourcedir}" and names no existing
    // folder; the chooser then picks its own starting place.
    const QString chosen = QFileDialog::getExistingDirectory(
        this, tr("Open Directory"), AppSettings::OutputDirectory,
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (chosen.isEmpty())
        return;
    ui->lineEdit_OutputDirectory->setText(OutputLocation::belowSources(chosen));
}

void SettingsDialog::on_comboBox_AudioFiltersPresets_activated(int index)
{
    ui->plainTextEdit_AudioFilters->setPlainText(
        ui->comboBox_AudioFiltersPresets->itemData(index).toString());
}

// Choosing a format, even the current one, starts again from its default quality.
void SettingsDialog::on_comboBox_OutputFormat_activated(int)
{
    refreshQualityPresets();
}
