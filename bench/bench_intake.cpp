// SPDX-License-Identifier: GPL-3.0-or-later
// Adds a tree of 100,000 files (20 folders x 50 folders x 100 files) to the
// main window and compares the time with `find DIR -type f | sort` on the
// same tree. Prints one figure per line.
#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <fcntl.h>
#include <sys/resource.h>
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

static double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QTextStream out(stdout);

    QTemporaryDir tree;
    buildTree(tree.path());

    QList<double> findRuns;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        QProcess find;
        find.setStandardOutputFile(QProcess::nullDevice());
        find.start(QStringLiteral("sh"),
                   {QStringLiteral("-c"), QStringLiteral("find \"$1\" -type f | sort"),
                    QStringLiteral("sh"), tree.path()});
        find.waitForFinished(-1);
        findRuns << timer.nsecsElapsed() / 1e9;
    }

    MainWindow window;
    window.show();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    window.addPaths({tree.path()});
    const double intake = timer.nsecsElapsed() / 1e9;
    QApplication::processEvents();
    const double peakMegabytes = peakResidentMegabytes();

    // The same tree again, now into the visible table, as a drop would add it.
    timer.restart();
    window.addPaths({tree.path()});
    const double intakeVisible = timer.nsecsElapsed() / 1e9;
    QApplication::processEvents();

    const double find = medianSeconds(findRuns);
    out << "files: 100000\n";
    out << QStringLiteral("find | sort (median of 3): %1 s\n").arg(find, 0, 'f', 3);
    out << QStringLiteral("intake, walk and rows: %1 s\n").arg(intake, 0, 'f', 3);
    out << QStringLiteral("intake / find | sort: %1\n").arg(intake / find, 0, 'f', 2);
    out << QStringLiteral("second intake into the visible table: %1 s\n").arg(intakeVisible, 0, 'f', 3);
    out << QStringLiteral("peak resident memory, 100,000 rows: %1 MB\n").arg(peakMegabytes, 0, 'f', 1);
    out << QStringLiteral("peak resident memory, 200,000 rows: %1 MB\n").arg(peakResidentMegabytes(), 0, 'f', 1);
    return 0;
}
