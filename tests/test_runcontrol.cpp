// SPDX-License-Identifier: GPL-3.0-or-later
// Runs batches through the conversion engine alone, with no window and no
// display, with stand-in encoders.
#include "conversion/batchchecks.h"
#include "conversion/conversionengine.h"
#include "conversion/encoderlocation.h"
#include "conversiontestsupport.h"
#include "settings/outputlocation.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QMap>
#include <QScopeGuard>
#include <QThread>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <vector>
#include <unistd.h>

// What an engine reported, in the order it came.
struct Recorder : QObject
{
    explicit Recorder(ConversionEngine &engine)
    {
        connect(&engine, &ConversionEngine::statusChanged, this, [this](int id, FFmpegTask::ConvertStatus status) {
            events << QString("status %1 %2").arg(id).arg(statusName(status));
        });
        connect(&engine, &ConversionEngine::progressed, this, [this](int id, qint64 position, qint64 duration) {
            events << QString("progress %1 %2 %3").arg(id).arg(position).arg(duration);
        });
        connect(&engine, &ConversionEngine::jobReported, this, [this](const JobReport &report) {
            reports << report;
            events << QString("report %1 %2").arg(report.id).arg(statusName(report.status));
        });
        connect(&engine, &ConversionEngine::jobDone, this,
                [this](int id) { events << QString("done %1").arg(id); });
        connect(&engine, &ConversionEngine::batchEnded, this, [this] {
            events << "end";
            ++ends;
        });
    }

    // The events of one job.
    QStringList of(int id) const
    {
        QStringList found;
        for (const QString &event : events)
            if (event.section(' ', 1, 1) == QString::number(id))
                found << event;
        return found;
    }

    QMap<int, JobReport> byId() const
    {
        QMap<int, JobReport> found;
        for (const JobReport &report : reports)
            found.insert(report.id, report);
        return found;
    }

    QStringList events;
    QList<JobReport> reports;
    int ends = 0;
};

class TestRunControl : public QObject
{
    Q_OBJECT

public:
    static int threadlessBatch(const QString &request);

private:
    QTemporaryDir temp;
    QString base;

