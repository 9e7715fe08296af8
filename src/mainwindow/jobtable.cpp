// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/jobtable.h"

#include "batch/statuswords.h"
#include "conversion/encoderoutput.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <iterator>

namespace {

// Indexed by JobStatus::ConvertStatus.
constexpr Qt::GlobalColor statusColours[] = {Qt::yellow, Qt::darkYellow, Qt::red, Qt::blue, Qt::green};

// An Output cell worth a look: readable on the table's light background.
constexpr QRgb markedText = 0xb34700;

// The values of a Status cell showing `status`, made anew when its translation
// changes. A new row copies those of Pending and so shares their text, colour
// and list of values; a later status change gives the cell a list of its own,
// still with the shared text and colour. Table rows number in the hundred
// thousands, statuses five.
const QStandardItem &statusLook(JobStatus::ConvertStatus status)
{
    static QStandardItem looks[std::size(statusColours)];
    QStandardItem &look = looks[status];
    const QString text = statusText(status);
    if (look.text() != text) {
        look.setData(int(Qt::AlignCenter), Qt::TextAlignmentRole);
        look.setData(text, Qt::EditRole);
        look.setData(QColor(statusColours[status]), Qt::BackgroundRole);
        look.setData(readableOn(statusColours[status]), Qt::ForegroundRole);
    }
    return look;
}

// A File cell. It keeps its path, its row's status and its row's last report
// itself, where a standard item would give it a list of values of its own:
// one block fewer for each of many thousand rows. The cell holds text only,
// read through data(): the model's itemData() and an item's stream operators
// see no path, and the table uses neither.
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

    QString path;
    // The beginning of `path` that is the folder it was added with.
    int folderLength = 0;
    PreviewedRow preview;
    JobRecords::Handle report = 0;
    JobStatus::ConvertStatus status = JobStatus::Pending;
};

} // namespace

// Whichever contrasts more by the relative luminance of the web's
// accessibility guidelines; they are equal at 0.179. Set on every status
// rather than left to the palette, whose text may be light.
QColor readableOn(const QColor &background)
{
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(background.redF()) + 0.7152 * linear(background.greenF())
        + 0.0722 * linear(background.blueF());
    return luminance > 0.179 ? QColor(Qt::black) : QColor(Qt::white);
}

// Every row's File cell is one; nothing else is ever put in that column.
static FileItem *fileItem(const JobTable &table, int row)
{
    return static_cast<FileItem *>(table.item(row, JobTable::FileColumn));
}

JobTable::JobTable(QObject *parent)
    : QStandardItemModel(0, 3, parent)
{
}

// The Status cell of the new row is centred and shows Pending already, with
// the values that every Pending cell shares. The Output cell has no item:
// its values are the File cell's.
PreviewInput JobTable::appendFile(const QString &path, const QString &addedFolder)
{
    auto *file = new FileItem;
    file->path = path;
    file->folderLength = path.startsWith(addedFolder) ? addedFolder.size() : 0;
    file->preview.key = ++lastKey;
    appendRow({statusLook(JobStatus::Pending).clone(), file});
    return {lastKey, path, addedFolder};
}

void JobTable::setPreview(const PreviewedRow &preview)
{
    const int row = rowOf(preview.key);
    if (row < 0)
        return;
    fileItem(*this, row)->preview = preview;
    const QModelIndex cell = index(row, OutputColumn);
    emit dataChanged(cell, cell);
}

// Keys grow down the table, whatever rows were removed.
int JobTable::rowOf(quint64 key) const
{
    int low = 0;
    int high = rowCount() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const quint64 found = fileItem(*this, middle)->preview.key;
        if (found == key)
            return middle;
        if (found < key)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return -1;
}

QVector<quint64> JobTable::keys() const
{
    QVector<quint64> all;
    all.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        all << fileItem(*this, row)->preview.key;
    return all;
}

QVector<qint64> JobTable::lengths(const QVector<int> &rows) const
{
    const int count = rows.isEmpty() ? rowCount() : rows.size();
    QVector<qint64> all;
    all.reserve(count);
    for (int i = 0; i < count; ++i) {
        const auto *file = fileItem(*this, rows.isEmpty() ? i : rows.at(i));
        all << (file ? file->preview.durationMs : -1);
    }
    return all;
}

void JobTable::setStatus(JobStatus::ConvertStatus status, const QModelIndex &index)
{
    if (status < JobStatus::Pending || status > JobStatus::Done || index.model() != this)
        return;
    const QStandardItem &look = statusLook(status);
    for (const int role : {Qt::DisplayRole, Qt::BackgroundRole, Qt::ForegroundRole}) {
        // Writing a value the cell already has changes nothing, yet would
        // give the cell its own copy of the values it shares.
        const QVariant value = look.data(role);
        const QVariant shown = index.data(role);
        if (shown.userType() != value.userType() || shown != value)
            setData(index, value, role);
    }
    if (auto *file = fileItem(*this, index.row())) {
        file->status = status;
        // A job starting again makes the last one's report stale.
        if (status == JobStatus::Converting)
            file->report = 0;
    }
}

JobStatus::ConvertStatus JobTable::status(int row) const
{
    const auto *file = fileItem(*this, row);
    return file ? file->status : JobStatus::Pending;
}

