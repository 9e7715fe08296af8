// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversiontestsupport.h"
#include "mainwindow/mainwindow.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <vector>
#include <unistd.h>

// Drives batches through the real window, with stand-in encoders.
class TestRunControl : public QObject
{
    Q_OBJECT

public:
    static int threadlessBatch(const QString &request);

private:
    QTemporaryDir temp;
    QString base;

    struct Batch
    {
        QTemporaryDir folder;
        QStringList inputs;
        QString trace;   // one line per encoder started: its process id
        QString release; // blocking encoders end once this file exists
    };

    // Adds `count` inputs (or the given names) to the window; the encoder
    // records its start and waits for the release file when `blocking`.
    static void prepare(Batch &batch, MainWindow &window, int count, bool blocking,
                        const QStringList &names = {}, const QString &extra = {})
    {
        batch.trace = batch.folder.path() + "/trace";
        batch.release = batch.folder.path() + "/release";
        const QString wait = blocking ? "while [ ! -e " + batch.release + " ]; do sleep 0.05; done; " : "";
        resetSettings(writeEncoder(batch.folder.path(), "encoder",
                                   extra + "echo $$ >> " + batch.trace + "; echo partial > \"$out\"; "
                                       + wait + "echo done > \"$out\""),
                      batch.folder.path() + "/out/{sourcedir}");
        for (int i = 0; i < count; ++i) {
            batch.inputs << batch.folder.path() + "/in/"
                    + (names.isEmpty() ? QString("track%1.wav").arg(i + 1, 2, 10, QChar('0')) : names.at(i));
            writeFile(batch.inputs.last(), "x");
        }
        window.addPaths(batch.inputs);
    }