    static QString contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString("(none)");
    }

    // Every file below `folder`, hidden ones too, relative to it.
    static QStringList filesBelow(const QString &folder)
    {
        QStringList found;
        QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (files.hasNext())
            found << files.next().mid(folder.size() + 1);
        found.sort();
        return found;
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

    // The check before a batch and the start of each job find the same
    // program: a name without "/" on PATH, whatever the working folder holds.
    void encoderNamed_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("onPath");        // an encoder of that name in a folder on PATH
        QTest::addColumn<bool>("inWorkingFolder"); // another one in the working folder
        QTest::addColumn<QString>("program");    // "@" stands for the folder on PATH
        QTest::addColumn<QString>("ran");        // which one converted; empty: the job failed
        const QString name = "quillmere-test-encoder";
        QTest::newRow("bare name on PATH only") << name << true << false << "@/" + name << "path";
        QTest::newRow("bare name in the working folder only") << name << false << true << "" << "";
        QTest::newRow("bare name in both") << name << true << true << "@/" + name << "path";
        QTest::newRow("relative path") << "./" + name << true << true << "./" + name << "working folder";
    }

    void encoderNamed()
    {
        QFETCH(QString, setting);
        QFETCH(bool, onPath);
        QFETCH(bool, inWorkingFolder);
        QFETCH(QString, program);
        QFETCH(QString, ran);
        QTemporaryDir folder(base + "/named-XXXXXX");
        const QString pathFolder = folder.path() + "/bin", workingFolder = folder.path() + "/work";
        QVERIFY(QDir().mkpath(pathFolder) && QDir().mkpath(workingFolder));
        const QString name = "quillmere-test-encoder";
        if (onPath)
            writeEncoder(pathFolder, name, "echo path > \"$out\"");
        if (inWorkingFolder)
            writeEncoder(workingFolder, name, "echo working folder > \"$out\"");
        const QByteArray path = qgetenv("PATH");
        const auto restorePath = qScopeGuard([path] { qputenv("PATH", path); });
        qputenv("PATH", QFile::encodeName(pathFolder) + ':' + path);
        const QString current = QDir::currentPath();
        const auto restoreCurrent = qScopeGuard([current] { QDir::setCurrent(current); });
        QVERIFY(QDir::setCurrent(workingFolder));
        const auto settings = restoreSettingsLater();
        resetSettings(setting, folder.path() + "/out");

        QCOMPARE(encoderProgram(setting), program.replace('@', pathFolder));
        QCOMPARE(isValidFFmpegBinary(setting), !ran.isEmpty());
        QCOMPARE(batchSettingsProblem().isEmpty(), !ran.isEmpty());

        const QString input = folder.path() + "/in/song.flac";
        writeFile(input, "x");
        ConversionEngine engine;
        Recorder recorder(engine);
        engine.start({input}, 1);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 1, 30000);
        QCOMPARE(recorder.reports.size(), 1);
        QCOMPARE(statusName(recorder.reports[0].status),
                 statusName(ran.isEmpty() ? FFmpegTask::Failed : FFmpegTask::Done));
        QCOMPARE(contents(folder.path() + "/out/song.mp3"), ran.isEmpty() ? QString("(none)") : ran + "\n");
    }

    // Every job reports once, in this order: its statuses, its report, its
    // end; the batch ends once, after all of them.
    void batch_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("threads");
        QTest::newRow("3 rows, 2 threads") << 3 << 2;
        QTest::newRow("7 rows, 3 threads") << 7 << 3;
        QTest::newRow("1 row, 4 threads") << 1 << 4;
        // Those who wait for the end of an empty batch still hear of it.
        QTest::newRow("no rows") << 0 << 2;
    }

    void batch()
    {
        QFETCH(int, rows);
        QFETCH(int, threads);
        const auto settings = restoreSettingsLater();
        HeldBatch batch;
        batch.prepare(rows, true);
        ConversionEngine engine;
        Recorder recorder(engine);

        engine.start(batch.inputs, threads);
        QCOMPARE(engine.isRunning(), rows > 0);
        const int atOnce = qMin(rows, threads);
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), atOnce, 10000);
        QCOMPARE(recorder.ends, 0);
        batch.release();
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 1, 30000);
        QCOMPARE(batch.mostAtOnce(), atOnce);

        QVERIFY(!engine.isRunning());
        QCOMPARE(recorder.events.last(), QString("end"));
        QCOMPARE(recorder.reports.size(), rows);
        const QMap<int, JobReport> reports = recorder.byId();
        QCOMPARE(reports.size(), rows);
        for (int id = 1; id <= rows; ++id) {
            const QString input = batch.inputs.at(id - 1);
            QCOMPARE(recorder.of(id), (QStringList{QString("status %1 Converting").arg(id),
                                                   QString("status %1 Done").arg(id),
                                                   QString("report %1 Done").arg(id), QString("done %1").arg(id)}));
            QCOMPARE(reports[id].inputPath, input);
            QCOMPARE(reports[id].outputPath, batch.outputOf(input));
            QCOMPARE(reports[id].reason, QString("Converted"));
            QCOMPARE(contents(batch.outputOf(input)), QString("done\n"));
        }
        QCOMPARE(batch.started().size(), rows);
    }

    // Cancel drops the jobs not yet started; the running ones finish and
    // report, then the batch ends.
    void cancel_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("2 running, 8 queued") << 10;
        QTest::newRow("nothing queued") << 2;
    }

    void cancel()
    {
        QFETCH(int, rows);
        const auto settings = restoreSettingsLater();
        HeldBatch batch;
        batch.prepare(rows, true);
        ConversionEngine engine;
        Recorder recorder(engine);
        engine.start(batch.inputs, 2);
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 2, 10000);

        engine.cancel();
        QCoreApplication::processEvents();
        QVERIFY(engine.isRunning());
        QCOMPARE(recorder.ends, 0);
        batch.release();
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 1, 10000);

        QVERIFY(!engine.isRunning());
        QCOMPARE(recorder.events.last(), QString("end"));
        QCOMPARE(recorder.byId().keys(), (QList<int>{1, 2}));
        for (int id = 1; id <= 2; ++id)
            QCOMPARE(recorder.of(id), (QStringList{QString("status %1 Converting").arg(id),
                                                   QString("status %1 Done").arg(id),
                                                   QString("report %1 Done").arg(id), QString("done %1").arg(id)}));
        for (int id = 3; id <= rows; ++id) {
            QCOMPARE(recorder.of(id), QStringList());
            QVERIFY(!QFile::exists(batch.outputOf(batch.inputs.at(id - 1))));
        }
        QCOMPARE(batch.started().size(), 2);
    }

    // The end of a cancel must not end a batch started after it.
    void staleCancel()
    {
        const auto settings = restoreSettingsLater();
        HeldBatch batch;
        batch.prepare(1, true);
        ConversionEngine engine;
        Recorder recorder(engine);
        engine.start(batch.inputs, 2);
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 1, 10000);
        batch.release();
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 1, 10000);

        // The pool is idle, so the end is posted at once and not yet handled.
        batch.hold();
        engine.cancel();
        engine.start(batch.inputs, 2);
        QCoreApplication::processEvents();
        QVERIFY(engine.isRunning());
        QCOMPARE(recorder.ends, 1);
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 2, 10000);

        batch.release();
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 2, 10000);
        QVERIFY(!engine.isRunning());
        QCOMPARE(recorder.events.count("report 1 Done"), 2);
    }

    // Stopping, or deleting the engine, ends every job at once: the encoders
    // are gone and no partial or temporary file stays. Nothing of the batch
    // is reported afterwards.
    void stop_data()
    {
        QTest::addColumn<QString>("extra"); // run by the encoder first
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("deleted"); // the engine is deleted rather than stopped
        // The second job's output exists, and the list is still open: that
        // job waits for the list's end, in case that file is listed later.
        QTest::addColumn<bool>("waiting");
        const QStringList four{"a.wav", "b.wav", "c.wav", "d.wav"};
        QTest::newRow("encoders") << "" << four << false << false;
        QTest::newRow("encoders that ignore the request") << "trap '' TERM; " << four << false << false;
        QTest::newRow("one waiting for the list's end") << "" << four << false << true;
        QTest::newRow("engine deleted") << "" << four << true << false;
        QTest::newRow("engine deleted, one waiting for the list's end") << "" << four << true << true;
    }

    void stop()
    {
        QFETCH(QString, extra);
        QFETCH(QStringList, names);
        QFETCH(bool, deleted);
        QFETCH(bool, waiting);
        const auto settings = restoreSettingsLater();
        HeldBatch batch;
        batch.prepare(names.size(), true, names, extra);
        const QString earlier = batch.outputOf(batch.inputs[1]);
        if (waiting)
            writeFile(earlier, "earlier");
        auto engine = std::make_unique<ConversionEngine>();
        Recorder recorder(*engine);
        LogCapture log;
        engine->begin(2);
        for (const QString &input : qAsConst(batch.inputs))
            engine->append(input);
        if (!waiting)
            engine->endInput();
        const int running = waiting ? 1 : 2;
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), running, 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(log.snapshot().contains(QString("Starting job 2 | \"%1\"").arg(batch.inputs[1])),
                                  "the second job did not start", 10000);
        const int reported = recorder.events.size();

        if (deleted)
            engine.reset();
        else
            engine->stop();
        QVERIFY(!engine || !engine->isRunning());
        for (int id = 1; id <= running; ++id)
            QVERIFY2(log.snapshot().filter(QString("Finished job %1 with exit code").arg(id)).size() == 1,
                     qPrintable(QString("job %1 did not wait for its encoder").arg(id)));
        const QStringList pids = batch.started();
        QCOMPARE(pids.size(), running);
        for (const QString &pid : pids)
            QVERIFY2(::kill(pid.toInt(), 0) != 0, qPrintable("encoder still running: " + pid));
        QCOMPARE(filesBelow(batch.outputFolder()),
                 waiting ? QStringList(QDir(batch.outputFolder()).relativeFilePath(earlier)) : QStringList());
        if (waiting)
            QCOMPARE(contents(earlier), QString("earlier"));
        QCoreApplication::processEvents();
        QCOMPARE(recorder.events.mid(reported), QStringList());
    }

    // Reports still on their way from a stopped batch do not reach the batch
    // that follows it.
    void reportsOfAStoppedBatch()
    {
        const auto settings = restoreSettingsLater();
        HeldBatch stopped;
        stopped.prepare(2, true);
        ConversionEngine engine;
        Recorder recorder(engine);
        engine.start(stopped.inputs, 2);
        QTRY_COMPARE_WITH_TIMEOUT(stopped.started().size(), 2, 10000);
        engine.stop();
        const int before = recorder.events.size();

        HeldBatch next;
        next.prepare(1, false, {"next.wav"});
        engine.start(next.inputs, 2);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 1, 30000);
        QCOMPARE(recorder.events.mid(before),
                 (QStringList{"status 1 Converting", "status 1 Done", "report 1 Done", "done 1", "end"}));
        QCOMPARE(recorder.reports.size(), 1);
        QCOMPARE(recorder.reports.first().inputPath, next.inputs.first());
    }

    // The encoder's progress lines reach the engine's receivers in
    // milliseconds, the first at once, then a few times a second at most.
    void progress()
    {
        const auto settings = restoreSettingsLater();
        QTemporaryDir folder(base + "/progress-XXXXXX");
        const QString release = folder.path() + "/release";
        resetSettings(writeEncoder(folder.path(), "encoder",
                                   "printf '  Duration: 00:00:50.00, start: 0.000000\\n' >&2\n"
                                   "printf 'size=       0kB time=00:00:01.00 bitrate=1\\r' >&2\n"
                                   "while [ ! -e " + release + " ]; do sleep 0.05; done\n"
                                   "i=2; while [ $i -le 50 ]; do\n"
                                   "    printf 'size=  %dkB time=00:00:%02d.00 bitrate=1\\r' $i $i >&2; sleep 0.01\n"
                                   "    i=$((i + 1))\ndone\n"
                                   "echo converted > \"$out\""),
                      folder.path() + "/out");
        const QStringList inputs{folder.path() + "/in/a.flac", folder.path() + "/in/b.flac"};
        for (const QString &input : inputs)
            writeFile(input, "x");
        ConversionEngine engine;
        Recorder recorder(engine);
        QElapsedTimer running;
        running.start();
        engine.start(inputs, 2);
        for (int id = 1; id <= 2; ++id)
            QTRY_VERIFY2_WITH_TIMEOUT(recorder.of(id).contains(QString("progress %1 1000 50000").arg(id)),
                                      "no progress reported while the encoder waits", 10000);
        writeFile(release, "");
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 1, 30000);
        const qint64 elapsed = running.elapsed();

        for (int id = 1; id <= 2; ++id) {
            const QStringList events = recorder.of(id);
            const QStringList reports = events.filter("progress ");
            // The encoder printed 50 lines in half a second or more; a
            // millisecond clock allows one report more.
            QVERIFY2(reports.size() >= 2 && reports.size() <= 2 + elapsed / 250,
                     qPrintable(QString("%1 reports in %2 ms").arg(reports.size()).arg(elapsed)));
            QCOMPARE(events.first(), QString("status %1 Converting").arg(id));
            QCOMPARE(events.mid(1, reports.size()), reports);
            qint64 last = 0;
            for (const QString &report : reports) {
                const qint64 position = report.section(' ', 2, 2).toLongLong();
                QVERIFY2(position >= last && position <= 50000 && report.endsWith(" 50000"), qPrintable(report));
                last = position;
            }
            QCOMPARE(recorder.byId()[id].durationMs, qint64(50000));
            QCOMPARE(statusName(recorder.byId()[id].status), statusName(FFmpegTask::Done));
        }
    }

    // Stop Now: the running jobs end at once and report, stopped; the queued
    // ones never run; the batch ends, all before stopNow() returns.
    void stopNow_data()
    {
        QTest::addColumn<bool>("cancelledFirst");
        QTest::newRow("running batch") << false;
        QTest::newRow("cancelled batch") << true;
    }

    void stopNow()
    {
        QFETCH(bool, cancelledFirst);
        const auto settings = restoreSettingsLater();
        HeldBatch batch;
        const QString children = batch.folder.path() + "/children";
        batch.prepare(4, true, {}, "sleep 60 & echo $! >> " + children + "; ");
        ConversionEngine engine;
        Recorder recorder(engine);
        engine.start(batch.inputs, 2);
        QTRY_COMPARE_WITH_TIMEOUT(batch.started().size(), 2, 10000);
        if (cancelledFirst)
            engine.cancel();

        QElapsedTimer stopping;
        stopping.start();
        engine.stopNow();
        const qint64 took = stopping.elapsed();
        QVERIFY(!engine.isRunning());
        QCOMPARE(recorder.ends, 1);
        QCOMPARE(recorder.events.last(), QString("end"));
        const QMap<int, JobReport> reports = recorder.byId();
        for (int id = 1; id <= 2; ++id) {
            QCOMPARE(recorder.of(id), (QStringList{QString("status %1 Converting").arg(id),
                                                   QString("status %1 Failed").arg(id),
                                                   QString("report %1 Failed").arg(id), QString("done %1").arg(id)}));
            QCOMPARE(reports[id].reason, QString("Stopped"));
            QCOMPARE(reports[id].outputPath, batch.outputOf(batch.inputs.at(id - 1)));
        }
        for (int id = 3; id <= 4; ++id)
            QCOMPARE(recorder.of(id), QStringList());
        QVERIFY2(took < 5000, qPrintable(QString("Stop Now took %1 ms").arg(took)));
        const QStringList pids = batch.started() + contents(children).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(pids.size(), 4);
        for (const QString &pid : pids)
            QVERIFY2(::kill(pid.toInt(), 0) != 0, qPrintable("stand-in still running: " + pid));
        QCOMPARE(filesBelow(batch.outputFolder()), QStringList());

        // Nor does a cancel's end follow.
        const int reported = recorder.events.size();
        QTest::qWait(100);
        QCOMPARE(recorder.events.mid(reported), QStringList());
    }

    void stopNowWithoutBatch_data()
    {
        QTest::addColumn<bool>("ranBefore");
        QTest::newRow("never started") << false;
        QTest::newRow("after a batch ended") << true;
    }

    void stopNowWithoutBatch()
    {
        QFETCH(bool, ranBefore);
        const auto settings = restoreSettingsLater();
        HeldBatch batch;
        batch.prepare(1, false);
        ConversionEngine engine;
        Recorder recorder(engine);
        if (ranBefore) {
            engine.start(batch.inputs, 1);
            QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 1, 30000);
        }
        const QStringList before = recorder.events;
        engine.stopNow();
        QCoreApplication::processEvents();
        QCOMPARE(recorder.events, before);
        QVERIFY(!engine.isRunning());
    }

    // What each kind of job reports: its status, paths and, for a failure, a
    // short reason and what the encoder wrote.
    void reports_data()
    {
        QTest::addColumn<QString>("input");          // below "in"
        QTest::addColumn<QString>("encoder");        // script body; a path: the setting; empty: the default
        QTest::addColumn<QString>("outputTemplate"); // "@" stands for the batch folder
        QTest::addColumn<QStringList>("flags");      // "quick", "copy"
        QTest::addColumn<QString>("existing");       // a file made at this path first
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");         // "" for none
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("encoderOutput");
        QTest::addColumn<bool>("ranEncoder"); // a command line is reported
        QTest::addColumn<qint64>("durationMs");

        const QString converts = "echo converted > \"$out\"";
        const qint64 unknown = -1;
        // The stand-in inputs are no audio whose tags could be read.
        const QString converted = "Converted; tags and cover not copied: the input's tags could not be read";
        QTest::newRow("converted") << "song.flac" << converts << "@/out" << QStringList() << ""
            << int(FFmpegTask::Done) << "@/out/song.mp3" << converted << "" << true << unknown;
        QTest::newRow("length from the encoder") << "song.flac"
            << "printf '  Duration: 00:01:02.50, start: 0.000000, bitrate: 1411 kb/s\\n' >&2; " + converts << "@/out"
            << QStringList() << "" << int(FFmpegTask::Done) << "@/out/song.mp3" << converted
            << "  Duration: 00:01:02.50, start: 0.000000, bitrate: 1411 kb/s\n" << true << qint64(62500);
        QTest::newRow("other file skipped") << "notes.txt" << converts << "@/out" << QStringList() << ""
            << int(FFmpegTask::Skipped) << "" << "Not an audio or video file" << "" << false << unknown;
        QTest::newRow("other file copied") << "notes.txt" << converts << "@/out" << QStringList{"copy"} << ""
            << int(FFmpegTask::Done) << "@/out/notes.txt" << "Not an audio or video file; copied to the output folder"
            << "" << false << unknown;
        QTest::newRow("other file copied before") << "notes.txt" << converts << "@/out" << QStringList{"copy"}
            << "@/out/notes.txt" << int(FFmpegTask::Done) << "@/out/notes.txt"
            << "Not an audio or video file; a file of that name is already in the output folder" << "" << false
            << unknown;
        QTest::newRow("quick, output already there") << "song.flac" << converts << "@/out" << QStringList{"quick"}
            << "@/out/song.mp3" << int(FFmpegTask::Skipped) << "@/out/song.mp3"
            << "The output already exists (quick mode)" << "" << false << unknown;
        QTest::newRow("quick, already in the output format") << "song.mp3" << converts << "@/out"
            << QStringList{"quick"} << "" << int(FFmpegTask::Done) << "@/out/song.mp3"
            << "Already in the output format; copied (quick mode)" << "" << false << unknown;
        QTest::newRow("the encoder's reason")
            << "x.flac"
            << "printf 'Input #0, flac\\nx.flac: Invalid data found when processing input\\n"
               "Conversion failed!\\n' >&2; exit 1"
            << "@/out" << QStringList() << "" << int(FFmpegTask::Failed) << "@/out/x.mp3"
            << "x.flac: Invalid data found when processing input (exit code 1)"
            << "Input #0, flac\nx.flac: Invalid data found when processing input\nConversion failed!\n" << true
            << unknown;
        // The encoder says so, yet ends with exit code 0.
        QTest::newRow("full disk at the end")
            << "song.flac"
            << converts + "; printf '[out#0/mp3 @ 0x5581] Error writing trailer: No space left on device\\n' >&2"
            << "@/out" << QStringList() << "" << int(FFmpegTask::Failed) << "@/out/song.mp3"
            << "No space left on the device"
            << "[out#0/mp3 @ 0x5581] Error writing trailer: No space left on device\n" << true << unknown;
        QTest::newRow("exit code, nothing said") << "song.flac" << "exit 3" << "@/out" << QStringList() << ""
            << int(FFmpegTask::Failed) << "@/out/song.mp3" << "The encoder ended with exit code 3" << "" << true
            << unknown;
        QTest::newRow("crash") << "song.flac" << "kill -KILL $$" << "@/out" << QStringList() << ""
            << int(FFmpegTask::Failed) << "@/out/song.mp3" << "The encoder crashed (signal 9)" << "" << true
            << unknown;
        QTest::newRow("nothing written") << "song.flac" << "echo said" << "@/out" << QStringList() << ""
            << int(FFmpegTask::Failed) << "@/out/song.mp3" << "The encoder wrote no output" << "said\n" << true
            << unknown;
        QTest::newRow("encoder missing") << "song.flac" << "/nonexistent/ffmpeg" << "@/out" << QStringList() << ""
            << int(FFmpegTask::Failed) << "@/out/song.mp3" << "The encoder could not be started" << "" << true
            << unknown;
        QTest::newRow("output onto its own input") << "song.mp3" << converts << "{sourcedir}" << QStringList() << ""
            << int(FFmpegTask::Failed) << "@/in/song.mp3" << "The output would replace the input" << "" << false
            << unknown;
    }

    void reports()
    {
        QFETCH(QString, input);
        QFETCH(QString, encoder);
        QFETCH(QString, outputTemplate);
        QFETCH(QStringList, flags);
        QFETCH(QString, existing);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, reason);
        QFETCH(QString, encoderOutput);
        QFETCH(bool, ranEncoder);
        QFETCH(qint64, durationMs);
        QTemporaryDir folder(base + "/reports-XXXXXX");
        const auto at = [&](QString path) { return path.replace('@', folder.path()); };
        const auto settings = restoreSettingsLater();
        const QString program = encoder.startsWith('/') ? encoder : writeEncoder(folder.path(), "encoder", encoder);
        resetSettings(program, at(outputTemplate));
        AppSettings::QuickConvertMode = flags.contains("quick");
        AppSettings::CopyNonAudioFiles = flags.contains("copy");
        const QString inputPath = folder.path() + "/in/" + input;
        writeFile(inputPath, "input");
        if (!existing.isEmpty())
            writeFile(at(existing), "existing");

        ConversionEngine engine;
        Recorder recorder(engine);
        engine.start({inputPath}, 1);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ends, 1, 30000);
        QCOMPARE(recorder.reports.size(), 1);
        const JobReport report = recorder.reports.first();
        QCOMPARE(report.id, 1);
        QCOMPARE(statusName(report.status), statusName(FFmpegTask::ConvertStatus(status)));
        QCOMPARE(report.inputPath, inputPath);
        QCOMPARE(report.outputPath, at(output));
        QCOMPARE(report.reason, reason);
        QCOMPARE(report.encoderOutput, encoderOutput);
        QCOMPARE(report.durationMs, durationMs);
        // Paths of plain characters stand bare in it.
        const QStringList words = report.commandLine.split(' ', Qt::SkipEmptyParts);
        if (ranEncoder) {
            QCOMPARE(words.value(0), program);
            QVERIFY2(words.indexOf(inputPath) == words.indexOf("-i") + 1, qPrintable(report.commandLine));
        } else {
            QCOMPARE(report.commandLine, QString());
        }
        QCOMPARE(contents(inputPath), QString("input"));
    }

    // Under a process limit some threads of the pool cannot start; the batch
    // still ends, and so do a cancel and the engine's end.
    void threadsRefused_data()
    {
        QTest::addColumn<int>("spare"); // threads the limit leaves
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << 0 << int(FFmpegTask::Failed);
        QTest::newRow("one of four") << 1 << int(FFmpegTask::Skipped);
        QTest::newRow("three of four") << 3 << int(FFmpegTask::Skipped);
    }

    void threadsRefused()
    {
        QFETCH(int, spare);
        QFETCH(int, expected);
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
        QVERIFY2(child.waitForFinished(120000), "the batch with refused threads did not end within two minutes");
        const QString output = QString::fromUtf8(child.readAllStandardOutput());
        if (child.exitCode() >= 3 && child.exitCode() <= 5)
            QSKIP("this machine does not let the test limit the threads it may start");
        QCOMPARE(child.exitCode(), 0);
        const QString name = statusName(FFmpegTask::ConvertStatus(expected));
        QCOMPARE(output.trimmed(), QStringList(QStringList() << name << name << name << name << name << name
                                               << "(threads refused)").join(' '));
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
// who may start `spare` more threads, then cancels and deletes the engine.
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
    QStringList inputs;
    for (int i = 0; i < 6; ++i) {
        inputs << QString("%1/notes%2.txt").arg(directory).arg(i);
        writeFile(inputs.last(), "text");
    }
    QStringList statuses;
    {
        ConversionEngine engine;
        QMap<int, QString> last;
        bool ended = false;
        QObject::connect(&engine, &ConversionEngine::statusChanged,
                         [&](int id, FFmpegTask::ConvertStatus status) { last[id] = statusName(status); });
        QObject::connect(&engine, &ConversionEngine::batchEnded, [&] { ended = true; });
        engine.start(inputs, 4);
        QElapsedTimer waited;
        waited.start();
        while (!ended && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        engine.cancel();
        QCoreApplication::processEvents();
        statuses = last.values();
        if (!ended)
            statuses << "(no end)";
    }
    if (threadRefused)
        statuses << "(threads refused)";
    printf("%s\n", qPrintable(statuses.join(' ')));
    return 0;
}

int main(int argc, char **argv)
{
    IsolatedHome home;
    QCoreApplication app(argc, argv);
    qRegisterMetaType<JobStatus::ConvertStatus>("JobStatus::ConvertStatus");
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
