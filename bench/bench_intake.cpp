// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a tree of 100,000 empty files (20 folders x 50 folders x 100 files)
// in DIR, which must not exist yet, adds it to a main window and times that
// against `find DIR -type f | sort` on the same tree (median of 3). Prints
//   intake SECONDS FIND-SORT-SECONDS
// The tree is left in place for further measurements.
//   bench_intake DIR
#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

static void buildTree(const QString &root)
{
    for (int a = 0; a < 20; ++a) {
        for (int b = 0; b < 50; ++b) {
            const QString dir = QStringLiteral("%1/artist%2/album%3").arg(root).arg(a).arg(b);
            QDir().mkpath(dir);
            for (int c = 0; c < 100; ++c) {
                const QByteArray file = QStringLiteral("%1/Track %2.flac").arg(dir).arg(c).toLocal8Bit();
                const int fd = ::open(file.constData(), O_CREAT | O_WRONLY, 0644);
                if (fd >= 0)
                    ::close(fd);
            }
        }
    }
}

static double medianSeconds(QList<double> runs)
{
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2 || QFileInfo::exists(arguments[1])) {
        QTextStream(stderr) << "usage: bench_intake DIR (a folder to be made)\n";
        return 2;
    }
    const QString tree = arguments[1];
    buildTree(tree);

    QList<double> findRuns;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess find;
        find.setStandardOutputFile(QProcess::nullDevice());
        find.start(QStringLiteral("sh"),
                   {QStringLiteral("-c"), QStringLiteral("find \"$1\" -type f | sort"),
                    QStringLiteral("sh"), tree});
        find.waitForFinished(-1);
        findRuns << timer.nsecsElapsed() / 1e9;
    }

    MainWindow window;
    window.show();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    window.addPaths({tree});
    const double intake = timer.nsecsElapsed() / 1e9;

    QTextStream(stdout) << "intake " << intake << ' ' << medianSeconds(findRuns) << '\n';
    return 0;
}
