// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace Ui {
class AboutDialog;
}

// Name, version and maker of the application, a short text with links, and
// the toolkit's own About box.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

private slots:
    void on_pushButton_AboutQt_clicked();
    void on_pushButton_Close_clicked();

private:
    Ui::AboutDialog *ui;
};
