// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/outputpreview.h"
#include "conversion/jobreport.h"
#include "mainwindow/jobrecords.h"

#include <QItemSelection>
#include <QStandardItemModel>

// The job table: a Status, a File and an Output column, one row per input
// file; the Output column shows what a preview found. Besides
// what it shows, each row keeps its last status and what its last job
// reported; a finished row's Status cell has a tooltip saying why it ended
// as it did.
class JobTable : public QStandardItemModel
{
    Q_OBJECT

public:
    enum Column { StatusColumn, FileColumn, OutputColumn };

    explicit JobTable(QObject *parent = nullptr);

    // A row of `path`, added with `addedFolder` (empty for a file added
    // alone), Pending, its output not yet known.
    PreviewInput appendFile(const QString &path, const QString &addedFolder = QString());

    // Shows where the row of `preview.key` goes; a row no longer here is ignored.
    void setPreview(const PreviewedRow &preview);
    // Every row's key, in order.
    QVector<quint64> keys() const;
    // The inputs' lengths of `rows` as previewed (-1: not known); every
    // row's when `rows` is empty.
    QVector<qint64> lengths(const QVector<int> &rows) const;

    // Shows `status` in the Status cell at `index`; anything else is ignored.
    void setStatus(JobStatus::ConvertStatus status, const QModelIndex &index);
    JobStatus::ConvertStatus status(int row) const;
    // Shows how far a converting row is, in percent.
    void setPercent(int row, int percent);

    void setReport(int row, const JobReport &report);
    // What the row's last job reported; an empty report (id 0) when it has
    // not reported since it last started.
    JobReport report(int row) const;

    QString path(int row) const;
    QString addedFolder(int row) const;
    // The folder of the row's last output, while it exists; empty otherwise.
    QString outputFolder(int row) const;
    // The files of `rows`, in this order; every row's when `rows` is empty.
    QStringList paths(const QVector<int> &rows) const;
    // The folders those files were added with, in the same order.
    QStringList addedFolders(const QVector<int> &rows) const;
    // The rows whose status is `status`, in order.
    QVector<int> rowsWith(JobStatus::ConvertStatus status) const;
    // Whole rows, as few ranges as they make.
    QItemSelection selection(const QVector<int> &rows) const;

    // What a converting row shows, `percent` of the way.
    static QString convertingText(int percent);

    // Removes every row.
    void clearRows();

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QString toolTip(int row) const;
    QStringList column(const QVector<int> &rows, QString (JobTable::*cell)(int) const) const;
    QVariant outputData(int row, int role) const;
    int rowOf(quint64 key) const;

    JobRecords records;
    quint64 lastKey = 0;
};

// A text colour that reads well on `background`: black or white.
QColor readableOn(const QColor &background);
