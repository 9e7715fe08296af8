// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/ffmpegtask.h"

#include <QMainWindow>

class QStandardItemModel;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Adds files and whole directory trees as Pending rows, then shows the table.
    void addPaths(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void on_pushButton_Clear_clicked();
    void on_pushButton_Settings_clicked();
    void on_pushButton_About_clicked();
    void on_tableView_customContextMenuRequested(const QPoint &pos);

private:
    void addPath(const QString &path);
    void addFile(const QString &path);
    void addDirectory(const QString &directory);
    void appendRow();
    void setStatus(FFmpegTask::ConvertStatus status, const QModelIndex &index);
    void showTable();
    void removeRows(QList<int> rows);
    void setConverting(bool active);

    Ui::MainWindow *ui;
    QStandardItemModel *model;
    bool converting = false;

    friend class TestMainWindow;
    friend class TestDialogButtons;
};
