// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batchpresenter.h"
#include "batch/outputpreview.h"

#include <QFileDialog>
#include <QList>
#include <QMainWindow>
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

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_Clear_clicked();
    void on_tableView_customContextMenuRequested(const QPoint &pos);
    void onStatusChange(int id, JobStatus::ConvertStatus status);

private:
    void addPath(const QString &path, QVector<PreviewInput> *added);
    void connectPreview();
    void openSettings();
    void showDestination();
    void showPreviewCounts(const PreviewCounts &counts);
    void removeRows(const QList<int> &rows);
    void removeSelectedRows();
    QList<int> selectedRows() const;
    void showConverting();
    void stopBatch();

    void choosePaths(const QString &title, const QString &name, QFileDialog::FileMode mode);
    void showDetails(int row);
    void openOutputFolder(int row);

    void startBatch(const QVector<int> &rows);
    void finishBatch(const QString &summary);
    void setSummary(const QString &text);
    void selectFailedRows();

    Ui::MainWindow *ui;
    JobTable *model;
    QLabel *summaryLabel;
    QLabel *destinationLabel;
    BatchPresenter presenter;
    OutputPreview preview;
    // Whether the status bar shows the preview's counts rather than the
    // last batch's summary: from the first change to the rows or settings
    // after a batch until the next starts.
    bool countsShown = true;
};
