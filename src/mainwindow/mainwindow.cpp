// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "about/aboutdialog.h"
#include "mainwindow/filewalk.h"
#include "mainwindow/rowremoval.h"
#include "settings/appsettings.h"
#include "settings/settingsdialog.h"

#include <QCloseEvent>
#include <QColor>
#include <QDebug>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardItemModel>
#include <QThread>
#include <QUrl>

namespace {

struct StatusLook
{
    const char *text;
    Qt::GlobalColor colour;
};

// Indexed by FFmpegTask::ConvertStatus.
constexpr StatusLook statusLooks[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "Pending"), Qt::yellow},
    {QT_TRANSLATE_NOOP("MainWindow", "Converting"), Qt::darkYellow},
    {QT_TRANSLATE_NOOP("MainWindow", "Failed"), Qt::red},
    {QT_TRANSLATE_NOOP("MainWindow", "Skipped"), Qt::blue},
    {QT_TRANSLATE_NOOP("MainWindow", "Done"), Qt::green},
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowTitle(QCoreApplication::applicationName());

    const QStringList headerLabels{tr("Status"), tr("File")};
    model = new QStandardItemModel(this);
    model->setColumnCount(headerLabels.size());
    model->setHorizontalHeaderLabels(headerLabels);
    ui->tableView->setModel(model);

    ui->tableView->horizontalHeader()->setStretchLastSection(true);
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->setContextMenuPolicy(Qt::CustomContextMenu);

    setConverting(false);
    setAcceptDrops(true);
    ui->tableView->hide();

    pool.setRefusalHandler([](QRunnable *job) { static_cast<FFmpegTask *>(job)->refuse(); });
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
    const int row = model->rowCount();
    model->insertRow(row);
    model->setData(model->index(row, 0), int(Qt::AlignCenter), Qt::TextAlignmentRole);
}

void MainWindow::addFile(const QString &path)
{
    appendRow();
    const int row = model->rowCount() - 1;
    model->setData(model->index(row, 1), path, Qt::EditRole);
    setStatus(FFmpegTask::Pending, model->index(row, 0));
}

void MainWindow::setStatus(FFmpegTask::ConvertStatus status, const QModelIndex &index)
{
    if (status < FFmpegTask::Pending || status > FFmpegTask::Done)
        return;
    const StatusLook &look = statusLooks[status];
    model->setData(index, tr(look.text), Qt::EditRole);
    model->setData(index, QColor(look.colour), Qt::BackgroundRole);
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

void MainWindow::on_tableView_customContextMenuRequested(const QPoint &pos)
{
    if (converting)
        return;

    QList<int> selectedRows;
    const QModelIndexList selection = ui->tableView->selectionModel()->selectedRows(0);
    for (const QModelIndex &index : selection)
        selectedRows.append(index.row());

    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *remove = menu->addAction(tr("Remove"));
    connect(remove, &QAction::triggered, this, [this, selectedRows] { removeRows(selectedRows); });
    menu->popup(ui->tableView->viewport()->mapToGlobal(pos));
}

void MainWindow::removeRows(const QList<int> &rows)
{
    ui->tableView->selectionModel()->clear();
    removeModelRows(*model, rows);
}

void MainWindow::on_pushButton_Clear_clicked()
{
    if (ui->tableView->isHidden())
        return;
    model->removeRows(0, model->rowCount());
    ui->tableView->hide();
    ui->label_HelpMessage->show();
}

bool isValidFFmpegBinary(QString path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

bool isValidOutputDirectory(QString outputDirectory)
{
    const QString placeholder = QStringLiteral("{sourcedir}");
    // Every job makes its own folder below its source folder.
    if (outputDirectory.startsWith(placeholder))
        return true;
    const int at = outputDirectory.indexOf(placeholder);
    if (at >= 0)
        outputDirectory.truncate(at);
    if (outputDirectory.isEmpty())
        return false;
    QDir().mkpath(outputDirectory);
    const QFileInfo info(outputDirectory);
    return info.isDir() && info.isWritable();
}

void MainWindow::on_pushButton_Convert_clicked()
{
    if (!isValidFFmpegBinary(AppSettings::FFmpegBinary)) {
        QMessageBox::warning(this, QStringLiteral("Error"),
                             tr("FFmpeg binary is invalid. Please check your settings."));
        return;
    }
    if (!isValidOutputDirectory(AppSettings::OutputDirectory)) {
        QMessageBox::warning(this, QStringLiteral("Error"),
                             tr("Your output directory is bad. Maybe it is not writable?"));
        return;
    }

    batchSize = model->rowCount();
    finishedCount = 0;
    ui->progressBar->setValue(0);
    if (batchSize <= 0)
        return;

    const int threads = AppSettings::Threads > 0 ? AppSettings::Threads : QThread::idealThreadCount();
    pool.setMaxThreadCount(threads);
    qDebug() << "Starting convert..." << "\n" << "Threads:" << threads << "\n" << "Items:" << batchSize;

    ++batchSerial;
    setConverting(true);
    QStringList inputPaths;
    inputPaths.reserve(batchSize);
    for (int row = 0; row < batchSize; ++row)
        inputPaths << model->index(row, 1).data().toString();
    const auto inputs = std::make_shared<const BatchInputs>(batchInputsOf(inputPaths));
    const auto outputs = std::make_shared<BatchOutputs>();
    for (int row = 0; row < batchSize; ++row)
        startTask(row + 1, inputPaths.at(row), inputs, outputs);
}

void MainWindow::startTask(int id, const QString &inputPath, const std::shared_ptr<const BatchInputs> &inputs,
                           const std::shared_ptr<BatchOutputs> &outputs)
{
    auto *task = new FFmpegTask(id, inputPath);
    task->setAutoDelete(true);
    task->setStopFlag(&stopping);
    task->setBatchInputs(inputs);
    task->setBatchOutputs(outputs);
    connect(task, SIGNAL(StatusChange(int, FFmpegTask::ConvertStatus)),
            this, SLOT(onStatusChange(int, FFmpegTask::ConvertStatus)), Qt::QueuedConnection);
    connect(task, SIGNAL(ConvertDone(int)), this, SLOT(onConvertDone(int)), Qt::QueuedConnection);
    pool.start(task);
}

void MainWindow::onStatusChange(int id, FFmpegTask::ConvertStatus status)
{
    setStatus(status, model->index(id - 1, 0));
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
        setConverting(false);
    }
}

void MainWindow::on_pushButton_Cancel_clicked()
{
    cancel();
}

void MainWindow::cancel()
{
    ui->pushButton_Cancel->setEnabled(false);
    pool.clear();

    // The switch is posted once the last running job has returned, so every
    // report of the cancelled batch is handled before the window is idle.
    const int serial = batchSerial;
    pool.whenIdle([this, serial] {
        QMetaObject::invokeMethod(
            this,
            [this, serial] {
                // Convert may have started a newer batch since this one was cancelled.
                if (serial == batchSerial)
                    setConverting(false);
            },
            Qt::QueuedConnection);
    });
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
    pool.clear();
    stopping = true;
    pool.waitForDone(-1);
    stopping = false;
    ++batchSerial;
    setConverting(false);
}
