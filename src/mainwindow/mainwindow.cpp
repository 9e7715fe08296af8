// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "about/aboutdialog.h"
#include "conversion/batchchecks.h"
#include "conversion/filewalk.h"
#include "mainwindow/jobdetailsdialog.h"
#include "mainwindow/jobtable.h"
#include "mainwindow/lastfolder.h"
#include "mainwindow/repeatedkeyfilter.h"
#include "mainwindow/rowremoval.h"
#include "mainwindow/statusdelegate.h"
#include "settings/appsettings.h"
#include "settings/settingsdialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

namespace {

// How often queued row changes and the clock are shown.
constexpr int changeIntervalMs = 200;
constexpr int clockIntervalMs = 1000;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowTitle(QCoreApplication::applicationName());

    const QStringList headerLabels{tr("Status"), tr("File")};
    model = new JobTable(this);
    model->setColumnCount(headerLabels.size());
    model->setHorizontalHeaderLabels(headerLabels);
    ui->tableView->setModel(model);

    ui->tableView->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for a percentage; measuring the cells would read every row.
    ui->tableView->horizontalHeader()->resizeSection(
        JobTable::StatusColumn,
        qMax(ui->tableView->horizontalHeader()->sectionSize(JobTable::StatusColumn),
             ui->tableView->fontMetrics().horizontalAdvance(JobTable::convertingText(100)) + 24));
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    ui->tableView->setItemDelegateForColumn(JobTable::StatusColumn, new StatusDelegate(ui->tableView));
    ui->tableView->addAction(ui->action_Remove);

    setConverting(false);
    setAcceptDrops(true);
    ui->tableView->hide();

    // Shortcuts are matched before any widget sees the key: watch the whole application.
    qApp->installEventFilter(new RepeatedKeyFilter(this));
    connect(ui->action_AddFiles, &QAction::triggered, this, &MainWindow::chooseFiles);
    connect(ui->action_AddFolder, &QAction::triggered, this, &MainWindow::chooseFolder);
    connect(ui->action_Quit, &QAction::triggered, this, &QWidget::close);
    connect(ui->action_Convert, &QAction::triggered, this, &MainWindow::convert);
    connect(ui->action_ConvertFailed, &QAction::triggered, this, &MainWindow::convertFailedAgain);
    connect(ui->action_Cancel, &QAction::triggered, this, &MainWindow::cancel);
    connect(ui->action_StopNow, &QAction::triggered, this, &MainWindow::stopNow);
    connect(ui->action_Remove, &QAction::triggered, this, &MainWindow::removeSelectedRows);
    connect(ui->menu_Convert, &QMenu::aboutToShow, this, [this] {
        bool anyFailed = false;
        for (int row = 0; row < model->rowCount() && !anyFailed; ++row)
            anyFailed = model->status(row) == JobStatus::Failed;
        ui->action_ConvertFailed->setEnabled(!converting && anyFailed);
    });

    summaryLabel = new QLabel;
    summaryLabel->setObjectName(QStringLiteral("label_Summary"));
    summaryLabel->setTextFormat(Qt::RichText);
    // A long text must not widen the window; it is cut, and whole in its tooltip.
    summaryLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(summaryLabel, &QLabel::linkActivated, this, &MainWindow::selectFailedRows);
    ui->statusBar->addWidget(summaryLabel, 1);

    timeTicker.setInterval(clockIntervalMs);
    connect(&timeTicker, &QTimer::timeout, this, &MainWindow::showTime);
    changeTicker.setSingleShot(true);
    changeTicker.setInterval(changeIntervalMs);
    connect(&changeTicker, &QTimer::timeout, this, &MainWindow::showQueuedChanges);

    connect(&engine, &ConversionEngine::statusChanged, this, &MainWindow::queueStatus);
    connect(&engine, &ConversionEngine::progressed, this, &MainWindow::queueProgress);
    connect(&engine, &ConversionEngine::jobReported, this, &MainWindow::takeReport);
    connect(&engine, &ConversionEngine::jobDone, this, &MainWindow::onConvertDone);
    // A cancelled or stopped batch ends without every job done.
    connect(&engine, &ConversionEngine::batchEnded, this, [this] {
        if (converting)
            finishBatch();
    });
}

MainWindow::~MainWindow()
{
    stopBatch();
    delete ui;
}

