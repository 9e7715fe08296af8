// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "about/aboutdialog.h"
#include "conversion/batchchecks.h"
#include "conversion/filewalk.h"
#include "mainwindow/rowremoval.h"
#include "settings/appsettings.h"
#include "settings/settingsdialog.h"

#include <QCloseEvent>
#include <QColor>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardItemModel>
#include <QUrl>

#include <iterator>

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

// The values of a Status cell showing `status`, made anew when its translation
// changes. A new row copies those of Pending and so shares their text, colour
// and list of values; a later status change gives the cell a list of its own,
// still with the shared text and colour. Table rows number in the hundred
// thousands, statuses five.
const QStandardItem &statusLook(FFmpegTask::ConvertStatus status)
{
    static QStandardItem looks[std::size(statusLooks)];
    QStandardItem &look = looks[status];
    const QString text = MainWindow::tr(statusLooks[status].text);
    if (look.text() != text) {
        look.setData(int(Qt::AlignCenter), Qt::TextAlignmentRole);
        look.setData(text, Qt::EditRole);
        look.setData(QColor(statusLooks[status].colour), Qt::BackgroundRole);
    }
    return look;
}

// A File cell. It keeps its path itself, where a standard item would give it
// a list of values of its own: one block fewer for each of many thousand rows.
// The cell holds text only, read through data(): the model's itemData() and
// an item's stream operators see no path, and the table uses neither.
class FileItem : public QStandardItem
{
public:
    QVariant data(int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return QStandardItem::data(role);
        return path.isNull() ? QVariant() : QVariant(path);
    }

    void setData(const QVariant &value, int role) override
    {
        if (role != Qt::DisplayRole && role != Qt::EditRole) {
            QStandardItem::setData(value, role);
            return;
        }
        const QString text = value.toString();
        if (text.isNull() == path.isNull() && text == path)
            return;
        path = text;
        emitDataChanged();
    }

    QStandardItem *clone() const override { return new FileItem(*this); }

private:
    QString path;
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

    connect(&engine, &ConversionEngine::statusChanged, this, &MainWindow::onStatusChange);
    connect(&engine, &ConversionEngine::jobDone, this, &MainWindow::onConvertDone);
    // A cancelled batch ends without every job done.
    connect(&engine, &ConversionEngine::batchEnded, this, [this] {
        if (converting)
            setConverting(false);
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
}

void MainWindow::showTable()
{
    // isHidden rather than isVisible: paths may arrive before the window is shown.
    if (ui->tableView->isHidden()) {
        ui->tableView->show();
        ui->label_HelpMessage->hide();
    }
}

// The Status cell of the new row is centred and shows Pending already, with
// the values that every Pending cell shares.
void MainWindow::appendRow()
{
    model->appendRow({statusLook(FFmpegTask::Pending).clone(), new FileItem});
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
    const QStandardItem &look = statusLook(status);
    for (const int role : {Qt::DisplayRole, Qt::BackgroundRole}) {
        // Writing a value the cell already has changes nothing, yet would
        // give the cell its own copy of the values it shares.
        const QVariant value = look.data(role);
        const QVariant shown = index.data(role);
        if (shown.userType() != value.userType() || shown != value)
            model->setData(index, value, role);
    }
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

void MainWindow::on_pushButton_Convert_clicked()
{
    convert();
}

void MainWindow::convert()
{
    const QString problem = batchSettingsProblem();
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Error"), problem);
        return;
    }

    batchSize = model->rowCount();
    finishedCount = 0;
    ui->progressBar->setValue(0);
    if (batchSize <= 0)
        return;

    const int threads = ConversionEngine::threadsFor(AppSettings::Threads);
    qDebug() << "Starting convert..." << "\n" << "Threads:" << threads << "\n" << "Items:" << batchSize;

    setConverting(true);
    QStringList inputPaths;
    inputPaths.reserve(batchSize);
    for (int row = 0; row < batchSize; ++row)
        inputPaths << model->index(row, 1).data().toString();
    engine.start(inputPaths, threads);
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
    engine.cancel();
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
    setConverting(false);
}
