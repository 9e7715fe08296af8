// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "about/aboutdialog.h"
#include "conversion/batchchecks.h"
#include "conversion/filewalk.h"
#include "logging/logging.h"
#include "mainwindow/jobdetailsdialog.h"
#include "mainwindow/jobtable.h"
#include "mainwindow/lastfolder.h"
#include "mainwindow/repeatedkeyfilter.h"
#include "mainwindow/rowremoval.h"
#include "mainwindow/statusdelegate.h"
#include "naming/tracktags.h"
#include "settings/appsettings.h"
#include "settings/outputformat.h"
#include "settings/settingsdialog.h"

#include <QApplication>
#include <QCloseEvent>
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

// The dialogs are windows of their own that block the others while open; the
// window keeps no pointer to them and each is destroyed when it closes.
static void openModal(QDialog *dialog)
{
    dialog->setModal(true);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowTitle(QCoreApplication::applicationName());

    model = new JobTable(this);
    model->setHorizontalHeaderLabels({tr("Status"), tr("File"), tr("Output")});
    ui->tableView->setModel(model);
    // A long path keeps its file name in sight, on one line.
    ui->tableView->setTextElideMode(Qt::ElideMiddle);
    ui->tableView->setWordWrap(false);

    // Wide enough for a percentage; measuring the cells would read every row.
    ui->tableView->horizontalHeader()->resizeSection(
        JobTable::StatusColumn,
        qMax(ui->tableView->horizontalHeader()->sectionSize(JobTable::StatusColumn),
             ui->tableView->fontMetrics().horizontalAdvance(JobTable::convertingText(100)) + 24));
    // The rest of the width goes to the Output column, the last.
    ui->tableView->horizontalHeader()->resizeSection(JobTable::FileColumn, 250);
    ui->tableView->setItemDelegateForColumn(JobTable::StatusColumn, new StatusDelegate(ui->tableView));
    ui->tableView->addAction(ui->action_Remove);

    showConverting();
    setAcceptDrops(true);
    ui->tableView->hide();

    // Shortcuts are matched before any widget sees the key: watch the whole application.
    qApp->installEventFilter(new RepeatedKeyFilter(this));
    connect(ui->pushButton_Convert, &QPushButton::clicked, this, &MainWindow::convert);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &MainWindow::cancel);
    connect(ui->pushButton_Settings, &QPushButton::clicked, this, &MainWindow::openSettings);
    connect(ui->pushButton_About, &QPushButton::clicked, this, [] { openModal(new AboutDialog); });
    connect(ui->action_AddFiles, &QAction::triggered, this,
            [this] { choosePaths(tr("Add Files"), QStringLiteral("fileDialog_AddFiles"), QFileDialog::ExistingFiles); });
    connect(ui->action_AddFolder, &QAction::triggered, this,
            [this] { choosePaths(tr("Add Folder"), QStringLiteral("fileDialog_AddFolder"), QFileDialog::Directory); });
    connect(ui->action_Quit, &QAction::triggered, this, &QWidget::close);
    connect(ui->action_Convert, &QAction::triggered, this, &MainWindow::convert);
    connect(ui->action_ConvertFailed, &QAction::triggered, this, &MainWindow::convertFailedAgain);
    connect(ui->action_Cancel, &QAction::triggered, this, &MainWindow::cancel);
    connect(ui->action_StopNow, &QAction::triggered, &presenter, &BatchPresenter::stopNow);
    connect(ui->action_Remove, &QAction::triggered, this, &MainWindow::removeSelectedRows);
    connect(ui->menu_Convert, &QMenu::aboutToShow, this, [this] {
        ui->action_ConvertFailed->setEnabled(!presenter.isConverting()
                                             && !model->rowsWith(JobStatus::Failed).isEmpty());
    });

    summaryLabel = new QLabel;
    summaryLabel->setObjectName(QStringLiteral("label_Summary"));
    summaryLabel->setTextFormat(Qt::RichText);
    // A long text must not widen the window; it is cut, and whole in its tooltip.
    summaryLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(summaryLabel, &QLabel::linkActivated, this, &MainWindow::selectFailedRows);
    ui->statusBar->addWidget(summaryLabel, 1);
    destinationLabel = new QLabel;
    destinationLabel->setObjectName(QStringLiteral("label_Destination"));
    destinationLabel->setTextFormat(Qt::PlainText);
    // As the summary: a long folder must not widen the window.
    destinationLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    ui->horizontalLayout_Progress->insertWidget(0, destinationLabel, 1);
    showDestination();
    connectPreview();

    connect(&presenter, &BatchPresenter::statusChanged, this, &MainWindow::onStatusChange);
    connect(&presenter, &BatchPresenter::percentChanged, this,
            [this](int id, int percent) { model->setPercent(presenter.rowOf(id), percent); });
    connect(&presenter, &BatchPresenter::reported, this,
            [this](const JobReport &report) { model->setReport(presenter.rowOf(report.id), report); });
    connect(&presenter, &BatchPresenter::finishedChanged, ui->progressBar, &QProgressBar::setValue);
    connect(&presenter, &BatchPresenter::timeChanged, ui->label_Time, &QLabel::setText);
    connect(&presenter, &BatchPresenter::ended, this, &MainWindow::finishBatch);
}