void MainWindow::setConverting(bool active)
{
    converting = active;
    ui->pushButton_Convert->setEnabled(!converting);
    ui->pushButton_Cancel->setEnabled(converting);
    ui->pushButton_Settings->setEnabled(!converting);
    ui->pushButton_Clear->setEnabled(!converting);
    ui->progressBar->setVisible(converting);

    ui->label_Time->setVisible(converting);
    // Rows must not move under running jobs.
    for (QAction *action : {ui->action_AddFiles, ui->action_AddFolder, ui->action_Convert,
                            ui->action_ConvertFailed, ui->action_Remove})
        action->setEnabled(!converting);
    ui->action_Cancel->setEnabled(converting);
    ui->action_StopNow->setEnabled(converting);
}

void MainWindow::showTable()
{
    // isHidden rather than isVisible: paths may arrive before the window is shown.
    if (ui->tableView->isHidden()) {
        ui->tableView->show();
        ui->label_HelpMessage->hide();
    }
}

void MainWindow::appendRow()
{
    model->appendFile(QString());
}

void MainWindow::addFile(const QString &path)
{
    model->appendFile(path);
}

void MainWindow::setStatus(JobStatus::ConvertStatus status, const QModelIndex &index)
{
    model->setStatus(status, index);
}

void MainWindow::addPaths(const QStringList &paths)
{
    for (const QString &path : paths)
        addPath(path);
    showTable();
}

void MainWindow::addPath(const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (info.isFile()) {
        const QString absolute = info.absoluteFilePath();
        qDebug() << "Dropped file:" << absolute;
        addFile(absolute);
    } else if (info.isDir()) {
        const QString absolute = info.absoluteFilePath();
        qDebug() << "Dropped dir:" << absolute;
        addDirectory(absolute);
    }
}

void MainWindow::addDirectory(const QString &directory)
{
    const QStringList files = listFilesRecursive(directory);
    for (const QString &file : files)
        addFile(file);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!converting && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    // A drag accepted while idle can still be released after a batch has
    // started; the rows must not move under running jobs.
    if (converting) {
        event->ignore();
        return;
    }
    showTable();
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls)
        addPath(url.toLocalFile());
    event->acceptProposedAction();
}

// The platform's dialog where it has one; it does not block the window's
// event loop, so reports of a batch keep coming while it is open.
void MainWindow::chooseFiles()
{
    auto *dialog = new QFileDialog(this, tr("Add Files"), lastFolder());
    dialog->setObjectName(QStringLiteral("fileDialog_AddFiles"));
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::filesSelected, this, [this](const QStringList &files) {
        if (files.isEmpty() || converting)
            return;
        rememberFolder(QFileInfo(files.first()).absolutePath());
        addPaths(files);
    });
    dialog->open();
}

void MainWindow::chooseFolder()
{
    auto *dialog = new QFileDialog(this, tr("Add Folder"), lastFolder());
    dialog->setObjectName(QStringLiteral("fileDialog_AddFolder"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &folder) {
        if (folder.isEmpty() || converting)
            return;
        rememberFolder(folder);
        addPaths({folder});
    });
    dialog->open();
}

// The dialogs are windows of their own that block the others while open; the
// window keeps no pointer to them and each is destroyed when it closes.
static void openModal(QDialog *dialog)
{
    dialog->setModal(true);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void MainWindow::on_pushButton_Settings_clicked()
{
    openModal(new SettingsDialog);
}

void MainWindow::on_pushButton_About_clicked()
{
    openModal(new AboutDialog);
}

QList<int> MainWindow::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList selection = ui->tableView->selectionModel()->selectedRows(0);
    for (const QModelIndex &index : selection)
        rows.append(index.row());
    return rows;
}

void MainWindow::on_tableView_customContextMenuRequested(const QPoint &pos)
{
    if (converting)
        return;

    const QList<int> rows = selectedRows();
    // The row clicked, or else the current one.
    const QModelIndex clicked = ui->tableView->indexAt(pos);
    const int row = clicked.isValid() ? clicked.row() : ui->tableView->currentIndex().row();

    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *remove = menu->addAction(tr("Remove"));
    connect(remove, &QAction::triggered, this, [this, rows] { removeRows(rows); });

    const JobReport report = model->report(row);
    QAction *details = menu->addAction(tr("Show Details…"));
    details->setEnabled(report.id != 0);
    connect(details, &QAction::triggered, this, [this, row] { showDetails(row); });
    QAction *folder = menu->addAction(tr("Open Output Folder"));
    folder->setEnabled(!report.outputPath.isEmpty() && QFileInfo(report.outputPath).dir().exists());
    connect(folder, &QAction::triggered, this, [this, row] { openOutputFolder(row); });

    menu->popup(ui->tableView->viewport()->mapToGlobal(pos));
}

