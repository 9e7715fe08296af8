// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/conversionengine.h"

#include <QList>
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

    // What the Convert button does: checks the settings, then runs every row.
    void convert();

    // Drops the queued jobs of the running batch and lets the running ones finish.
    void cancel();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_Convert_clicked();
    void on_pushButton_Cancel_clicked();
    void on_pushButton_Clear_clicked();
    void on_pushButton_Settings_clicked();
    void on_pushButton_About_clicked();
    void on_tableView_customContextMenuRequested(const QPoint &pos);
    void onStatusChange(int id, FFmpegTask::ConvertStatus status);
    void onConvertDone(int id);

private:
    void addPath(const QString &path);
    void addFile(const QString &path);
    void addDirectory(const QString &directory);
    void appendRow();
    void setStatus(FFmpegTask::ConvertStatus status, const QModelIndex &index);
    void showTable();
    void removeRows(const QList<int> &rows);
    void setConverting(bool active);
    void stopBatch();

    Ui::MainWindow *ui;
    QStandardItemModel *model;
    bool converting = false;
    int batchSize = 0;
    int finishedCount = 0;
    ConversionEngine engine;
};