MainWindow::~MainWindow()
{
    stopBatch();
    delete ui;
}

// The file name pattern is tried on the first row's tags as it is typed.
void MainWindow::showConverting()
{
    const bool converting = presenter.isConverting();
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

void MainWindow::addPaths(const QStringList &paths)
{
    QVector<PreviewInput> added;
    for (const QString &path : paths)
        addPath(path, &added);
    if (!added.isEmpty()) {
        countsShown = true;
        preview.append(added);
    }
    // isHidden rather than isVisible: paths may arrive before the window is shown.
    if (ui->tableView->isHidden()) {
        ui->tableView->show();
        ui->label_HelpMessage->hide();
    }
}

// Paths that are neither a file nor a folder are passed over without a word.
void MainWindow::addPath(const QString &path, QVector<PreviewInput> *added)
{
    const InputPath input(path);
    if (input.isFile())
        qCDebug(lcWindow) << "Dropped file:" << input.absolutePath();
    else if (input.isFolder())
        qCDebug(lcWindow) << "Dropped dir:" << input.absolutePath();
    const QString folder = input.isFolder() ? input.absolutePath() : QString();
    for (const QString &file : input.files())
        *added << model->appendFile(file, folder);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!presenter.isConverting() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    // A drag accepted while idle can still be released after a batch has
    // started; the rows must not move under running jobs.
    if (presenter.isConverting()) {
        event->ignore();
        return;
    }
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        paths << url.toLocalFile();
    addPaths(paths);
    event->acceptProposedAction();
}

// The platform's dialog where it has one; it does not block the window's
// event loop, so reports of a batch keep coming while it is open.
void MainWindow::choosePaths(const QString &title, const QString &name, QFileDialog::FileMode mode)
{
    auto *dialog = new QFileDialog(this, title, lastFolder());
    dialog->setObjectName(name);
    dialog->setFileMode(mode);
    dialog->setOption(QFileDialog::ShowDirsOnly, mode == QFileDialog::Directory);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::filesSelected, this, [this, mode](const QStringList &paths) {
        if (paths.isEmpty() || paths.first().isEmpty() || presenter.isConverting())
            return;
        rememberFolder(mode == QFileDialog::Directory ? paths.first() : QFileInfo(paths.first()).absolutePath());
        addPaths(paths);
    });
    dialog->open();
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
    if (presenter.isConverting())
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
    folder->setEnabled(!model->outputFolder(row).isEmpty());
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
    const QString folder = model->outputFolder(row);
    if (!folder.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void MainWindow::removeRows(const QList<int> &rows)
{
    ui->tableView->selectionModel()->clear();
    removeModelRows(*model, rows);
    countsShown = true;
    preview.keepOnly(model->keys());
}

void MainWindow::removeSelectedRows()
{
    if (!presenter.isConverting())
        removeRows(selectedRows());
}

void MainWindow::on_pushButton_Clear_clicked()
{
    if (ui->tableView->isHidden())
        return;
    model->clearRows();
    preview.clear();
    ui->tableView->hide();
    ui->label_HelpMessage->show();
    setSummary(QString());
}

void MainWindow::convert()
{
    startBatch({});
}

void MainWindow::convertFailedAgain()
{
    const QVector<int> failed = model->rowsWith(JobStatus::Failed);
    if (!failed.isEmpty())
        startBatch(failed);
}

// `rows` empty: every row. The settings are checked first, whatever the rows.
void MainWindow::startBatch(const QVector<int> &rows)
{
    if (presenter.isConverting())
        return;
    const QString problem = batchSettingsProblem();
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Error"), problem);
        return;
    }
    const QStringList paths = model->paths(rows);
    ui->progressBar->setValue(0);
    if (paths.isEmpty())
        return;

    const int threads = ConversionEngine::threadsFor(AppSettings::Threads);
    qCDebug(lcWindow) << "Starting convert..." << "\n" << "Threads:" << threads << "\n" << "Items:" << paths.size();
    setSummary(QString());
    countsShown = false;
    presenter.start(paths, rows, threads, model->addedFolders(rows), model->lengths(rows));
    showConverting();
}

void MainWindow::onStatusChange(int id, JobStatus::ConvertStatus status)
{
    model->setStatus(status, model->index(presenter.rowOf(id), JobTable::StatusColumn));
}

void MainWindow::finishBatch(const QString &summary)
{
    if (presenter.allFinished())
        qCDebug(lcWindow) << "Done";
    showConverting();
    setSummary(summary);
    // The outputs written are the existing files of the next batch.
    preview.refresh();
    if (!isActiveWindow())
        QApplication::alert(this);
}

void MainWindow::connectPreview()
{
    connect(&preview, &OutputPreview::previewed, this,
            [this](const QVector<PreviewedRow> &rows, const PreviewCounts &counts) {
                for (const PreviewedRow &row : rows)
                    model->setPreview(row);
                showPreviewCounts(counts);
            });
    connect(&preview, &OutputPreview::settled, this, &MainWindow::showPreviewCounts);
}

void MainWindow::showPreviewCounts(const PreviewCounts &counts)
{
    if (countsShown && !presenter.isConverting())
        setSummary(counts.text());
}

// The preview names outputs with the settings: it waits while they change.
void MainWindow::openSettings()
{
    preview.pause();
    auto *dialog = new SettingsDialog;
    if (model->rowCount() > 0)
        dialog->setExample(model->path(0), model->addedFolder(0), TrackTags::read(model->path(0)));
    connect(dialog, &QDialog::finished, this, [this](int result) {
        if (result == QDialog::Accepted) {
            countsShown = true;
            showDestination();
        }
        preview.refresh();
    });
    openModal(dialog);
}

void MainWindow::showDestination()
{
    const OutputFormat *known = OutputFormat::find(AppSettings::OutputFormat);
    const QString format = known ? QString::fromUtf8(known->label) : AppSettings::OutputFormat;
    destinationLabel->setText(tr("%1 into %2").arg(format, QDir::toNativeSeparators(AppSettings::OutputDirectory)));
    destinationLabel->setToolTip(destinationLabel->text());
}

void MainWindow::setSummary(const QString &text)
{
    summaryLabel->setText(text);
    summaryLabel->setToolTip(text);
}

void MainWindow::selectFailedRows()
{
    const QItemSelection failed = model->selection(model->rowsWith(JobStatus::Failed));
    ui->tableView->selectionModel()->select(failed, QItemSelectionModel::ClearAndSelect);
    if (!failed.isEmpty())
        ui->tableView->scrollTo(failed.first().topLeft());
    ui->tableView->setFocus();
}

void MainWindow::cancel()
{
    if (!presenter.isConverting())
        return;
    ui->pushButton_Cancel->setEnabled(false);
    ui->action_Cancel->setEnabled(false);
    setSummary(tr("Cancelled: waiting for the files being converted to finish. "
                     "Stop Now in the Convert menu stops them at once."));
    presenter.cancel();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (presenter.isConverting())
        stopBatch();
    QMainWindow::closeEvent(event);
}

// Ends every job before the window goes: nothing may run on, or write, after
// the process has started to exit.
void MainWindow::stopBatch()
{
    presenter.stop();
    showConverting();
}