void MainWindow::showDetails(int row)
{
    const JobReport report = model->report(row);
    if (report.id == 0)
        return;
    auto *dialog = new JobDetailsDialog(report, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void MainWindow::openOutputFolder(int row)
{
    const QString folder = QFileInfo(model->report(row).outputPath).absolutePath();
    if (QDir(folder).exists())
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void MainWindow::removeRows(const QList<int> &rows)
{
    ui->tableView->selectionModel()->clear();
    removeModelRows(*model, rows);
}

void MainWindow::removeSelectedRows()
{
    if (!converting)
        removeRows(selectedRows());
}

void MainWindow::on_pushButton_Clear_clicked()
{
    if (ui->tableView->isHidden())
        return;
    model->clearRows();
    ui->tableView->hide();
    ui->label_HelpMessage->show();
    setSummary(QString());
}

void MainWindow::on_pushButton_Convert_clicked()
{
    convert();
}

bool MainWindow::checkSettings()
{
    const QString problem = batchSettingsProblem();
    if (problem.isEmpty())
        return true;
    QMessageBox::warning(this, QStringLiteral("Error"), problem);
    return false;
}

void MainWindow::convert()
{
    if (converting || !checkSettings())
        return;
    startBatch({});
}

void MainWindow::convertFailedAgain()
{
    if (converting)
        return;
    QVector<int> failed;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->status(row) == JobStatus::Failed)
            failed << row;
    }
    if (failed.isEmpty() || !checkSettings())
        return;
    startBatch(failed);
}

// `rows` empty: every row.
void MainWindow::startBatch(const QVector<int> &rows)
{
    forgetQueuedChanges();
    batchRows = rows;
    batchSize = rows.isEmpty() ? model->rowCount() : rows.size();
    finishedCount = 0;
    ui->progressBar->setValue(0);
    if (batchSize <= 0)
        return;

    const int threads = ConversionEngine::threadsFor(AppSettings::Threads);
    qDebug() << "Starting convert..." << "\n" << "Threads:" << threads << "\n" << "Items:" << batchSize;

    ending = Ending::Finished;
    batchProgress = BatchProgress(batchSize);
    batchClock.start();
    setSummary(QString());
    setConverting(true);
    showTime();
    timeTicker.start();
    QStringList inputPaths;
    inputPaths.reserve(batchSize);
    for (int id = 1; id <= batchSize; ++id)
        inputPaths << model->index(rowOf(id), JobTable::FileColumn).data().toString();
    engine.start(inputPaths, threads);
}

int MainWindow::rowOf(int id) const
{
    if (batchRows.isEmpty())
        return id - 1;
    return id >= 1 && id <= batchRows.size() ? batchRows.at(id - 1) : -1;
}

void MainWindow::onStatusChange(int id, JobStatus::ConvertStatus status)
{
    setStatus(status, model->index(rowOf(id), JobTable::StatusColumn));
}

void MainWindow::queueStatus(int id, JobStatus::ConvertStatus status)
{
    queuedStatuses.insert(id, status);
    queuedPercents.remove(id);
    if (!changeTicker.isActive())
        changeTicker.start();
}

void MainWindow::queueProgress(int id, qint64 positionMs, qint64 durationMs)
{
    batchProgress.progressed(id, positionMs, durationMs);
    if (durationMs <= 0)
        return;
    queuedPercents.insert(id, int(qMin<qint64>(100, positionMs * 100 / durationMs)));
    if (!changeTicker.isActive())
        changeTicker.start();
}

void MainWindow::showQueuedChanges()
{
    changeTicker.stop();
    for (auto change = queuedStatuses.cbegin(); change != queuedStatuses.cend(); ++change)
        onStatusChange(change.key(), change.value());
    for (auto change = queuedPercents.cbegin(); change != queuedPercents.cend(); ++change)
        model->setPercent(rowOf(change.key()), change.value());
    queuedStatuses.clear();
    queuedPercents.clear();
}

void MainWindow::takeReport(const JobReport &report)
{
    if (!converting)
        return;
    batchProgress.finished(report.id, report.status, report.durationMs, !report.decodeError.isEmpty());
    model->setReport(rowOf(report.id), report);
}

void MainWindow::onConvertDone(int)
{
    // Reports of jobs stopped by closing the window may still be on their way.
    if (!converting)
        return;
    ++finishedCount;
    ui->progressBar->setValue(finishedCount * 100 / batchSize);
    if (finishedCount == batchSize) {
        qDebug() << "Done";
        finishBatch();
    }
}

void MainWindow::showTime()
{
    const qint64 elapsed = batchClock.elapsed();
    const qint64 left = batchProgress.remainingMs(elapsed);
    ui->label_Time->setText(left < 0 ? tr("Elapsed %1").arg(clockText(elapsed))
                                     : tr("Elapsed %1, about %2 left").arg(clockText(elapsed), clockText(left)));
}

void MainWindow::finishBatch()
{
    showQueuedChanges();
    timeTicker.stop();
    setConverting(false);

    const int failed = batchProgress.count(JobStatus::Failed);
    QString failedText = tr("%n failed", nullptr, failed).toHtmlEscaped();
    if (failed > 0)
        failedText = QStringLiteral("<a href=\"failed\">%1</a>").arg(failedText);
    QString counts = tr("%1, %2, %3")
                         .arg(tr("%n done", nullptr, batchProgress.count(JobStatus::Done)).toHtmlEscaped(),
                              tr("%n skipped", nullptr, batchProgress.count(JobStatus::Skipped)).toHtmlEscaped(),
                              failedText);
    if (batchProgress.decodeErrorCount() > 0)
        counts = tr("%1, %2").arg(
            counts, tr("%n with decode errors", nullptr, batchProgress.decodeErrorCount()).toHtmlEscaped());
    const QString time = clockText(batchClock.elapsed());
    const QString notConverted = tr("%n not converted", nullptr, batchSize - batchProgress.finishedCount());
    QString summary;
    switch (ending) {
    case Ending::Finished:
        summary = tr("Finished in %1: %2").arg(time, counts);
        break;
    case Ending::Cancelled:
        summary = tr("Cancelled after %1: %2; %3").arg(time, counts, notConverted);
        break;
    case Ending::Stopped:
        summary = tr("Stopped after %1: %2; %3").arg(time, counts, notConverted);
        break;
    }
    setSummary(summary);
    batchRows.clear();
    if (!isActiveWindow())
        QApplication::alert(this);
}

void MainWindow::setSummary(const QString &text)
{
    summaryLabel->setText(text);
    summaryLabel->setToolTip(text);
}

void MainWindow::selectFailedRows()
{
    QItemSelection failed;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->status(row) != JobStatus::Failed)
            continue;
        if (!failed.isEmpty() && failed.last().bottom() == row - 1)
            failed.last() = QItemSelectionRange(failed.last().topLeft(), model->index(row, JobTable::FileColumn));
        else
            failed.select(model->index(row, JobTable::StatusColumn), model->index(row, JobTable::FileColumn));
    }
    ui->tableView->selectionModel()->select(failed, QItemSelectionModel::ClearAndSelect);
    if (!failed.isEmpty())
        ui->tableView->scrollTo(failed.first().topLeft());
    ui->tableView->setFocus();
}

void MainWindow::on_pushButton_Cancel_clicked()
{
    cancel();
}

void MainWindow::cancel()
{
    if (!converting)
        return;
    ui->pushButton_Cancel->setEnabled(false);
    ui->action_Cancel->setEnabled(false);
    ending = Ending::Cancelled;
    batchProgress.dropQueued();
    setSummary(tr("Cancelled: waiting for the files being converted to finish. "
                     "Stop Now in the Convert menu stops them at once."));
    engine.cancel();
}

void MainWindow::stopNow()
{
    if (!converting)
        return;
    ending = Ending::Stopped;
    engine.stopNow();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (converting)
        stopBatch();
    QMainWindow::closeEvent(event);
}

// Ends every job before the window goes: nothing may run on, or write, after
// the process has started to exit.
void MainWindow::stopBatch()
{
    engine.stop();
    timeTicker.stop();
    forgetQueuedChanges();
    batchRows.clear();
    setConverting(false);
}

void MainWindow::forgetQueuedChanges()
{
    changeTicker.stop();
    queuedStatuses.clear();
    queuedPercents.clear();
}
