// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

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

private slots:
    void on_buttonBox_accepted();
    void on_toolButton_SelectOutputDirectory_clicked();
    void on_comboBox_AudioFiltersPresets_activated(int index);
    void on_comboBox_OutputFormat_activated(int index);

private:
    void loadSettingsIntoForm();
    void refreshQualityPresets();
    void storeSettingsFromForm();

    Ui::SettingsDialog *ui;
};
