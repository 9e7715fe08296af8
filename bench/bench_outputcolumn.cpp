// SPDX-License-Identifier: GPL-3.0-or-later
// Makes 10,000 tagged one-second FLAC files (100 folders x 100) in DIR, which
// must not exist yet, adds them to a main window and times until every row's
// Output cell shows its output, against reading the same files' tags in a
// plain loop (after one loop to fill the page cache). Meanwhile a timer asks
// for the GUI thread every 5 ms; the longest gap between its calls is the
// window's longest stall. Prints
//   outputcolumn SECONDS TAG-LOOP-SECONDS LONGEST-STALL-MS
//   bench_outputcolumn DIR
#include "mainwindow/jobtable.h"
#include "mainwindow/mainwindow.h"
#include "naming/tracktags.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTableView>
#include <QTextStream>
#include <QTimer>

static QStringList makeFiles(const QString &root)
{
    const QString first = root + QStringLiteral("/tagged.flac");
    QDir().mkpath(root);
    QProcess::execute(QStringLiteral("ffmpeg"),
                      {"-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i", "sine=duration=1", "-metadata",
                       "title=A Title", "-metadata", "artist=An Artist", "-metadata", "album=An Album", "-metadata",
                       "track=3", first});
    QStringList files;
    for (int folder = 0; folder < 100; ++folder) {
        const QString dir = QStringLiteral("%1/album%2").arg(root).arg(folder);
        QDir().mkpath(dir);
        for (int track = 0; track < 100; ++track) {
            files << QStringLiteral("%1/track%2.flac").arg(dir).arg(track);
            QFile::copy(first, files.last());
        }
    }
    QFile::remove(first);
    return files;
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2 || QFileInfo::exists(arguments[1])) {
        QTextStream(stderr) << "usage: bench_outputcolumn DIR (a folder to be made)\n";
        return 2;
    }
    const QString root = arguments[1];
    const QStringList files = makeFiles(root);

    qint64 lengths = 0;
    for (const QString &file : files)
        lengths += TrackTags::read(file).durationMs;
    QElapsedTimer loop;
    loop.start();
    for (const QString &file : files)
        lengths += TrackTags::read(file).durationMs;
    const double loopSeconds = loop.nsecsElapsed() / 1e9;

    AppSettings::load();
    MainWindow window;
    window.show();
    QApplication::processEvents();
    auto *model = qobject_cast<JobTable *>(window.findChild<QTableView *>(QStringLiteral("tableView"))->model());
    QSet<int> shown;
    QObject::connect(model, &QAbstractItemModel::dataChanged, [&](const QModelIndex &from, const QModelIndex &to) {
        if (to.column() < JobTable::OutputColumn)
            return;
        for (int row = from.row(); row <= to.row(); ++row)
            shown.insert(row);
        if (shown.size() == files.size())
            app.quit();
    });
    qint64 longestStall = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = qMax(longestStall, sinceTick.restart());
    });
    QTimer::singleShot(120000, &app, &QApplication::quit);

    QElapsedTimer column;
    column.start();
    sinceTick.start();
    ticker.start();
    window.addPaths({root});
    longestStall = qMax(longestStall, sinceTick.restart());
    app.exec();
    const double columnSeconds = column.nsecsElapsed() / 1e9;
    if (shown.size() != files.size()) {
        QTextStream(stderr) << "only " << shown.size() << " of " << files.size() << " rows shown in 120 s\n";
        return 1;
    }
    QTextStream(stdout) << "outputcolumn " << columnSeconds << ' ' << loopSeconds << ' ' << longestStall << '\n';
    return lengths > 0 ? 0 : 1;
}