    static QStringList traceLines(const Batch &batch)
    {
        QFile file(batch.trace);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    static QStringList statuses(MainWindow &window)
    {
        QStringList texts;
        for (int row = 0; row < window.model->rowCount(); ++row)
            texts << window.model->index(row, 0).data().toString();
        return texts;
    }

    static bool idle(MainWindow &window)
    {
        return !window.converting && window.ui->pushButton_Convert->isEnabled()
            && window.ui->pushButton_Settings->isEnabled() && window.ui->pushButton_Clear->isEnabled()
            && !window.ui->pushButton_Cancel->isEnabled() && window.ui->progressBar->isHidden();
    }

    static bool converting(MainWindow &window)
    {
        return window.converting && !window.ui->pushButton_Convert->isEnabled()
            && !window.ui->pushButton_Settings->isEnabled() && !window.ui->pushButton_Clear->isEnabled()
            && !window.ui->progressBar->isHidden();
    }

    struct Box
    {
        QString title, text;
        int buttons = 0;
        QWidget *parent = nullptr;
    };

    // Presses Convert and reads, then closes, the message box it shows.
    static Box convertExpectingBox(MainWindow &window)
    {
        Box box;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                box = {shown->windowTitle(), shown->text(), int(shown->buttons().size()),
                       shown->parentWidget()};
                shown->button(QMessageBox::Ok)->click();
            }
        });
        poll.start(10);
        window.ui->pushButton_Convert->click();
        return box;
    }

    static int count(const QStringList &lines, const QString &line)
    {
        return int(std::count(lines.begin(), lines.end(), line));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        base = QFileInfo(temp.path()).canonicalFilePath();
    }

    void checks_data()
    {
        QTest::addColumn<QString>("binary");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("binaryValid");
        QTest::addColumn<bool>("outputValid");
        QTest::newRow("usable") << "@/encoder" << "@/out/{sourcedir}" << true << true;
        QTest::newRow("link to an encoder, missing parents") << "@/link" << "@/missing/parent/{sourcedir}" << true << true;
        QTest::newRow("empty") << "" << "" << false << false;
        QTest::newRow("folders") << "@" << "{sourcedir}/converted" << false << true;
        QTest::newRow("not executable, a file") << "@/plain" << "@/plain" << false << false;
        QTest::newRow("missing, below a file") << "@/none" << "@/plain/sub/{sourcedir}" << false << false;
    }

    void checks()
    {
        QFETCH(QString, binary);
        QFETCH(QString, output);
        QFETCH(bool, binaryValid);
        QFETCH(bool, outputValid);
        QTemporaryDir folder(base + "/checks-XXXXXX");
        writeEncoder(folder.path(), "encoder", "exit 0");
        QFile::link(folder.path() + "/encoder", folder.path() + "/link");
        writeFile(folder.path() + "/plain", "text");
        QCOMPARE(isValidFFmpegBinary(binary.replace('@', folder.path())), binaryValid);
        QCOMPARE(isValidOutputDirectory(output.replace('@', folder.path())), outputValid);
        if (output.contains("/missing/parent/"))
            QVERIFY(QFileInfo(folder.path() + "/missing/parent").isDir());
    }

    void errorBoxes_data()
    {
        QTest::addColumn<QString>("binary");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        const QString binaryText = "FFmpeg binary is invalid. Please check your settings.";
        QTest::newRow("no encoder") << "" << "{sourcedir}" << binaryText;
        QTest::newRow("both bad") << "/nonexistent/ffmpeg" << "" << binaryText;
        QTest::newRow("bad output") << "ok" << "/dev/null/out" << "Your output directory is bad. Maybe it is not writable?";
    }

    void errorBoxes()
    {
        QFETCH(QString, binary);
        QFETCH(QString, output);
        QFETCH(QString, text);
        MainWindow window;
        Batch batch;
        prepare(batch, window, 2, false);
        if (binary != "ok")
            AppSettings::FFmpegBinary = binary;
        AppSettings::OutputDirectory = output;
        LogCapture log;
        const Box box = convertExpectingBox(window);
        QCOMPARE(box.title, QString("Error"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.buttons, 1);
        QCOMPARE(box.parent, &window);
        QVERIFY(idle(window));
        QVERIFY(!log.lines.join('\n').contains("Starting convert"));
        QCOMPARE(statuses(window), (QStringList{"Pending", "Pending"}));
    }

    void emptyTable()
    {
        MainWindow window;
        Batch batch;
        prepare(batch, window, 0, false);
        LogCapture log;
        window.ui->pushButton_Convert->click();
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(idle(window));
        QCOMPARE(window.ui->progressBar->value(), 0);
        QVERIFY(!log.lines.join('\n').contains("Starting convert"));
    }

    void progress_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("threads");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("3 rows") << 3 << 2 << QList<int>{0, 33, 66, 100};
        QTest::newRow("7 rows, processor threads") << 7 << 0 << QList<int>{0, 14, 28, 42, 57, 71, 85, 100};
        QTest::newRow("1 row, negative threads") << 1 << -4 << QList<int>{0, 100};
    }

    void progress()
    {
        QFETCH(int, rows);
        QFETCH(int, threads);
        QFETCH(QList<int>, values);
        MainWindow window;
        Batch batch;
        prepare(batch, window, rows, false);
        AppSettings::Threads = threads;
        window.setStatus(FFmpegTask::Failed, window.model->index(0, 0)); // from an earlier batch
        QSignalSpy progress(window.ui->progressBar, &QProgressBar::valueChanged);
        LogCapture log;

        window.ui->pushButton_Convert->click();
        QVERIFY(converting(window));
        QTRY_VERIFY_WITH_TIMEOUT(idle(window), 30000);

        QList<int> seen;
        for (const QList<QVariant> &change : progress)
            seen << change.first().toInt();
        QCOMPARE(seen, values);
        QCOMPARE(statuses(window), QStringList(QVector<QString>(rows, "Done").toList()));
        const int used = threads > 0 ? threads : QThread::idealThreadCount();
        QCOMPARE(log.lines.first(),
                 QString("Starting convert... \n Threads: %1 \n Items: %2").arg(used).arg(rows));
        QCOMPARE(count(log.lines, "Done"), 1);
        QCOMPARE(log.lines.last(), QString("Done"));
        QCOMPARE(traceLines(batch).size(), rows);
        QCOMPARE(window.pool.maxThreadCount(), used);
        for (const QString &input : batch.inputs)
            QCOMPARE(checksum(batch.folder.path() + "/out" + QFileInfo(input).absolutePath() + "/"
                              + QFileInfo(input).completeBaseName() + ".mp3"),
                     QCryptographicHash::hash("done\n", QCryptographicHash::Sha256).toHex());
    }

    void cancel_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("doneWritten");
        QTest::newRow("2 running, 8 queued") << 10 << false;
        QTest::newRow("nothing queued") << 2 << true;
    }

    void cancel()
    {
        QFETCH(int, rows);
        QFETCH(bool, doneWritten);
        MainWindow window;
        Batch batch;
        prepare(batch, window, rows, true);
        LogCapture log;
        window.ui->pushButton_Convert->click();
        QTRY_COMPARE_WITH_TIMEOUT(traceLines(batch).size(), 2, 10000);

        window.ui->pushButton_Cancel->click();
        QVERIFY(converting(window));
        QVERIFY(!window.ui->pushButton_Cancel->isEnabled());
        writeFile(batch.release, "");
        QTRY_VERIFY_WITH_TIMEOUT(idle(window), 10000);

        QStringList expected{"Done", "Done"};
        while (expected.size() < rows)
            expected << "Pending";
        QCOMPARE(statuses(window), expected);
        QCOMPARE(traceLines(batch).size(), 2);
        QCOMPARE(count(log.lines, "Done"), doneWritten ? 1 : 0);
    }

    // The idle switch of a cancel must not end a batch started after it.
    void staleCancelSwitch()
    {
        MainWindow window;
        Batch batch;
        prepare(batch, window, 1, true);
        window.ui->pushButton_Convert->click();
        QTRY_COMPARE_WITH_TIMEOUT(traceLines(batch).size(), 1, 10000);
        writeFile(batch.release, "");
        QTRY_VERIFY_WITH_TIMEOUT(idle(window), 10000);

        // The pool is idle, so the switch is posted at once and not yet handled.
        QFile::remove(batch.release);
        window.cancel();
        window.ui->pushButton_Convert->click();
        QCoreApplication::processEvents();
        QVERIFY(converting(window));
        QTRY_COMPARE_WITH_TIMEOUT(traceLines(batch).size(), 2, 10000);

        writeFile(batch.release, "");
        QTRY_VERIFY_WITH_TIMEOUT(idle(window), 10000);
    }

    // Under a process limit some threads of the pool cannot start; the batch
    // still ends, and so do Cancel and closing the window.
    void threadsRefused_data()
    {
        QTest::addColumn<int>("spare"); // threads the limit leaves
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << 0 << "Failed";
        QTest::newRow("one of four") << 1 << "Skipped";
        QTest::newRow("three of four") << 3 << "Skipped";
    }

    void threadsRefused()
    {
        QFETCH(int, spare);
        QFETCH(QString, expected);
        QTemporaryDir job; // where the unprivileged user can reach it
        QFile(job.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                         | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUILLMERE_TEST_THREADLESS", job.path() + '\n' + QString::number(spare));
        // A leak checker needs a helper thread at exit, which this child cannot start.
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY2(child.waitForFinished(120000), "the window with refused threads did not close within two minutes");
        const QString output = QString::fromUtf8(child.readAllStandardOutput());
        if (child.exitCode() >= 3 && child.exitCode() <= 5)
            QSKIP("this machine does not let the test limit the threads it may start");
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(output.trimmed(), QStringList(QStringList() << expected << expected << expected << expected
                                               << expected << expected << "(threads refused)").join(' '));
    }

    void reportOutsideTable()
    {
        MainWindow window;
        Batch batch;
        prepare(batch, window, 2, false);
        window.onStatusChange(0, FFmpegTask::Done);
        window.onStatusChange(3, FFmpegTask::Failed);
        window.onStatusChange(-1, FFmpegTask::Skipped);
        QCOMPARE(statuses(window), (QStringList{"Pending", "Pending"}));
        window.onStatusChange(2, FFmpegTask::Skipped);
        QCOMPARE(statuses(window), (QStringList{"Pending", "Skipped"}));
    }

    // Closing the window mid-batch stops the encoders and leaves no partial file.
    void closeMidBatch_data()
    {
        QTest::addColumn<QString>("extra"); // run by the encoder first
        QTest::addColumn<QStringList>("names");
        QTest::newRow("encoders") << "" << QStringList{"a.wav", "b.wav", "c.wav", "d.wav"};
        QTest::newRow("encoders that ignore the request") << "trap '' TERM; "
            << QStringList{"a.wav", "b.wav", "c.wav", "d.wav"};
        QTest::newRow("one waiting for the same output") << ""
            << QStringList{"a.wav", "a.flac", "a.ogg", "b.wav"};
    }

    void closeMidBatch()
    {
        QFETCH(QString, extra);
        QFETCH(QStringList, names);
        auto window = std::make_unique<MainWindow>();
        window->show();
        Batch batch;
        prepare(batch, *window, names.size(), true, names, extra);
        window->ui->pushButton_Convert->click();
        const int running = names.at(1).startsWith("a.") ? 1 : 2;
        QTRY_COMPARE_WITH_TIMEOUT(traceLines(batch).size(), running, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(window->pool.activeThreadCount(), 2, 10000);

        QVERIFY(window->close());
        QCOMPARE(window->pool.activeThreadCount(), 0);
        const QStringList pids = traceLines(batch);
        QCOMPARE(pids.size(), running);
        for (const QString &pid : pids)
            QVERIFY2(::kill(pid.toInt(), 0) != 0, qPrintable("encoder still running: " + pid));
        QDir out(batch.folder.path() + "/out" + batch.folder.path() + "/in");
        QCOMPARE(out.entryList(QDir::Files), QStringList());
        window.reset();
        QCoreApplication::processEvents();
    }
};

// Set once the pool has said that a thread could not be started.
static std::atomic<bool> threadRefused{false};

// The tasks (threads and processes) that the user `uid` has running.
static int tasksOf(uid_t uid)
{
    int count = 0;
    QDirIterator processes("/proc", QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (processes.hasNext()) {
        QFile status(processes.next() + "/status");
        if (!status.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromLatin1(status.readAll());
        const QRegularExpression uidLine("\\nUid:\\s+(\\d+)"), threadsLine("\\nThreads:\\s+(\\d+)");
        if (uint(uidLine.match(text).captured(1).toInt()) == uid)
            count += threadsLine.match(text).captured(1).toInt();
    }
    return count;
}

// Runs a batch of six text files on four threads as an unprivileged user
// who may start `spare` more threads, then cancels and closes the window.
int TestRunControl::threadlessBatch(const QString &request)
{
    const QString directory = request.section('\n', 0, 0);
    const int spare = request.section('\n', 1).toInt();
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 3;
    const rlim_t tasks = rlim_t(tasksOf(geteuid()) + spare);
    const struct rlimit limit = {tasks, tasks};
    if (setrlimit(RLIMIT_NPROC, &limit) != 0)
        return 4;
    // Exactly `spare` threads can be started, and no more.
    const int before = tasksOf(geteuid());
    std::vector<std::thread> probes;
    bool refused = false;
    for (int i = 0; i <= spare && !refused; ++i) {
        try {
            probes.emplace_back([] {});
        } catch (const std::system_error &) {
            refused = true;
        }
    }
    for (std::thread &probe : probes)
        probe.join();
    if (!refused || int(probes.size()) != spare)
        return 5; // the limit does not work as the case needs
    // A joined thread leaves the user's count a moment after.
    QElapsedTimer settled;
    settled.start();
    while (tasksOf(geteuid()) > before && settled.elapsed() < 5000)
        QThread::msleep(10);
    resetSettings("/bin/true", directory + "/out");
    AppSettings::Threads = 4;
    MainWindow window;
    QStringList inputs;
    for (int i = 0; i < 6; ++i) {
        inputs << QString("%1/notes%2.txt").arg(directory).arg(i);
        writeFile(inputs.last(), "text");
    }
    window.addPaths(inputs);
    window.ui->pushButton_Convert->click();
    QElapsedTimer waited;
    waited.start();
    while (!window.ui->pushButton_Convert->isEnabled() && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    window.cancel();
    QCoreApplication::processEvents();
    QStringList statuses;
    for (int row = 0; row < window.model->rowCount(); ++row)
        statuses << window.model->index(row, 0).data().toString();
    if (threadRefused)
        statuses << "(threads refused)";
    printf("%s\n", qPrintable(statuses.join(' ')));
    window.close();
    return 0;
}

int main(int argc, char **argv)
{
    IsolatedHome home;
    QApplication app(argc, argv);
    qRegisterMetaType<FFmpegTask::ConvertStatus>("FFmpegTask::ConvertStatus");
    if (qEnvironmentVariableIsSet("QUILLMERE_TEST_THREADLESS")) {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
            if (message.startsWith("A thread could not be started"))
                threadRefused = true;
        });
        return TestRunControl::threadlessBatch(qEnvironmentVariable("QUILLMERE_TEST_THREADLESS"));
    }
    TestRunControl test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_runcontrol.moc"
