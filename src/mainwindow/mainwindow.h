// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/batchprogress.h"
#include "conversion/conversionengine.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QTimer>
#include <QVector>

class JobTable;
class QLabel;

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
    // Runs only the rows whose last job failed.
    void convertFailedAgain();

    // Drops the queued jobs of the running batch and lets the running ones finish.
    void cancel();
    // Stops the running encoders at once; their rows end as Failed.
    void stopNow();

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
    void onStatusChange(int id, JobStatus::ConvertStatus status);
    void onConvertDone(int id);

private:
    enum class Ending { Finished, Cancelled, Stopped };

    void addPath(const QString &path);
    void addFile(const QString &path);
    void addDirectory(const QString &directory);
    void appendRow();
    void setStatus(JobStatus::ConvertStatus status, const QModelIndex &index);
    void showTable();
    void removeRows(const QList<int> &rows);
    void removeSelectedRows();
    QList<int> selectedRows() const;
    void setConverting(bool active);
    void stopBatch();

    void chooseFiles();
    void chooseFolder();
    void showDetails(int row);
    void openOutputFolder(int row);

    bool checkSettings();
    void startBatch(const QVector<int> &rows);
    int rowOf(int id) const;
    void queueStatus(int id, JobStatus::ConvertStatus status);
    void queueProgress(int id, qint64 positionMs, qint64 durationMs);
    void takeReport(const JobReport &report);
    void showQueuedChanges();
    void forgetQueuedChanges();
    void showTime();
    void finishBatch();
    void setSummary(const QString &text);
    void selectFailedRows();

    Ui::MainWindow *ui;
    JobTable *model;
    QLabel *summaryLabel;
    bool converting = false;
    int batchSize = 0;
    int finishedCount = 0;
    ConversionEngine engine;

    // The rows of the running batch by job id - 1; empty when the batch
    // takes every row, in order.
    QVector<int> batchRows;
    Ending ending = Ending::Finished;
    BatchProgress batchProgress;
    QElapsedTimer batchClock;
    QTimer timeTicker;
    // Reports change the table a few times a second at most, however fast
    // the jobs end.
    QTimer changeTicker;
    QHash<int, JobStatus::ConvertStatus> queuedStatuses;
    QHash<int, int> queuedPercents;
};