void JobTable::setPercent(int row, int percent)
{
    if (status(row) == JobStatus::Converting)
        setData(index(row, StatusColumn), convertingText(qBound(0, percent, 100)), Qt::EditRole);
}

void JobTable::setReport(int row, const JobReport &report)
{
    if (auto *file = fileItem(*this, row))
        file->report = records.add(report);
}

JobReport JobTable::report(int row) const
{
    const auto *file = fileItem(*this, row);
    return file && file->report ? records.read(file->report) : JobReport();
}

QString JobTable::convertingText(int percent)
{
    return tr("Converting %1 %").arg(percent);
}

QString JobTable::path(int row) const
{
    const auto *file = fileItem(*this, row);
    return file ? file->path : QString();
}

QString JobTable::outputFolder(int row) const
{
    const QString output = report(row).outputPath;
    const QFileInfo folder(QFileInfo(output).absolutePath());
    return !output.isEmpty() && folder.isDir() ? folder.filePath() : QString();
}

QString JobTable::addedFolder(int row) const
{
    const auto *file = fileItem(*this, row);
    return file ? file->path.left(file->folderLength) : QString();
}

QStringList JobTable::column(const QVector<int> &rows, QString (JobTable::*cell)(int) const) const
{
    const int count = rows.isEmpty() ? rowCount() : rows.size();
    QStringList cells;
    cells.reserve(count);
    for (int i = 0; i < count; ++i)
        cells << (this->*cell)(rows.isEmpty() ? i : rows.at(i));
    return cells;
}

QStringList JobTable::paths(const QVector<int> &rows) const
{
    return column(rows, &JobTable::path);
}

QStringList JobTable::addedFolders(const QVector<int> &rows) const
{
    return column(rows, &JobTable::addedFolder);
}

QVector<int> JobTable::rowsWith(JobStatus::ConvertStatus status) const
{
    QVector<int> rows;
    for (int row = 0; row < rowCount(); ++row) {
        if (this->status(row) == status)
            rows << row;
    }
    return rows;
}

QItemSelection JobTable::selection(const QVector<int> &rows) const
{
    QItemSelection ranges;
    for (const int row : rows) {
        if (!ranges.isEmpty() && ranges.last().bottom() == row - 1)
            ranges.last() = QItemSelectionRange(ranges.last().topLeft(), index(row, OutputColumn));
        else
            ranges.select(index(row, StatusColumn), index(row, OutputColumn));
    }
    return ranges;
}

void JobTable::clearRows()
{
    removeRows(0, rowCount());
    records.clear();
}

QVariant JobTable::data(const QModelIndex &index, int role) const
{
    if (role == Qt::ToolTipRole && index.column() == StatusColumn)
        return toolTip(index.row());
    if (index.column() == OutputColumn && index.model() == this)
        return outputData(index.row(), role);
    return QStandardItemModel::data(index, role);
}

// A row that writes nothing shows why in place of a path.
QVariant JobTable::outputData(int row, int role) const
{
    const auto *file = fileItem(*this, row);
    if (!file || file->preview.key == 0 || (file->preview.outputPath.isEmpty() && file->preview.reason.isEmpty()))
        return QVariant();
    const PreviewedRow &preview = file->preview;
    switch (role) {
    case Qt::DisplayRole:
        return preview.outputPath.isEmpty() ? preview.reason : preview.outputPath;
    case Qt::ForegroundRole:
        // Not an icon: a warning sign's yellow would read as a Pending status.
        return preview.marks ? QVariant(QColor(markedText)) : QVariant();
    case Qt::ToolTipRole: {
        QStringList lines;
        for (const QString &line : {preview.outputPath, preview.reason})
            if (!line.isEmpty())
                lines << line.toHtmlEscaped();
        if (preview.marks & PreviewedRow::Renamed)
            lines << tr("An earlier row has the same output, so this one is numbered.").toHtmlEscaped();
        if (preview.marks & PreviewedRow::Replaces)
            lines << tr("Replaces an existing file.").toHtmlEscaped();
        return QStringLiteral("<p>%1</p>").arg(lines.join(QStringLiteral("<br>")));
    }
    default:
        return QVariant();
    }
}

QString JobTable::toolTip(int row) const
{
    const JobReport last = report(row);
    // A row shows its last job's report only while it shows that job's end.
    if (last.id == 0 || last.status != status(row))
        return QString();
    QString text = QStringLiteral("<p><b>%1</b>").arg(statusText(last.status).toHtmlEscaped());
    const QString why = last.explanation();
    if (!why.isEmpty())
        text += QStringLiteral(": ") + why.toHtmlEscaped();
    text += QStringLiteral("</p>");
    if (!last.outputPath.isEmpty())
        text += QStringLiteral("<p>%1</p>").arg(tr("Output: %1").arg(QDir::cleanPath(last.outputPath)).toHtmlEscaped());
    if (last.status == JobStatus::Failed) {
        const QString lines = lastEncoderLines(last.encoderOutput, 6);
        if (!lines.isEmpty())
            text += QStringLiteral("<p>%1</p><pre>%2</pre>")
                        .arg(tr("The encoder's last lines:").toHtmlEscaped(), lines.toHtmlEscaped());
    }
    return text;
}
