// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractItemModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

// The main window's widgets, found by their object names.
struct WindowParts
{
    explicit WindowParts(const QWidget &window)
        : convert(window.findChild<QPushButton *>(QStringLiteral("pushButton_Convert")))
        , cancel(window.findChild<QPushButton *>(QStringLiteral("pushButton_Cancel")))
        , clear(window.findChild<QPushButton *>(QStringLiteral("pushButton_Clear")))
        , settings(window.findChild<QPushButton *>(QStringLiteral("pushButton_Settings")))
        , about(window.findChild<QPushButton *>(QStringLiteral("pushButton_About")))
        , table(window.findChild<QTableView *>(QStringLiteral("tableView")))
        , model(table ? table->model() : nullptr)
        , progress(window.findChild<QProgressBar *>(QStringLiteral("progressBar")))
        , help(window.findChild<QLabel *>(QStringLiteral("label_HelpMessage")))
    {
    }

    bool found() const { return convert && cancel && clear && settings && about && model && progress && help; }

    // The Status column, top to bottom.
    QStringList statuses() const
    {
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString();
        return texts;
    }

    // The window's idle state: only Cancel disabled, no progress bar.
    bool idle() const
    {
        return convert->isEnabled() && settings->isEnabled() && clear->isEnabled() && !cancel->isEnabled()
            && progress->isHidden();
    }

    // While a batch runs: Convert, Settings and Clear disabled, the progress bar shown.
    bool converting() const
    {
        return !convert->isEnabled() && !settings->isEnabled() && !clear->isEnabled() && !progress->isHidden();
    }

    QPushButton *convert;
    QPushButton *cancel;
    QPushButton *clear;
    QPushButton *settings;
    QPushButton *about;
    QTableView *table;
    QAbstractItemModel *model;
    QProgressBar *progress;
    QLabel *help;
};
