// SPDX-License-Identifier: GPL-3.0-or-later
// Times removing scattered rows from a job table shown in a table view, on
// Qt's offscreen platform. Each time runs until the view has caught up
// (pending events handled); median of 3. Prints
//   removal MS FILL-MS   every other row of 100,000 through removeModelRows,
//                        and filling those 100,000 rows
//   perrow MS OLD-MS     every fourth row of 20,000 (5,000 rows) through
//                        removeModelRows, and one removeRow a row from the bottom
//   bench_removal
#include "mainwindow/rowremoval.h"

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

// A view as the window sets it up, with its own model.
struct Table
{
    QStandardItemModel model{0, 2};
    QTableView view;

    Table()
    {
        model.setHorizontalHeaderLabels({QStringLiteral("Status"), QStringLiteral("File")});
        view.setModel(&model);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.resize(700, 500);
        view.show();
        QApplication::processEvents();
    }

    // Rows as intake makes them: a Pending status cell and a path.
    void fill(int rows)
    {
        for (int row = 0; row < rows; ++row) {
            auto *status = new QStandardItem(QStringLiteral("Pending"));
            status->setData(QColor(Qt::yellow), Qt::BackgroundRole);
            status->setData(int(Qt::AlignCenter), Qt::TextAlignmentRole);
            model.appendRow({status, new QStandardItem(QStringLiteral("/music/artist%1/Track %2.flac")
                                                            .arg(row / 100)
                                                            .arg(row))});
        }
    }
};

double milliseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    QApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

double median(QList<double> runs)
{
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

QList<int> everyNth(int step, int rows)
{
    QList<int> list;
    for (int row = 0; row < rows; row += step)
        list << row;
    return list;
}

// A measurement of a wrong result would mean nothing.
bool keptOthers(const QStandardItemModel &model, int step, int rows)
{
    if (model.rowCount() != rows - (rows + step - 1) / step)
        return false;
    int kept = 0;
    for (int row = 0; row < rows; ++row) {
        if (row % step == 0)
            continue;
        if (!model.item(kept, 1)->text().endsWith(QStringLiteral("Track %1.flac").arg(row))
            || model.item(kept, 0)->text() != QLatin1String("Pending"))
            return false;
        ++kept;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    QList<double> fills, removals;
    for (int run = 0; run < 3; ++run) {
        Table table;
        fills << milliseconds([&] { table.fill(100000); });
        const QList<int> rows = everyNth(2, 100000);
        removals << milliseconds([&] { removeModelRows(table.model, rows); });
        if (!keptOthers(table.model, 2, 100000)) {
            QTextStream(stderr) << "bench_removal: wrong rows left after removing every other row\n";
            return 1;
        }
    }

    QList<double> ours, perRow;
    for (int run = 0; run < 3; ++run) {
        const QList<int> rows = everyNth(4, 20000);
        Table table;
        table.fill(20000);
        ours << milliseconds([&] { removeModelRows(table.model, rows); });
        if (!keptOthers(table.model, 4, 20000)) {
            QTextStream(stderr) << "bench_removal: wrong rows left after removing every fourth row\n";
            return 1;
        }
        Table old;
        old.fill(20000);
        perRow << milliseconds([&] {
            for (auto row = rows.crbegin(); row != rows.crend(); ++row)
                old.model.removeRow(*row);
        });
    }

    QTextStream(stdout) << "removal " << median(removals) << ' ' << median(fills) << '\n'
                        << "perrow " << median(ours) << ' ' << median(perRow) << '\n';
    return 0;
}
