// SPDX-License-Identifier: GPL-3.0-or-later
// The parts behind the window's account of a batch, without a window: the
// encoder's progress, the estimate of the time left, the summary, the rows'
// changes, the kept reports and the job table's rows.
#include "batch/batchpresenter.h"
#include "batch/statuswords.h"
#include "conversion/batchprogress.h"
#include "conversion/encoderarguments.h"
#include "conversion/encoderoutput.h"
#include "conversion/encoderprogress.h"
#include "conversiontestsupport.h"
#include "mainwindow/jobrecords.h"
#include "mainwindow/jobtable.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QDirIterator>
#include <QRandomGenerator>

#include <csignal>
#include <sys/resource.h>

namespace {

void compareReports(const JobReport &actual, const JobReport &expected)
{
    QCOMPARE(actual.id, expected.id);
    QCOMPARE(statusName(actual.status), statusName(expected.status));
    QCOMPARE(actual.inputPath, expected.inputPath);
    QCOMPARE(actual.outputPath, expected.outputPath);
    QCOMPARE(actual.reason, expected.reason);
    QVERIFY2(actual.encoderOutput == expected.encoderOutput,
             qPrintable(QString("encoder output of %1 characters, expected %2")
                            .arg(actual.encoderOutput.size())
                            .arg(expected.encoderOutput.size())));
    QCOMPARE(actual.commandLine, expected.commandLine);
    QCOMPARE(actual.durationMs, expected.durationMs);
}

// A report of job `id` whose texts differ from those of every other id.
JobReport sampleReport(int id, int outputSize)
{
    const QString tag = QString::number(id);
    QString output;
    while (output.size() < outputSize)
        output += "line " + tag + " of job " + tag + '\n';
    output.truncate(outputSize);
    return {id, FFmpegTask::ConvertStatus(FFmpegTask::Failed + id % 3), "/in/" + tag + ".flac",
            "/out/" + tag + ".mp3", "reason " + tag, output, "ffmpeg -i /in/" + tag + ".flac", id * 1000};
}

// How bash splits `line` into words.
QStringList splitByShell(const QString &line)
{
    QTemporaryDir folder;
    const QString script = folder.path() + "/split.sh";
    writeFile(script, "set -- " + line.toUtf8() + "\nprintf '%s\\0' \"$@\"\n");
    QProcess shell;
    shell.start("bash", {script});
    if (!shell.waitForFinished(10000) || shell.exitCode() != 0)
        return {"(the shell failed: " + QString::fromUtf8(shell.readAllStandardError()) + ')'};
    const QByteArray output = shell.readAllStandardOutput();
    QStringList words = QString::fromUtf8(output.constData(), output.size()).split(QChar(0));
    words.removeLast(); // after the last NUL
    return words;
}

// The files this process has open below `folder`, named or not.
int openFilesBelow(const QString &folder)
{
    int count = 0;
    QDirIterator descriptors("/proc/self/fd", QDir::Files | QDir::System);
    while (descriptors.hasNext())
        count += QFileInfo(descriptors.next()).symLinkTarget().startsWith(folder + '/');
    return count;
}

// Puts back the variables that say where the reports' file goes.
auto restoreEnvironmentLater()
{
    QMap<QByteArray, QByteArray> previous;
    for (const QByteArray name : {"XDG_CACHE_HOME", "TMPDIR"})
        previous.insert(name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
    return qScopeGuard([previous] {
        for (auto variable = previous.begin(); variable != previous.end(); ++variable) {
            if (variable.value().isNull())
                qunsetenv(variable.key());
            else
                qputenv(variable.key(), variable.value());
        }
    });
}

} // namespace

Q_DECLARE_METATYPE(BatchSummary::Ending)

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    // Every row is also fed split at each byte, and byte by byte: the
    // encoder's output arrives in chunks that end anywhere.
    void encoderProgress_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<qint64>("durationMs");
        QTest::addColumn<qint64>("positionMs");
        QTest::newRow("header and progress")
            << QByteArray("Input #0, flac, from 'in.flac':\n  Metadata:\n    title           : Song\n"
                          "  Duration: 00:03:25.47, start: 0.000000, bitrate: 1024 kb/s\n"
                          "  Stream #0:0: Audio: flac, 44100 Hz, stereo, s16\nOutput #0, mp3, to 'out.mp3':\n"
                          "size=     128kB time=00:00:08.12 bitrate= 129.1kbits/s speed=16.2x\r"
                          "size=     512kB time=00:00:32.65 bitrate= 128.4kbits/s speed=32.6x\r")
            << qint64(205470) << qint64(32650);
        QTest::newRow("length unknown") << QByteArray("  Duration: N/A, start: 0.000000, bitrate: N/A\n"
                                                      "size=       1kB time=00:00:01.00 bitrate=8.0kbits/s\r")
                                        << qint64(-1) << qint64(1000);
        QTest::newRow("negative time") << QByteArray("  Duration: 00:00:10.00, start: 0.0\n"
                                                     "size=       0kB time=-00:00:00.02 bitrate=N/A speed=N/A\r")
                                       << qint64(10000) << qint64(0);
        QTest::newRow("tag holding time=") << QByteArray("  Metadata:\n    title           : time=00:01:00.00\n")
                                           << qint64(-1) << qint64(-1);
        QTest::newRow("second input and output sections")
            << QByteArray("  Duration: 00:00:10.00, start: 0.0\n  Duration: 00:00:20.00, start: 0.0\n"
                          "Output #0, mp3, to 'out.mp3':\n  Stream #0:0: Audio: mp3\n"
                          "size=      20kB time=00:00:04.00 bitrate=\r")
            << qint64(10000) << qint64(4000);
        QTest::newRow("carriage return and line feed")
            << QByteArray("  Duration: 00:00:10.00, start: 0.0\r\nsize= 1kB time=00:00:02.50 bitrate=1\r\n")
            << qint64(10000) << qint64(2500);
        QTest::newRow("hours") << QByteArray("  Duration: 12:34:56.78, start: 0\nsize= 9kB time=10:00:00.00 x\r")
                               << qint64(45296780) << qint64(36000000);
        QTest::newRow("time N/A keeps the last position")
            << QByteArray("size= 1kB time=00:00:03.00 bitrate=1\rsize= 1kB time=N/A bitrate=1\r") << qint64(-1)
            << qint64(3000);
        QTest::newRow("garbage") << QByteArray("time=\ntime=1:2\ntime=aa:bb:cc\n\x01\xff\xfe time=::\r"
                                               "time=00:-1:00\ntime=00:00:nan\n  Duration: 1:2:3:4, x\n")
                                 << qint64(-1) << qint64(-1);
        QTest::newRow("line not ended yet") << QByteArray("size= 1kB time=00:00:05.00 bitrate=1")
                                            << qint64(-1) << qint64(-1);
        QTest::newRow("file names holding time=")
            << QByteArray("Input #0, wav, from '/in/x time=09:00:00 y.wav':\n"
                          "  Duration: 00:00:20.00, bitrate: 1411 kb/s\n"
                          "Output #0, mp3, to '/out/.x time=09:00:00 y.part-1-2.mp3':\n")
            << qint64(20000) << qint64(-1);
        QTest::newRow("video statistics") << QByteArray("frame=  25 fps=0.0 q=-1.0 size= 1kB time=00:00:01.00 x\r")
                                          << qint64(-1) << qint64(1000);
    }

    void encoderProgress()
    {
        QFETCH(QByteArray, output);
        QFETCH(qint64, durationMs);
        QFETCH(qint64, positionMs);
        EncoderProgress whole;
        whole.append(output);
        QCOMPARE(whole.durationMs(), durationMs);
        QCOMPARE(whole.positionMs(), positionMs);
        EncoderProgress bytes;
        for (const char byte : output)
            bytes.append(QByteArray(1, byte));
        QCOMPARE(bytes.durationMs(), durationMs);
        QCOMPARE(bytes.positionMs(), positionMs);
        for (int at = 0; at <= output.size(); ++at) {
            EncoderProgress split;
            split.append(output.left(at));
            split.append(output.mid(at));
            QVERIFY2(split.durationMs() == durationMs && split.positionMs() == positionMs,
                     qPrintable(QString("split at byte %1: %2, %3").arg(at).arg(split.durationMs())
                                    .arg(split.positionMs())));
        }
    }

    // A change of tempo stretches the encoder's timeline against its input's.
    void tempo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<double>("tempo");
        QTest::addColumn<qint64>("positionMs"); // for time=00:00:10.00
        QTest::newRow("no filters") << QStringList{"-i", "in.flac", "out.mp3"} << 1.0 << qint64(10000);
        QTest::newRow("other filters") << QStringList{"-af", "volume=1.25,afade=t=in:d=3", "out.mp3"} << 1.0
                                       << qint64(10000);
        QTest::newRow("speed up") << QStringList{"-af", "aresample=resampler=soxr,atempo=1.5", "out.mp3"} << 1.5
                                  << qint64(15000);
        QTest::newRow("chained") << QStringList{"-af", "atempo=2,atempo=0.5,atempo=0.8", "out.mp3"} << 0.8
                                 << qint64(8000);
        QTest::newRow("not a number") << QStringList{"-af", "atempo=fast,atempo=-2", "out.mp3"} << 1.0
                                      << qint64(10000);
        QTest::newRow("-af as the last argument") << QStringList{"-af"} << 1.0 << qint64(10000);
    }

    void tempo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(double, tempo);
        QFETCH(qint64, positionMs);
        QCOMPARE(EncoderProgress::tempoOf(arguments), tempo);
        EncoderProgress progress(EncoderProgress::tempoOf(arguments));
        progress.append("  Duration: 00:00:15.00, start: 0\nsize= 1kB time=00:00:10.00 bitrate=1\r");
        QCOMPARE(progress.durationMs(), qint64(15000));
        QCOMPARE(progress.positionMs(), positionMs);
    }

    // The finished jobs' lengths, the running jobs' positions and lengths;
    // finished jobs end Done, Failed and Skipped in turn, which counts alike.
    void remaining_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<QVector<qint64>>("finished");
        QTest::addColumn<QVector<qint64>>("runningAt");
        QTest::addColumn<QVector<qint64>>("runningOf");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<bool>("dropQueued");
        QTest::addColumn<qint64>("remainingMs");
        QTest::addColumn<QVector<qint64>>("expected");
        using L = QVector<qint64>;
        QTest::newRow("before 3 s") << 2 << L{1000} << L{} << L{} << qint64(2999) << false << qint64(-1) << L{};
        QTest::newRow("at 3 s") << 2 << L{1000} << L{} << L{} << qint64(3000) << false << qint64(3000) << L{};
        QTest::newRow("no length known") << 3 << L{-1} << L{5000} << L{-1} << qint64(60000) << false << qint64(-1) << L{};
        QTest::newRow("nothing worked through") << 2 << L{} << L{0} << L{100000} << qint64(10000) << false
                                                << qint64(-1) << L{};
        const L nineShort(9, 1000);
        QTest::newRow("one long job among short ones")
            << 10 << nineShort << L{60000} << L{600000} << qint64(69000) << false << qint64(540000) << L{};
        QTest::newRow("the same at half the rate")
            << 10 << nineShort << L{60000} << L{600000} << qint64(138000) << false << qint64(1080000) << L{};
        QTest::newRow("queued taken as the average") << 4 << L{10000, 30000} << L{} << L{} << qint64(20000)
                                                     << false << qint64(20000) << L{};
        QTest::newRow("queued dropped") << 4 << L{10000, 30000} << L{} << L{} << qint64(20000) << true
                                        << qint64(0) << L{};
        QTest::newRow("running and queued") << 4 << L{10000} << L{5000} << L{20000} << qint64(15000) << false
                                            << qint64(45000) << L{};
        QTest::newRow("running, queued dropped") << 4 << L{10000} << L{5000} << L{20000} << qint64(15000)
                                                 << true << qint64(15000) << L{};
        QTest::newRow("position past the length") << 1 << L{} << L{12000} << L{10000} << qint64(5000) << false
                                                  << qint64(0) << L{};
        QTest::newRow("a long job not started counts with its length")
            << 3 << L{3000} << L{} << L{} << qint64(3000) << false << qint64(1503000) << L{3000, 1500000, -1};
        QTest::newRow("known lengths, running and dropped")
            << 4 << L{10000} << L{5000} << L{20000} << qint64(15000) << true << qint64(15000)
            << L{10000, 20000, 900000, 900000};
    }

    void remaining()
    {
        QFETCH(int, jobs);
        QFETCH(QVector<qint64>, finished);
        QFETCH(QVector<qint64>, runningAt);
        QFETCH(QVector<qint64>, runningOf);
        QFETCH(qint64, elapsedMs);
        QFETCH(bool, dropQueued);
        QFETCH(qint64, remainingMs);
        const FFmpegTask::ConvertStatus endings[] = {FFmpegTask::Done, FFmpegTask::Failed, FFmpegTask::Skipped};
        BatchProgress progress(jobs);
        QFETCH(QVector<qint64>, expected);
        progress.expectLengths(expected);
        int id = 0;
        for (const qint64 length : finished) {
            // Each had progressed before it ended.
            progress.progressed(++id, qMax<qint64>(0, length) / 2, length);
            progress.finished(id, endings[id % 3], length);
        }
        for (int i = 0; i < runningAt.size(); ++i)
            progress.progressed(++id, runningAt.at(i), runningOf.at(i));
        if (dropQueued)
            progress.dropQueued();
        QCOMPARE(progress.remainingMs(elapsedMs), remainingMs);
        QCOMPARE(progress.finishedCount(), finished.size());
    }

    void counts()
    {
        BatchProgress progress(8);
        const FFmpegTask::ConvertStatus endings[] = {FFmpegTask::Done, FFmpegTask::Failed, FFmpegTask::Done,
                                                     FFmpegTask::Skipped, FFmpegTask::Failed, FFmpegTask::Failed};
        int id = 0;
        for (const FFmpegTask::ConvertStatus status : endings)
            progress.finished(++id, status, -1);
        QCOMPARE(progress.count(FFmpegTask::Done), 2);
        QCOMPARE(progress.count(FFmpegTask::Skipped), 1);
        QCOMPARE(progress.count(FFmpegTask::Failed), 3);
        QCOMPARE(progress.count(FFmpegTask::Converting), 0);
        QCOMPARE(progress.finishedCount(), 6);
    }

    // Jobs end Done, Skipped and Failed in that order; the first `decodeErrors` Done ones with errors.
    void summary_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<QVector<int>>("ended"); // Done, Skipped, Failed
        QTest::addColumn<int>("decodeErrors");
        QTest::addColumn<BatchSummary::Ending>("ending");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<QString>("text");
        using E = BatchSummary::Ending;
        using N = QVector<int>;
        QTest::newRow("finished") << 4 << N{2, 1, 1} << 0 << E::Finished << qint64(8000)
                                  << "Finished in 0:08: 2 done, 1 skipped, <a href=\"failed\">1 failed</a>";
        QTest::newRow("none failed") << 1 << N{1, 0, 0} << 0 << E::Finished << qint64(999)
                                     << "Finished in 0:00: 1 done, 0 skipped, 0 failed";
        QTest::newRow("decode errors") << 3 << N{3, 0, 0} << 1 << E::Finished << qint64(3600000)
                                       << "Finished in 1:00:00: 3 done, 0 skipped, 0 failed, 1 with decode errors";
        QTest::newRow("cancelled") << 10 << N{2, 0, 0} << 0 << E::Cancelled << qint64(65000)
                                   << "Cancelled after 1:05: 2 done, 0 skipped, 0 failed; 8 not converted";
        QTest::newRow("stopped") << 4 << N{0, 0, 2} << 0 << E::Stopped << qint64(3000)
                                 << "Stopped after 0:03: 0 done, 0 skipped, <a href=\"failed\">2 failed</a>; "
                                    "2 not converted";
        QTest::newRow("stopped with all ended") << 2 << N{1, 0, 1} << 1 << E::Stopped << qint64(0)
                                                << "Stopped after 0:00: 1 done, 0 skipped, <a href=\"failed\">1 "
                                                   "failed</a>, 1 with decode errors; 0 not converted";
    }

    void summary()
    {
        QFETCH(int, jobs);
        QFETCH(QVector<int>, ended);
        QFETCH(int, decodeErrors);
        QFETCH(BatchSummary::Ending, ending);
        QFETCH(qint64, elapsedMs);
        QFETCH(QString, text);
        BatchProgress progress;
        for (int job = 0; job < jobs; ++job)
            progress.added();
        const FFmpegTask::ConvertStatus statuses[] = {FFmpegTask::Done, FFmpegTask::Skipped, FFmpegTask::Failed};
        int id = 0;
        for (int kind = 0; kind < 3; ++kind)
            for (int job = 0; job < ended.at(kind); ++job, ++id)
                progress.finished(id + 1, statuses[kind], -1, id < decodeErrors);
        // Dropping the queued jobs changes the estimate, not the count of those not converted.
        if (ending == BatchSummary::Ending::Cancelled)
            progress.dropQueued();
        QCOMPARE(progress.jobCount(), jobs);
        QCOMPARE(BatchSummary::text(progress, ending, elapsedMs), text);
    }

    void timeText_data()
    {
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<qint64>("remainingMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("not known yet") << qint64(2500) << qint64(-1) << "Elapsed 0:02";
        QTest::newRow("known") << qint64(5000) << qint64(60000) << "Elapsed 0:05, about 1:00 left";
        QTest::newRow("none left") << qint64(7000) << qint64(0) << "Elapsed 0:07, about 0:00 left";
    }

    void timeText()
    {
        QFETCH(qint64, elapsedMs);
        QFETCH(qint64, remainingMs);
        QFETCH(QString, text);
        QCOMPARE(BatchSummary::time(elapsedMs, remainingMs), text);
    }

    // The command line writes the words as they are; a status it does not know is no success.
    void statusWords_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("word");
        for (const int status : {FFmpegTask::Pending, FFmpegTask::Converting, FFmpegTask::Failed,
                                 FFmpegTask::Skipped, FFmpegTask::Done})
            QTest::newRow(qPrintable(statusName(FFmpegTask::ConvertStatus(status)))) << status
                                                                                  << statusName(FFmpegTask::ConvertStatus(status));
        QTest::newRow("unknown") << int(FFmpegTask::Done + 1) << "Failed";
        QTest::newRow("negative") << -1 << "Failed";
    }

    void statusWords()
    {
        QFETCH(int, status);
        QFETCH(QString, word);
        QCOMPARE(QString(statusWord(FFmpegTask::ConvertStatus(status))), word);
    }

    // What the engine says between two showings comes out once per job and
    // kind, the last of it; a status drops the job's earlier percentage.
    // Each entry: "id:Status" or "id:position/length".
    void rowChanges_data()
    {
        QTest::addColumn<QStringList>("queued");
        QTest::addColumn<QStringList>("shown"); // "id:Status" and "id:percent %", sorted
        QTest::newRow("statuses") << QStringList{"1:Converting", "2:Converting", "1:Done"}
                                  << QStringList{"1:Done", "2:Converting"};
        QTest::newRow("positions") << QStringList{"1:10/100", "1:20/100", "1:30/100"} << QStringList{"1:30 %"};
        QTest::newRow("status after position") << QStringList{"1:50/100", "1:Failed"} << QStringList{"1:Failed"};
        QTest::newRow("position after status") << QStringList{"1:Converting", "1:50/200"}
                                               << QStringList{"1:25 %", "1:Converting"};
        QTest::newRow("length unknown") << QStringList{"2:5/-1", "2:5/0"} << QStringList{};
        QTest::newRow("past the end") << QStringList{"3:150/100"} << QStringList{"3:100 %"};
    }

    void rowChanges()
    {
        QFETCH(QStringList, queued);
        QFETCH(QStringList, shown);
        BatchPresenter presenter;
        QStringList seen;
        connect(&presenter, &BatchPresenter::statusChanged, [&](int id, FFmpegTask::ConvertStatus status) {
            seen << QString("%1:%2").arg(id).arg(statusName(status));
        });
        connect(&presenter, &BatchPresenter::percentChanged,
                [&](int id, int percent) { seen << QString("%1:%2 %").arg(id).arg(percent); });
        // Job 9's status comes last and marks the end of what is shown at once.
        for (const QString &change : queued + QStringList{"9:Pending"}) {
            const QStringList parts = change.split(QRegularExpression("[:/]"));
            if (parts.size() == 3) {
                presenter.queueProgress(parts[0].toInt(), parts[1].toLongLong(), parts[2].toLongLong());
                continue;
            }
            int status = FFmpegTask::Pending;
            while (statusName(FFmpegTask::ConvertStatus(status)) != parts[1])
                ++status;
            presenter.queueStatus(parts[0].toInt(), FFmpegTask::ConvertStatus(status));
        }
        QVERIFY2(seen.isEmpty(), "changes shown before the event loop ran");
        QTRY_VERIFY2_WITH_TIMEOUT(seen.contains("9:Pending"), "the queued changes were never shown", 10000);
        seen.removeOne("9:Pending");
        seen.sort();
        QCOMPARE(seen, shown);
    }

    // A job skipped as its input is an earlier job's names that job's row in
    // the table, not its place in the batch.
    void sameInputNamesTheTableRow()
    {
        const auto settings = restoreSettingsLater();
        HeldBatch batch;
        batch.prepare(1, false);
        BatchPresenter presenter;
        QMap<int, JobReport> reports;
        connect(&presenter, &BatchPresenter::reported, [&](const JobReport &report) { reports[report.id] = report; });
        presenter.start({batch.inputs[0], batch.inputs[0]}, {3, 5}, 1);
        QTRY_VERIFY2_WITH_TIMEOUT(reports.size() == 2, "the batch's two reports did not come", 10000);
        QCOMPARE(reports[2].reason, QString("The same file as row 4, which converts it"));
    }

    void clock_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0:00";
        QTest::newRow("under a second") << qint64(999) << "0:00";
        QTest::newRow("59 s") << qint64(59999) << "0:59";
        QTest::newRow("60 s") << qint64(60000) << "1:00";
        QTest::newRow("3599 s") << qint64(3599000) << "59:59";
        QTest::newRow("3600 s") << qint64(3600000) << "1:00:00";
        QTest::newRow("100 h") << qint64(360000000) + 61000 << "100:01:01";
        QTest::newRow("negative") << qint64(-5000) << "0:00";
    }

    void clock()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(clockText(ms), text);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("bare"); // shown as given, nothing quoted
        QTest::newRow("plain") << "/usr/bin/ffmpeg"
                               << QStringList{"-hide_banner", "-i", "/in/a_b-1.flac", "-q:a", "2", "/out/a.mp3"}
                               << true;
        QTest::newRow("spaces") << "/opt/my tools/ffmpeg" << QStringList{"-i", "/in/My  Song .flac", " "} << false;
        QTest::newRow("quotes") << "ffmpeg" << QStringList{"it's", "say \"hi\"", "'", "''", "'\"'"} << false;
        QTest::newRow("dollar and backquote")
            << "ffmpeg" << QStringList{"$HOME", "${PATH}", "$(id)", "`id`", "$"} << false;
        QTest::newRow("backslash") << "ffmpeg" << QStringList{"back\\slash", "\\", "trailing\\", "\\'"} << false;
        QTest::newRow("line breaks and tabs") << "ffmpeg" << QStringList{"line\nbreak", "tab\there", "\n", "\r"}
                                              << false;
        QTest::newRow("empty") << "ffmpeg" << QStringList{"", "-i", ""} << false;
        QTest::newRow("unicode") << "/opt/日本/ffmpeg" << QStringList{"日本語 é.flac", "ü"} << false;
        QTest::newRow("characters a copy could change")
            << "/opt/a\u00a0b/ffmpeg" << QStringList{"\u2000\u202f'\u3000\u2028\u0085", "\x01\a\x1b[31m\x7f",
                                                      "\u200b\u202e\ufeff\u00ad\\x41\U000F0000"} << false;
        QTest::newRow("options") << "ffmpeg" << QStringList{"-", "--", "-af", "volume=0.5,aresample=44100",
                                                            "-metadata", "title=A & B | C; D > E"} << false;
        QTest::newRow("globs and words a shell expands")
            << "ffmpeg" << QStringList{"*", "?.flac", "[ab]", "~", "~/x", "{a,b}", "#x", "!x", "a=b", "x#"} << false;
    }

    // What the shell makes of the line is exactly the program and its arguments.
    void commandLine()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, bare);
        const QString line = shellCommandLine(program, arguments);
        QCOMPARE(splitByShell(line), QStringList(program) + arguments);
        if (bare)
            QCOMPARE(line, (QStringList(program) + arguments).join(' '));
    }

    void recordsRoundTrip_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("outputSize");
        QTest::addColumn<QString>("extra"); // appended to every text
        static const char mixed[] = "a\0b 日本語 é \U0001F3B5";
        QTest::newRow("plain") << int(FFmpegTask::Done) << "Converted" << 100 << "";
        QTest::newRow("NUL and unicode") << int(FFmpegTask::Failed) << "x.flac: Fehler (exit code 1)" << 50
                                         << QString::fromUtf8(mixed, sizeof mixed - 1);
        QTest::newRow("200 kB of output") << int(FFmpegTask::Failed) << "Stopped" << 200 * 1024 << "";
        QTest::newRow("empty texts") << int(FFmpegTask::Skipped) << "" << 0 << "";
    }

    void recordsRoundTrip()
    {
        QFETCH(int, status);
        QFETCH(QString, reason);
        QFETCH(int, outputSize);
        QFETCH(QString, extra);
        JobReport report = sampleReport(7, outputSize);
        report.status = FFmpegTask::ConvertStatus(status);
        report.reason = reason + extra;
        report.inputPath += extra;
        report.outputPath += extra;
        report.encoderOutput += extra;
        report.commandLine += extra;
        JobRecords records;
        const JobReport before = sampleReport(1, 10);
        const JobRecords::Handle first = records.add(before);
        const JobRecords::Handle handle = records.add(report);
        compareReports(records.read(handle), report);
        compareReports(records.read(first), before);
    }

    // Reads come between adds, in no particular order.
    void recordsInterleaved()
    {
        JobRecords records;
        QVector<JobRecords::Handle> handles;
        QRandomGenerator random(14);
        for (int id = 1; id <= 400; ++id) {
            handles << records.add(sampleReport(id, id * 37 % 3000));
            const int earlier = int(random.bounded(id)) + 1;
            compareReports(records.read(handles.at(earlier - 1)), sampleReport(earlier, earlier * 37 % 3000));
            if (QTest::currentTestFailed())
                return;
        }
        for (int id = 400; id >= 1; --id)
            QCOMPARE(records.read(handles.at(id - 1)).id, id);
    }

    void recordsUnknown()
    {
        JobRecords records;
        QCOMPARE(records.read(0).id, 0);
        QCOMPARE(records.read(-5).id, 0);
        records.add(sampleReport(3, 100));
        for (const JobRecords::Handle unknown : {JobRecords::Handle(0), JobRecords::Handle(-1000),
                                                 JobRecords::Handle(1) << 40}) {
            const JobReport read = records.read(unknown);
            QCOMPARE(read.id, 0);
            QCOMPARE(read.reason, QString());
        }
        records.clear();
        QCOMPARE(records.read(records.add(sampleReport(4, 10))).id, 4);
    }

    // Where no file can be made for them the reports are kept all the same.
    void recordsFolder_data()
    {
        QTest::addColumn<QString>("cache");   // XDG_CACHE_HOME; "@" stands for a fresh folder
        QTest::addColumn<QString>("tmpdir");  // TMPDIR
        QTest::addColumn<QString>("spilled"); // where the file is; empty: kept in memory
        QTest::newRow("cache") << "@/cache" << "@/tmp" << "@/cache";
        QTest::newRow("cache missing") << "@/new/cache" << "@/tmp" << "@/new/cache";
        QTest::newRow("cache unusable") << "@/file" << "@/tmp" << "@/tmp";
        QTest::newRow("neither usable") << "@/file" << "@/file/tmp" << "";
    }

    void recordsFolder()
    {
        QFETCH(QString, cache);
        QFETCH(QString, tmpdir);
        QFETCH(QString, spilled);
        QTemporaryDir folder;
        writeFile(folder.path() + "/file", "x");
        QVERIFY(QDir().mkpath(folder.path() + "/tmp"));
        const auto at = [&](QString path) { return path.replace('@', folder.path()); };
        const auto restore = restoreEnvironmentLater();
        qputenv("XDG_CACHE_HOME", QFile::encodeName(at(cache)));
        qputenv("TMPDIR", QFile::encodeName(at(tmpdir)));
        {
            JobRecords records;
            QVector<JobRecords::Handle> handles;
            for (int id = 1; id <= 20; ++id)
                handles << records.add(sampleReport(id, 5000));
            records.clear();
            handles.clear();
            for (int id = 21; id <= 40; ++id)
                handles << records.add(sampleReport(id, 5000));
            QCOMPARE(openFilesBelow(spilled.isEmpty() ? folder.path() : at(spilled)), spilled.isEmpty() ? 0 : 1);
            for (int id = 21; id <= 40; ++id)
                compareReports(records.read(handles.at(id - 21)), sampleReport(id, 5000));
        }
        // Nothing of them stays behind.
        QStringList files;
        QDirIterator below(folder.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (below.hasNext())
            files << below.next();
        QCOMPARE(files, QStringList{folder.path() + "/file"});
    }

    // The file reaches a size limit, as on a full disk: every report added
    // still reads back whole, from the file or from memory.
    void recordsFileFull()
    {
        QTemporaryDir folder;
        const auto restore = restoreEnvironmentLater();
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.path()));
        QRandomGenerator random(3);
        JobRecords records;
        QVector<JobReport> added;
        QVector<JobRecords::Handle> handles;
        {
            struct rlimit previous;
            QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
            const auto signal = std::signal(SIGXFSZ, SIG_IGN);
            const auto unlimit = qScopeGuard([&] {
                setrlimit(RLIMIT_FSIZE, &previous);
                std::signal(SIGXFSZ, signal);
            });
            const struct rlimit limit = {20000, previous.rlim_max};
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
            for (int id = 1; id <= 16; ++id) {
                // Text that does not compress much.
                JobReport report = sampleReport(id, 0);
                for (int i = 0; i < 4000; ++i)
                    report.encoderOutput += QChar('a' + random.bounded(26));
                added << report;
                handles << records.add(report);
            }
        }
        for (int i = 0; i < added.size(); ++i) {
            const JobReport read = records.read(handles.at(i));
            QVERIFY2(read.id == added.at(i).id,
                     qPrintable(QString("report %1 of %2 was lost").arg(i + 1).arg(added.size())));
            compareReports(read, added.at(i));
            if (QTest::currentTestFailed())
                return;
        }
    }

    void tableStatuses_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("Pending") << int(FFmpegTask::Pending) << "Pending";
        QTest::newRow("Converting") << int(FFmpegTask::Converting) << "Converting";
        QTest::newRow("Failed") << int(FFmpegTask::Failed) << "Failed";
        QTest::newRow("Skipped") << int(FFmpegTask::Skipped) << "Skipped";
        QTest::newRow("Done") << int(FFmpegTask::Done) << "Done";
    }

    // A percentage shows on a converting row only; anything but a status of
    // this table's own row changes nothing.
    void tableStatuses()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        JobTable table;
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        table.appendFile("/in/a.flac");
        table.appendFile("/in/b.flac");
        const auto shown = [&](int row) { return table.index(row, JobTable::StatusColumn).data().toString(); };
        table.setStatus(FFmpegTask::ConvertStatus(status), table.index(1, JobTable::StatusColumn));
        QCOMPARE(statusText(FFmpegTask::ConvertStatus(status)), text);
        QCOMPARE(shown(1), text);
        QCOMPARE(statusName(table.status(1)), text);
        QCOMPARE(shown(0), QString("Pending"));

        for (const int percent : {42, 150, -3}) {
            table.setPercent(1, percent);
            QCOMPARE(shown(1), status == FFmpegTask::Converting
                         ? QString("Converting %1 %").arg(qBound(0, percent, 100)) : text);
        }
        table.setStatus(FFmpegTask::ConvertStatus(FFmpegTask::Done + 1), table.index(1, JobTable::StatusColumn));
        JobTable other;
        other.appendFile("/in/a.flac");
        other.appendFile("/in/b.flac");
        table.setStatus(FFmpegTask::Skipped, other.index(1, JobTable::StatusColumn));
        QCOMPARE(statusName(table.status(1)), text);
        QCOMPARE(statusName(other.status(1)), QString("Pending"));
        table.setStatus(FFmpegTask::Done, table.index(1, JobTable::StatusColumn));
        QCOMPARE(shown(1), QString("Done"));
    }

    // Each row's path, status and report move with it and go with it.
    void tableRows()
    {
        JobTable table;
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int row = 0; row < 5; ++row) {
            table.appendFile(QString("/in/%1.flac").arg(row));
            table.setStatus(FFmpegTask::Converting, table.index(row, JobTable::StatusColumn));
            table.setPercent(row, row * 10);
            table.setStatus(FFmpegTask::Failed, table.index(row, JobTable::StatusColumn));
            table.setReport(row, sampleReport(row + 1, 200));
        }
        QVERIFY(table.removeRows(1, 2));
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.path(1), QString("/in/3.flac"));
        QCOMPARE(table.report(1).id, 4);
        QCOMPARE(table.index(2, JobTable::FileColumn).data().toString(), QString("/in/4.flac"));
        QCOMPARE(statusName(table.status(2)), QString("Failed"));
        table.clearRows();
        QCOMPARE(table.rowCount(), 0);
        table.appendFile("/in/new.flac");
        QCOMPARE(table.report(0).id, 0);
        QCOMPARE(statusName(table.status(0)), QString("Pending"));
        QCOMPARE(table.index(0, JobTable::StatusColumn).data(Qt::ToolTipRole).toString(), QString());
    }

    void tableToolTip_data()
    {
        QTest::addColumn<int>("reported"); // the report's status; Pending: none
        QTest::addColumn<int>("shown");    // the row's status in the end
        QTest::addColumn<bool>("restarted"); // the row went Converting after its report
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("present"); // empty: no tooltip
        QTest::addColumn<QStringList>("absent");
        const QString encoder = "Input #0, flac\nsize=  1kB time=00:00:01.00 bitrate=1\r"
                                "x.flac: Invalid data found when processing input\nConversion failed!\n";
        QTest::newRow("pending, no report") << int(FFmpegTask::Pending) << int(FFmpegTask::Pending) << false
                                            << "" << "" << QStringList() << QStringList();
        QTest::newRow("failed")
            << int(FFmpegTask::Failed) << int(FFmpegTask::Failed) << false << "x.flac: Invalid data (exit code 1)"
            << encoder
            << QStringList{"<b>Failed</b>", ": x.flac: Invalid data (exit code 1)", "Output: /out/x.mp3",
                           "Input #0, flac\nx.flac: Invalid data found when processing input\nConversion failed!"}
            << QStringList{"size="};
        QTest::newRow("done: no encoder lines") << int(FFmpegTask::Done) << int(FFmpegTask::Done) << false
                                                << "Converted" << encoder
                                                << QStringList{"<b>Done</b>: Converted", "Output: /out/x.mp3"}
                                                << QStringList{"Input #0"};
        QTest::newRow("another status shown") << int(FFmpegTask::Failed) << int(FFmpegTask::Done) << false
                                              << "Stopped" << encoder << QStringList() << QStringList();
        QTest::newRow("converting again") << int(FFmpegTask::Failed) << int(FFmpegTask::Failed) << true
                                          << "Stopped" << encoder << QStringList() << QStringList();
        QTest::newRow("markup shown as text")
            << int(FFmpegTask::Failed) << int(FFmpegTask::Failed) << false << "<b>bold</b> & co" << "<i>said</i>\n"
            << QStringList{"&lt;b&gt;bold&lt;/b&gt; &amp; co", "&lt;i&gt;said&lt;/i&gt;", "Output: /out/x.mp3"}
            << QStringList{"<i>", "<b>bold"};
    }

    void tableToolTip()
    {
        QFETCH(int, reported);
        QFETCH(int, shown);
        QFETCH(bool, restarted);
        QFETCH(QString, reason);
        QFETCH(QString, output);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        JobTable table;
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        table.appendFile("/in/x.flac");
        const QModelIndex status = table.index(0, JobTable::StatusColumn);
        if (reported != FFmpegTask::Pending) {
            table.setStatus(FFmpegTask::ConvertStatus(reported), status);
            table.setReport(0, {1, FFmpegTask::ConvertStatus(reported), "/in/x.flac", "/out/x.mp3", reason, output,
                                "ffmpeg -i /in/x.flac", 1000});
        }
        if (restarted)
            table.setStatus(FFmpegTask::Converting, status);
        table.setStatus(FFmpegTask::ConvertStatus(shown), status);
        const QString tip = status.data(Qt::ToolTipRole).toString();
        QCOMPARE(tip.isEmpty(), present.isEmpty());
        for (const QString &part : present)
            QVERIFY2(tip.contains(part), qPrintable(tip));
        for (const QString &part : absent)
            QVERIFY2(!tip.contains(part), qPrintable(tip));
        QCOMPARE(table.index(0, JobTable::FileColumn).data(Qt::ToolTipRole).toString(), QString());
    }

    void lastLines_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("lines");
        QTest::newRow("nothing") << "" << 6 << "";
        QTest::newRow("fewer than asked") << "a\nb\n" << 6 << "a\nb";
        QTest::newRow("the last ones") << "a\nb\nc\nd" << 2 << "c\nd";
        QTest::newRow("progress and blank lines left out")
            << "a\n\n   \nsize=  1kB time=00:00:01.00\rsize=  2kB time=00:00:02.00\r\nb\r\n" << 6 << "a\nb";
        QTest::newRow("indented lines kept") << "Input #0\n  Stream #0:0: Audio\nfailed\n" << 2
                                             << "  Stream #0:0: Audio\nfailed";
        QTest::newRow("long line cut") << QString(5000, 'x') + "\nend" << 6 << QString(4096, 'x') + "\nend";
    }

    void lastLines()
    {
        QFETCH(QString, output);
        QFETCH(int, count);
        QFETCH(QString, lines);
        QCOMPARE(lastEncoderLines(output, count), lines);
    }

    // Only the encoder's own messages count, whatever the names it repeats hold.
    void messageScan_data()
    {
        QTest::addColumn<QString>("input"); // stands in the output as "<in>"
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("decodeError");
        const QByteArray error = "size=  0kB\rError while decoding stream #0:0: Invalid data\n";
        QTest::newRow("names") << "/x\nNo space left on device\rError while decoding stream.wav"
                               << QByteArray("Input #0, wav, from '<in>':\nOutput #0, mp3, to '<in>':\n") << "";
        QTest::newRow("decoder's first message")
            << "/a.flac" << "  Stream #0:0 -> #0:0 (flac (native) -> mp3 (libmp3lame))\n[mp3 @ 0x6] Estimating\n"
                            "[flac @ 0x5] invalid sync code\nOutput #0, mp3, to 'o':\n" + error + error
            << "invalid sync code";
    }

    void messageScan()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, output);
        QFETCH(QString, decodeError);
        EncoderMessageScan scan({input});
        for (const char byte : output.replace("<in>", QFile::encodeName(input)))
            scan.append(QByteArray(1, byte));
        QCOMPARE(scan.writeFailure(), QString());
        QCOMPARE(scan.decodeError(), decodeError);
    }

    // The figures come from the filter's own summary only, not from names or tags that look like one.
    void loudnessSummary_data()
    {
        QTest::addColumn<QString>("input"); // stands in the output as "<in>"
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("loudness"); // "I/peak", or empty for none
        const QByteArray summary = "[Parsed_ebur128_4 @ 0x5f] Summary:\n\n  Integrated loudness:\n"
                                   "    I:         -24.8 LUFS\n    Threshold: -34.8 LUFS\n\n  Sample peak:\n"
                                   "    Peak:      -21.1 dBFS\n";
        const QString forged = "/a\n[Parsed_ebur128_9 @ 0x1] Summary:\n    I:  -5.0 LUFS\n    Peak:  -1.0 dBFS\n";
        QTest::newRow("summary") << "/a.flac" << summary << "-24.8/-21.1";
        QTest::newRow("name forges one") << forged << "Input #0, flac, from '<in>':\n" + summary << "-24.8/-21.1";
        QTest::newRow("tags before it") << "/a" << "    I:  -5.0 LUFS\n" + summary.left(35) + "    Peak:  -1.0 dBFS\n" << "";
        QTest::newRow("the user's own ebur128 before") << "/a.flac"
            << QByteArray(summary).replace("_4 @", "_1 @").replace("-24.8", "-9.0") + summary << "-24.8/-21.1";
    }

    void loudnessSummary()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, output);
        QFETCH(QString, loudness);
        EncoderMessageScan scan({input});
        scan.append(output.replace("<in>", QFile::encodeName(input)));
        const std::optional<Loudness> read = scan.loudness();
        QCOMPARE(read ? QString("%1/%2").arg(read->integrated).arg(read->peakDb) : QString(), loudness);
    }

    void writeFailure_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("plain");
        QTest::newRow("full disk") << "Error writing trailer of /out/x.mp3: No space left on device"
                                   << "No space left on the device";
        QTest::newRow("quota") << "Error closing file /out/x.mp3: Disk quota exceeded" << "The disk quota is used up";
        QTest::newRow("too large") << "av_interleaved_write_frame(): File too large"
                                   << "The output is too large for its file system";
        QTest::newRow("device") << "Error writing trailer of x.mp3: Input/output error"
                                << "The device reported an input/output error";
        QTest::newRow("anything else") << "Error closing file /out/x.mp3: Broken pipe"
                                       << "The encoder could not finish writing the output";
    }

    void writeFailure()
    {
        QFETCH(QString, message);
        QFETCH(QString, plain);
        QCOMPARE(plainWriteFailure(message), plain);
    }
};

int main(int argc, char **argv)
{
    IsolatedHome home;
    QCoreApplication app(argc, argv);
    TestProgress test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_progress.moc"
