// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "naming/tracktags.h"
#include "settings/settingstable.h"

#include <QDialog>
#include <QList>

#include <utility>

namespace Ui {
class SettingsDialog;
}

// Edits AppSettings. It keeps no copy: the widgets are filled from the record
// when the dialog is built, and OK writes them back and saves the record.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget *parent = nullptr);
    ~SettingsDialog() override;

    // The file whose output the file name pattern's example shows: the
    // input `inputPath`, added with `addedFolder`, tagged `tags`. Until it is
    // given the example is made of sample tags.
    void setExample(const QString &inputPath, const QString &addedFolder, const TrackTags &tags);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_buttonBox_accepted();
    void on_toolButton_SelectOutputDirectory_clicked();
    void on_comboBox_AudioFiltersPresets_activated(int index);
    void on_comboBox_OutputFormat_activated(int index);

private:
    // Each field of the record and the widget that edits it, in the
    // record's order.
    QList<std::pair<SettingsTable::Field, QWidget *>> fieldWidgets() const;
    void loadSettingsIntoForm();
    void refreshQualityPresets();
    void storeSettingsFromForm();
    void showExample();

    Ui::SettingsDialog *ui;
    QString exampleInput;
    QString exampleFolder;
    TrackTags exampleTags;
};
