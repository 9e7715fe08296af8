// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/batchinputs.h"
#include "conversion/conversionengine.h"
#include "conversion/encoderarguments.h"
#include "conversion/ffmpegtask.h"
#include "conversion/inputkind.h"
#include "conversion/keyedrows.h"
#include "conversion/workerpool.h"
#include "conversiontestsupport.h"
#include "settings/formatcatalogue.h"
#include "settings/outputlocation.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using Status = FFmpegTask::ConvertStatus;
Q_DECLARE_METATYPE(QList<int>)

// A status report as the tests record it.
static QString statusEvent(int id, Status status)
{
    return QString("status %1 %2").arg(id).arg(statusName(status));
}

// The signals of a job that ran the encoder and ended with `status`.
static QStringList encoderRun(int id, Status status)
{
    return {statusEvent(id, FFmpegTask::Converting), statusEvent(id, status), QString("done %1").arg(id)};
}

// Set when the test runs in a mount namespace of its own, where it may mount
// small file systems without touching the machine's.
static bool privateMounts = false;

// Mounts a tmpfs of `options` ("none": `source` bound) over `target`.
static bool mountOver(const QString &target, const QString &options, const QString &source = {})
{
    if (!privateMounts)
        return false;
    const QByteArray where = QFile::encodeName(target);
    if (options == "none")
        return ::mount(QFile::encodeName(source).constData(), where.constData(), nullptr, MS_BIND, nullptr) == 0;
    return ::mount("tmpfs", where.constData(), "tmpfs", 0, options.toLatin1().constData()) == 0;
}

class TestConversion : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temp;
    QString base; // the temporary folder, without symbolic links in its path
    QString silent; // an encoder that succeeds and writes a small file

    struct Outcome
    {
        QStringList events; // signals, in the order they came
        QStringList log;    // log lines after the start line
        JobReport report;
    };

    // The settings of a fresh installation with the silent encoder, until the returned guard goes.
    auto freshSettings() const
    {
        auto restore = restoreSettingsLater();
        resetSettings(silent, base + "/out/{sourcedir}");
        return restore;
    }

    // Runs one job on this thread, as a pool thread would.
    static Outcome runTask(int id, const QString &input, std::shared_ptr<const BatchInputs> batchInputs = nullptr)
    {
        Outcome outcome;
        FFmpegTask task(id, input);
        task.setBatchInputs(std::move(batchInputs));
        connect(&task, &FFmpegTask::StatusChange, [&](int reported, Status status) {
            outcome.events << statusEvent(reported, status);
        });
        connect(&task, &FFmpegTask::Reported, [&](const JobReport &report) { outcome.report = report; });
        connect(&task, &FFmpegTask::ConvertDone,
                [&](int reported) { outcome.events << QString("done %1").arg(reported); });
        LogCapture capture;
        task.run();
        if (capture.lines.value(0) != QString("Starting job %1 | \"%2\"").arg(id).arg(input))
            outcome.log << "bad start line: " + capture.lines.value(0);
        outcome.log << capture.lines.mid(1);
        return outcome;
    }

    static QStringList arguments(const QString &input, const QString &outputDirectory)
    {
        const QString output = conversionOutputPath(input, outputDirectory);
        const QStringList arguments = encoderArguments(input, output);
        if (arguments.value(arguments.size() - 1) != output)
            return {"output path is not the last entry"};
        return arguments;
    }

    // Runs one job on a thread of its own; `whileRunning` is called on this
    // thread until the job has ended. The job's last status, or -1.
    static int runTaskWithStop(const QString &input, const std::function<void(std::atomic<bool> &)> &whileRunning)
    {
        std::atomic<bool> stop{false};
        std::atomic<int> last{-1};
        auto *task = new FFmpegTask(1, input);
        task->setStopFlag(&stop);
        connect(task, &FFmpegTask::StatusChange, [&](int, Status status) { last = int(status); });
        WorkerPool pool;
        task->setAutoDelete(true);
        pool.start(task);
        QElapsedTimer waited;
        waited.start();
        while (!pool.waitForDone(50) && waited.elapsed() < 30000)
            whileRunning(stop);
        if (!pool.waitForDone(0)) {
            stop = true;
            if (!pool.waitForDone(10000))
                qFatal("a job ran on for 10 seconds after it was asked to stop");
            qWarning("the job ran on for 30 seconds");
            return -1;
        }
        return last;
    }

    static QStringList hiddenFiles(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(QRegularExpression("^\\."));
    }

    // Whether the process has ended (an unreaped one counts as ended).
    static bool processGone(qint64 pid)
    {
        QFile stat(QString("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray text = stat.readAll();
        return text.mid(text.lastIndexOf(')') + 2, 1) == "Z";
    }

    static double duration(const QString &path)
    {
        return probe(path, "format=duration").toDouble();
    }

private slots:
    // Rows stay found as the keys outgrow the hashed tail and are folded into the sorted run.
    void keyedRows()
    {
        KeyedRows rows;
        for (int row = 1; row <= 20000; ++row)
            rows.insert({quint64(row) * 7919 % 20011, quint64(row)}, row);
        for (int row = 1; row <= 20000; ++row)
            QCOMPARE(rows.value({quint64(row) * 7919 % 20011, quint64(row)}), row);
        QCOMPARE(rows.value({1, 0}), 0);
    }

    void initTestCase()
    {
        QVERIFY(temp.isValid());
        base = QFileInfo(temp.path()).canonicalFilePath();
        silent = writeEncoder(base, "silent", "echo converted > \"$out\"");
    }


    void commandLine_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("quality");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("filters");
        QTest::addColumn<bool>("soxr");
        QTest::addColumn<bool>("quick");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("outputDirectory");
        QTest::addColumn<QStringList>("expected");

        const QString track = "/music/album/track01.flac";
        const QString mirrored = "/home/user/Quillmere//music/album";
        const QStringList head{"-hide_banner", "-y", "-vn", "-i", track};
        const QStringList streamTags{"-map_metadata", "0", "-map_metadata", "0:s:a:0"};

        QTest::newRow("defaults") << "mp3" << "-q:a 2" << "" << 0 << "" << false << false << track << mirrored
            << QStringList{"-hide_banner", "-y", "-vn", "-i", "/music/album/track01.flac", "-c:a",
                           "libmp3lame", "-q:a", "2", "-map_metadata", "0", "-map_metadata", "0:s:a:0",
                           "-id3v2_version", "3", "/home/user/Quillmere//music/album/track01.mp3"};
        QTest::newRow("wav, quick, filters")
            << "wav" << "-c:a pcm_s16le" << "44100" << 1 << "volume=-10dB\nbass=gain=10" << true << true
            << "/music/live set.ogg" << "/music/converted"
            << QStringList{"-hide_banner", "-n", "-vn", "-i", "/music/live set.ogg", "-c:a", "pcm_s16le",
                           "-ar", "44100", "-ac", "1", "-af",
                           "aresample=resampler=soxr,volume=-10dB,bass=gain=10",
                           "/music/converted/live set.wav"};
        QTest::newRow("opus never takes a rate")
            << "opus" << "-b:a 128k" << "48000" << 2 << "" << false << false << track << mirrored
            << head + QStringList{"-c:a", "libopus", "-b:a", "128k", "-ac", "2"} + streamTags
                   + QStringList{mirrored + "/track01.opus"};
        QTest::newRow("m4a") << "m4a" << "-b:a 160k" << "22050" << 6 << "" << false << false << track << "/o"
            << head + QStringList{"-c:a", "aac", "-b:a", "160k", "-ar", "22050", "-ac", "6"} + streamTags
                   + QStringList{"/o/track01.m4a"};
        QTest::newRow("ogg") << "ogg" << "-q:a 5" << "" << -1 << "" << false << false << track << "/o"
            << head + QStringList{"-c:a", "libvorbis", "-q:a", "5"} + streamTags + QStringList{"/o/track01.ogg"};
        QTest::newRow("flac, empty quality") << "flac" << "" << "" << 0 << "" << false << false << track << "/o"
            << head + QStringList{"-c:a", "flac"} + streamTags + QStringList{"/o/track01.flac"};
        QTest::newRow("capitals are an unknown format")
            << "MP3" << "-q:a 2" << "44100" << 2 << "" << true << false << track << "/o"
            << head + QStringList{"-af", "aresample=resampler=soxr", "/o/track01.MP3"};
        QTest::newRow("unknown format") << "aiff" << "-q:a 2" << "" << 0 << "" << false << false << track << "/o"
            << head + QStringList{"/o/track01.aiff"};
        QTest::newRow("quality split at single spaces only")
            << "mp3" << "  -q:a  2\t-x\n-y " << "" << 0 << "" << false << false << track << "/o"
            << head + QStringList{"-c:a", "libmp3lame", "-q:a", "2\t-x\n-y"} + streamTags
                   + QStringList{"-id3v2_version", "3", "/o/track01.mp3"};
        QTest::newRow("filter lines and blank lines")
            << "wav" << "" << "" << 0 << "\n\nafade=duration=5\nareverse\n\n afade=duration=5\t\nareverse\n"
            << false << false << track << "/o"
            << head + QStringList{"-af", "afade=duration=5,areverse,afade=duration=5,areverse",
                                  "/o/track01.wav"};
        QTest::newRow("space inside a filter line") << "wav" << "" << "" << 0 << "volume = 2" << false << false
            << track << "/o" << head + QStringList{"-af", "volume,=,2", "/o/track01.wav"};
        QTest::newRow("white space only") << "wav" << "" << "" << 0 << " \n\t \n" << false << false
            << track << "/o" << head + QStringList{"/o/track01.wav"};
        QTest::newRow("no suffix") << "wav" << "" << "" << 0 << "" << false << false << "/m/track" << "/o"
            << QStringList{"-hide_banner", "-y", "-vn", "-i", "/m/track", "/o/track.wav"};
        QTest::newRow("only a suffix") << "wav" << "" << "" << 0 << "" << false << false << "/m/.flac" << "/o"
            << QStringList{"-hide_banner", "-y", "-vn", "-i", "/m/.flac", "/o/.wav"};
        QTest::newRow("last suffix replaced") << "wav" << "" << "" << 0 << "" << false << false
            << "/m/a.b.flac" << "/o/" << QStringList{"-hide_banner", "-y", "-vn", "-i", "/m/a.b.flac",
                                                     "/o//a.b.wav"};
        QTest::newRow("beside the input") << "wav" << "" << "" << 0 << "" << false << false
            << "/m/a.wav" << "/m" << QStringList{"-hide_banner", "-y", "-vn", "-i", "/m/a.wav", "/m/a.wav"};
    }

    void commandLine()
    {
        const auto settings = freshSettings();
        QFETCH(QString, input);
        QFETCH(QString, outputDirectory);
        QFETCH(QStringList, expected);
        QFETCH(QString, format);
        QFETCH(QString, quality);
        QFETCH(QString, rate);
        QFETCH(int, channels);
        QFETCH(QString, filters);
        QFETCH(bool, soxr);
        QFETCH(bool, quick);
        AppSettings::OutputFormat = format;
        AppSettings::OutputQualityArguments = quality;
        AppSettings::OutputSamplerate = rate;
        AppSettings::OutputChannelCount = channels;
        AppSettings::AudioFilters = filters;
        AppSettings::UseSoXresampler = soxr;
        AppSettings::QuickConvertMode = quick;
        QCOMPARE(arguments(input, outputDirectory), expected);
    }

    // ReplayGain on: measured beside what is written, after the filters, of the downmix; off: the list above.
    void measuringCommandLine_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("filters");
        QTest::addColumn<QString>("branch"); // resampling and downmix before ebur128; empty: none
        const QString anyLayout = "aresample=48000,aformat=channel_layouts=mono|stereo|2.1|3.0|4.0|quad|5.0|5.1|6.1|7.1";
        QTest::newRow("mp3") << "mp3" << 0 << "" << anyLayout;
        QTest::newRow("flac, after the filters") << "flac" << 1 << "volume=2" << "aresample=48000:ochl=1c:rematrix_maxval=1";
        QTest::newRow("opus, in its input's format") << "opus" << 2 << "" << "aformat=channel_layouts=2c,aresample=48000";
        QTest::newRow("m4a, in float") << "m4a" << 2 << "" << "aresample=48000:ochl=2c";
        QTest::newRow("unknown format") << "aiff" << 0 << "" << "";
    }

    void measuringCommandLine()
    {
        const auto settings = freshSettings();
        QFETCH(QString, format);
        QFETCH(int, channels);
        QFETCH(QString, filters);
        QFETCH(QString, branch);
        AppSettings::OutputFormat = format;
        AppSettings::OutputChannelCount = channels;
        AppSettings::AudioFilters = filters;
        QStringList expected = arguments("/m/a.flac", "/o");
        AppSettings::ReplayGain = true;
        if (!branch.isEmpty())
            expected = expected.mid(0, expected.size() - (filters.isEmpty() ? 1 : 3)) << "-af"
                << (filters.isEmpty() ? "" : filters + ",") + "asplit=2[written][measured];[measured]" + branch
                       + ",ebur128=peak=sample:framelog=verbose,anullsink" << expected.last();
        QCOMPARE(arguments("/m/a.flac", "/o"), expected);
    }

    void outputDirectoryTemplate_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mirrored") << "@/out/{sourcedir}" << "@/out/@/in/a";
        QTest::newRow("below the source") << "{sourcedir}/converted" << "@/in/a/converted";
        QTest::newRow("every occurrence") << "{sourcedir}/x{sourcedir}" << "@/in/a/x@/in/a";
        QTest::newRow("case-sensitive") << "@/out/{SourceDir}" << "@/out/{SourceDir}";
    }

    void outputDirectoryTemplate()
    {
        const auto settings = freshSettings();
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        expected.replace('@', base);
        const QString input = base + "/in/a/x.flac";
        QCOMPARE(OutputLocation::folderFor(QString(pattern).replace('@', base), input), expected);
        // A job makes the folder and writes there.
        AppSettings::OutputDirectory = QString(pattern).replace('@', base);
        const Outcome outcome = runTask(1, input);
        QCOMPARE(outcome.report.status, FFmpegTask::Done);
        QCOMPARE(outcome.report.outputPath, expected + "/x.mp3");
        QVERIFY(QFileInfo(expected + "/x.mp3").isFile());
    }

    // Set before the output is put in place, for a copy too.
    void keepFileTimes_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QString>("name");
        QTest::newRow("converted") << true << "kept.flac";
        QTest::newRow("copied") << true << "kept.txt";
        QTest::newRow("not asked for") << false << "new.flac";
    }

    void keepFileTimes()
    {
        const auto settings = freshSettings();
        QFETCH(bool, keep);
        QFETCH(QString, name);
        AppSettings::KeepFileTimes = keep;
        AppSettings::CopyNonAudioFiles = true;
        const QString input = base + "/times/" + name;
        writeFile(input, "input");
        QVERIFY(QProcess::execute("touch", {"-d", "2001-02-03 04:05:06.123", input}) == 0);
        const Outcome outcome = runTask(1, input);
        QCOMPARE(outcome.report.status, FFmpegTask::Done);
        QCOMPARE(QFileInfo(outcome.report.outputPath).lastModified() == QFileInfo(input).lastModified(), keep);
    }

    void classification_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("expected");
        QTest::newRow("mp3 by name") << "a.mp3" << QByteArray() << true;
        QTest::newRow("video") << "a.mp4" << QByteArray() << true;
        QTest::newRow("png") << "a.png" << QByteArray("\x89PNG\r\n\x1a\n", 8) << false;
        QTest::newRow("text") << "a.txt" << QByteArray("hello\n") << false;
        QTest::newRow("flac by content") << "noname" << QByteArray("fLaC\0\0\0\x22", 8) << true;
        QTest::newRow("unknown binary") << "blob" << QByteArray("\x01\x02\xff\xfe\x00\x7f", 6) << true;
        QTest::newRow("gone, unknown name") << "@gone" << QByteArray() << true;
        QTest::newRow("m3u playlist") << "album.m3u" << QByteArray("#EXTM3U\n01.flac\n") << false;
        QTest::newRow("m3u8 playlist") << "album.m3u8" << QByteArray("#EXTM3U\n01.flac\n") << false;
        QTest::newRow("pls playlist") << "album.pls" << QByteArray("[playlist]\nFile1=01.flac\n") << false;
        QTest::newRow("xspf playlist") << "album.xspf"
            << QByteArray("<?xml version=\"1.0\"?><playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"/>")
            << false;
        QTest::newRow("cue sheet") << "album.cue" << QByteArray("FILE \"01.flac\" WAVE\n") << false;
    }

    void classification()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, expected);
        const QString path = base + "/kinds/" + QString(name).remove('@');
        if (!name.startsWith('@'))
            writeFile(path, content);
        QCOMPARE(isAudioOrVideo(path), expected);
    }

    // Each way a job can end, with its signals and log lines.
    void outcomes_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("encoder"); // script body; empty: the silent encoder
        QTest::addColumn<bool>("quick");
        QTest::addColumn<bool>("copyOthers");
        QTest::addColumn<QString>("existing"); // a file at this output path before the job
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("output"); // what the output path holds afterwards, or "none"

        const QString converting = statusEvent(7, FFmpegTask::Converting), failed = statusEvent(7, FFmpegTask::Failed),
                      skipped = statusEvent(7, FFmpegTask::Skipped), done = statusEvent(7, FFmpegTask::Done),
                      finished = "done 7";
        const QStringList encoded{"Result of job 7 | \"\"", "Finished job 7 with exit code 0"};

        QTest::newRow("other file skipped") << "notes.txt" << "" << false << false << "" << QStringList{skipped, finished}
            << QStringList{"Skipping job 7"} << "none";
        QTest::newRow("other file copied") << "notes.txt" << "" << false << true << "" << QStringList{done, finished}
            << QStringList{"Copy file 7"} << "@notes.txt";
        QTest::newRow("other file already there") << "notes.txt" << "" << false << true << "notes.txt"
            << QStringList{done, finished} << QStringList{"Copy file 7"} << "existing";
        QTest::newRow("other file gone") << "gone.txt" << "" << false << true << ""
            << QStringList{failed, finished} << QStringList{"Copy file 7"} << "none";
        QTest::newRow("quick, output exists") << "song.flac" << "" << true << false << "song.mp3"
            << QStringList{skipped, finished} << QStringList{"Skipping job 7"} << "existing";
        QTest::newRow("quick, already the format") << "Song.MP3" << "" << true << false << ""
            << QStringList{done, finished} << QStringList{"Copy file of job 7"} << "@Song.MP3";
        QTest::newRow("quick, other format") << "song.flac" << "" << true << false << ""
            << QStringList{converting, done, finished} << encoded << "converted\n";
        QTest::newRow("converted") << "song.flac" << "" << false << false << ""
            << QStringList{converting, done, finished} << encoded << "converted\n";
        QTest::newRow("overwritten") << "song.flac" << "" << false << false << "song.mp3"
            << QStringList{converting, done, finished} << encoded << "converted\n";
        QTest::newRow("output quoted, nothing written") << "song.flac" << "printf 'say \"hi\"\\n\\\\'" << false << false << ""
            << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"say \\\"hi\\\"\\n\\\\\"", "Finished job 7 with exit code 0",
                           "Job 7 wrote no output"}
            << "none";
        QTest::newRow("exit code") << "song.flac" << "echo partial > \"$out\"; exit 3" << false << false << ""
            << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 3"} << "none";
        QTest::newRow("refused, earlier file kept") << "song.flac" << "exit 1" << false << false << "song.mp3"
            << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 1"} << "existing";
        QTest::newRow("failed mid-file, earlier file kept") << "song.flac" << "echo partial > \"$out\"; exit 1"
            << false << false << "song.mp3" << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 1"} << "existing";
        QTest::newRow("crash, earlier file kept") << "song.flac" << "echo partial > \"$out\"; kill -KILL $$"
            << false << false << "song.mp3" << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 9"} << "existing";
        QTest::newRow("empty output") << "song.flac" << ": > \"$out\"" << false << false << "song.mp3"
            << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 0", "Job 7 wrote no output"}
            << "existing";
        QTest::newRow("playlist copied") << "album.m3u" << "" << false << true << ""
            << QStringList{done, finished} << QStringList{"Copy file 7"} << "@album.m3u";
        QTest::newRow("crash") << "song.flac" << "echo partial > \"$out\"; kill -KILL $$" << false << false << ""
            << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 9"} << "none";
    }

    void outcomes()
    {
        const auto settings = freshSettings();
        QFETCH(QString, input);
        QFETCH(QString, encoder);
        QFETCH(bool, quick);
        QFETCH(bool, copyOthers);
        QFETCH(QString, existing);
        QFETCH(QStringList, events);
        QFETCH(QStringList, log);
        QFETCH(QString, output);

        QTemporaryDir job(base + "/job-XXXXXX");
        const QString inputPath = job.path() + "/in/" + input;
        if (input != "gone.txt")
            writeFile(inputPath, "input " + input.toUtf8());
        if (!encoder.isEmpty())
            AppSettings::FFmpegBinary = writeEncoder(job.path(), "encoder", encoder);
        AppSettings::OutputDirectory = job.path() + "/out";
        AppSettings::QuickConvertMode = quick;
        AppSettings::CopyNonAudioFiles = copyOthers;
        const QString outputPath = job.path() + "/out/" + QFileInfo(input).completeBaseName() + ".mp3";
        if (!existing.isEmpty())
            writeFile(job.path() + "/out/" + existing, "existing");

        const Outcome outcome = runTask(7, inputPath);
        QCOMPARE(outcome.events, events);
        QCOMPARE(outcome.log, log);

        if (output == "none")
            QVERIFY(!QFile::exists(outputPath));
        else if (output.startsWith('@'))
            QCOMPARE(checksum(job.path() + "/out/" + QFileInfo(output.mid(1)).completeBaseName() + "."
                              + (copyOthers && !quick ? QFileInfo(input).suffix() : "mp3")),
                     checksum(inputPath));
        else if (output == "existing")
            QCOMPARE(checksum(job.path() + "/out/" + existing), QCryptographicHash::hash("existing", QCryptographicHash::Sha256).toHex());
        else
            QCOMPARE(checksum(outputPath), QCryptographicHash::hash(output.toUtf8(), QCryptographicHash::Sha256).toHex());
        if (input != "gone.txt")
            QCOMPARE(checksum(inputPath), QCryptographicHash::hash("input " + input.toUtf8(), QCryptographicHash::Sha256).toHex());
        QCOMPARE(hiddenFiles(job.path() + "/out"), QStringList());
    }

    void encoderThatCannotStart_data()
    {
        QTest::addColumn<QString>("encoder");
        QTest::newRow("missing") << "/nonexistent/ffmpeg";
        QTest::newRow("a folder") << "@";
        QTest::newRow("not executable") << "@/notes.txt";
    }

    // Whatever exit code the process object reports, a job whose encoder never ran failed.
    void encoderThatCannotStart()
    {
        const auto settings = freshSettings();
        QFETCH(QString, encoder);
        writeFile(base + "/notes.txt", "text");
        AppSettings::FFmpegBinary = encoder.replace('@', base);
        const Outcome outcome = runTask(2, base + "/in/unstarted.flac");
        QCOMPARE(outcome.events, encoderRun(2, FFmpegTask::Failed));
        QVERIFY(!QFile::exists(base + "/out" + base + "/in/unstarted.mp3"));
    }

    // With no process to spare the encoder cannot even be forked; the process
    // object may then read as a normal exit with code 0.
    void encoderThatCannotFork()
    {
        QTemporaryDir job(base + "/fork-XXXXXX");
        QFile(job.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                         | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                         | QFileDevice::WriteOther | QFileDevice::ExeOther);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUILLMERE_TEST_FORKLESS", job.path());
        // A leak checker needs a helper process at exit, which this child forbids itself.
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAll());
        if (child.exitCode() >= 3 && child.exitCode() <= 5)
            QSKIP("this machine does not let the test take away the right to start processes");
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(output, encoderRun(1, FFmpegTask::Failed).join('\n') + '\n');
    }

    // A job ends with its encoder, even when something the encoder started
    // still holds the output channel.
    void encoderLeavingADescendant()
    {
        const auto settings = freshSettings();
        QTemporaryDir job(base + "/descendant-XXXXXX");
        AppSettings::FFmpegBinary = writeEncoder(job.path(), "encoder",
            "sleep 30 & echo $! > " + job.path() + "/sleeper; echo converted > \"$out\"");
        const Outcome outcome = runTask(5, base + "/in/descendant.flac");
        QCOMPARE(outcome.events, encoderRun(5, FFmpegTask::Done));
        QFile sleeper(job.path() + "/sleeper");
        QVERIFY(sleeper.open(QIODevice::ReadOnly));
        const pid_t pid = sleeper.readAll().trimmed().toInt();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid, SIGTERM), 0); // still running: nobody waited for it
    }

    // Rows whose outputs would be one file get distinct names in row order,
    // and every row's file stays; a file named twice is converted once.
    void sharedOutputPath_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("outputs"); // per row, or "skipped"
        QTest::addColumn<bool>("bound"); // "alias" is "a" mounted a second time
        QTest::newRow("same name, other suffix") << QStringList{"a/song.flac", "a/song.wav"} << "{sourcedir}/out"
            << QStringList{"a/out/song.mp3", "a/out/song (2).mp3"} << false;
        QTest::newRow("added twice") << QStringList{"a/song.flac", "a/song.flac"} << "{sourcedir}/out"
            << QStringList{"a/out/song.mp3", "skipped"} << false;
        QTest::newRow("one folder for all") << QStringList{"a/song.flac", "b/song.ogg", "c/song.wav"} << "@/flat"
            << QStringList{"flat/song.mp3", "flat/song (2).mp3", "flat/song (3).mp3"} << false;
        QTest::newRow("spelt otherwise") << QStringList{"a/song.flac", "a/./song.wav"} << "{sourcedir}/"
            << QStringList{"a/song.mp3", "a/song (2).mp3"} << false;
        QTest::newRow("names differing in case") << QStringList{"a/Song.flac", "a/song.wav"} << "{sourcedir}/out"
            << QStringList{"a/out/Song.mp3", "a/out/song (2).mp3"} << false;
        QTest::newRow("folder mounted twice") << QStringList{"a/song.flac", "alias/song.wav"} << "{sourcedir}/out"
            << QStringList{"a/out/song.mp3", "alias/out/song (2).mp3"} << true;
        QTest::newRow("one linked as another") << QStringList{"a/song.flac", "b/link.flac"} << "@/flat"
            << QStringList{"flat/song.mp3", "skipped"} << false;
    }

    void sharedOutputPath()
    {
        const auto settings = freshSettings();
        QFETCH(QStringList, inputs);
        QFETCH(QString, pattern);
        QFETCH(QStringList, outputs);
        QFETCH(bool, bound);
        QTemporaryDir job(base + "/shared-XXXXXX");
        if (bound) {
            QVERIFY(QDir().mkpath(job.path() + "/a") && QDir().mkpath(job.path() + "/alias"));
            if (!mountOver(job.path() + "/alias", "none", job.path() + "/a"))
                QSKIP("no mount namespace of its own here: cannot mount a folder twice");
        }
        const auto unmount = qScopeGuard([&] {
            if (bound)
                ::umount2(QFile::encodeName(job.path() + "/alias").constData(), MNT_DETACH);
        });
        AppSettings::FFmpegBinary = writeEncoder(job.path(), "slow", "sleep 0.3; echo \"$2 $5\" > \"$out\"");
        AppSettings::OutputDirectory = pattern.replace('@', job.path());
        QStringList paths;
        for (const QString &input : inputs) {
            paths << job.path() + "/" + input;
            if (input.startsWith("b/link"))
                QVERIFY(QDir().mkpath(job.path() + "/b") && QFile::link(paths.first(), paths.last()));
            else if (!QFile::exists(paths.last()))
                writeFile(paths.last(), "x");
        }
        ConversionEngine engine;
        QMap<int, JobReport> reports;
        connect(&engine, &ConversionEngine::jobReported, [&](const JobReport &report) { reports[report.id] = report; });
        QSignalSpy ended(&engine, &ConversionEngine::batchEnded);
        engine.start(paths, qMin(int(inputs.size()), 3));
        QVERIFY2(ended.wait(60000), "the batch did not end within a minute");

        QStringList made;
        for (int row = 1; row <= outputs.size(); ++row) {
            const JobReport report = reports.value(row);
            made << (report.reason == "The same file as row 1, which converts it"
                         ? "skipped" : QDir(job.path()).relativeFilePath(report.outputPath));
            if (made.last() != "skipped")
                QCOMPARE(checksum(report.outputPath), QCryptographicHash::hash("-y " + QFile::encodeName(paths[row - 1])
                                                          + "\n", QCryptographicHash::Sha256).toHex());
        }
        QCOMPARE(made, outputs);
    }

    // Another spelling of the input as output would have the encoder truncate
    // its own input; such a job fails and the input stays whole.
    void outputOntoInput_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("link"); // "symlink" or "hardlink" at the output path
        QTest::addColumn<bool>("quick");
        QTest::newRow("same spelling") << "{sourcedir}" << "" << false;
        QTest::newRow("doubled slash") << "{sourcedir}/" << "" << false;
        QTest::newRow("dot segment") << "{sourcedir}/." << "" << false;
        QTest::newRow("linked folder") << "@/link" << "symlink" << false;
        QTest::newRow("hard link") << "@/hard" << "hardlink" << false;
        QTest::newRow("quick, doubled slash") << "{sourcedir}/" << "" << true;
        QTest::newRow("quick, same spelling") << "{sourcedir}" << "" << true;
    }

    void outputOntoInput()
    {
        const auto settings = freshSettings();
        QFETCH(QString, pattern);
        QFETCH(QString, link);
        QFETCH(bool, quick);
        QTemporaryDir job(base + "/self-XXXXXX");
        const QString input = job.path() + "/album/long.flac";
        QVERIFY(makeTone(input, 120, {"-ar", "8000"}));
        const QByteArray before = checksum(input);
        if (link == "symlink")
            QVERIFY(QFile::link(job.path() + "/album", job.path() + "/link"));
        if (link == "hardlink") {
            QDir().mkpath(job.path() + "/hard");
            QCOMPARE(::link(QFile::encodeName(input).constData(),
                            QFile::encodeName(job.path() + "/hard/long.flac").constData()), 0);
        }
        AppSettings::FFmpegBinary = QStandardPaths::findExecutable("ffmpeg");
        AppSettings::OutputFormat = "flac";
        AppSettings::OutputQualityArguments.clear();
        AppSettings::OutputDirectory = pattern.replace('@', job.path());
        AppSettings::QuickConvertMode = quick;

        const Outcome outcome = runTask(1, input);
        QCOMPARE(outcome.events.last(), QString("done 1"));
        QCOMPARE(outcome.events.value(outcome.events.size() - 2),
                 statusEvent(1, quick ? FFmpegTask::Skipped : FFmpegTask::Failed));
        QCOMPARE(checksum(input), before);
        QVERIFY(qAbs(duration(input) - 120) < 0.1);
    }

    // A failed run leaves no file that a later quick run would take as converted.
    void failedRealEncoderLeavesNothing()
    {
        const auto settings = freshSettings();
        const QString input = base + "/bad filter/tone.flac";
        QVERIFY(makeTone(input, 1));
        AppSettings::FFmpegBinary = QStandardPaths::findExecutable("ffmpeg");
        AppSettings::AudioFilters = "nosuchfilter=1";
        AppSettings::OutputDirectory = base + "/bad filter/out";
        const Outcome outcome = runTask(4, input);
        QCOMPARE(outcome.events, encoderRun(4, FFmpegTask::Failed));
        QVERIFY(!QFile::exists(base + "/bad filter/out/tone.mp3"));
    }

    // The encoder reports some write failures and still exits with code 0;
    // such a run failed, and the earlier output stays as it was.
    void writeFailureWithExitZero_data()
    {
        QTest::addColumn<QString>("message"); // "@" stands for the file the encoder writes
        QTest::addColumn<bool>("failed");
        QTest::newRow("trailer on a full disk") << "[out#0/mp3] Error writing trailer of @: No space left on device\n"
            << true;
        QTest::newRow("closing") << "Error closing file @: Input/output error\n" << true;
        QTest::newRow("quota") << "av_interleaved_write_frame(): Disk quota exceeded\n" << true;
        QTest::newRow("too large") << "[mp3 @ 0x5581] Error writing packet: File too large\n" << true;
        QTest::newRow("no end of line") << "Error closing file @" << true;
        QTest::newRow("a tag's value") << "    title           : No space left on device\n" << false;
        QTest::newRow("the output's name") << "Output #0, mp3, to '@':\n" << false;
    }

    void writeFailureWithExitZero()
    {
        const auto settings = freshSettings();
        QFETCH(QString, message);
        QFETCH(bool, failed);
        QTemporaryDir job(base + "/trailer-XXXXXX");
        // A name that reads like a failure must not be taken for one.
        const QString input = job.path() + "/in/Error closing file.flac";
        writeFile(input, "x");
        const QString earlier = job.path() + "/out/Error closing file.mp3";
        writeFile(earlier, "earlier");
        AppSettings::OutputDirectory = job.path() + "/out";
        AppSettings::FFmpegBinary = writeEncoder(job.path(), "encoder",
            "echo converted > \"$out\"; printf 'Input #0, flac, from %s\\n' \"$5\"; printf '%s' \""
                + QString(message).replace("@", "$out") + "\" >&2");

        const Outcome outcome = runTask(1, input);
        QCOMPARE(outcome.events, encoderRun(1, failed ? FFmpegTask::Failed : FFmpegTask::Done));
        QCOMPARE(QFile::exists(earlier) ? checksum(earlier) : QByteArray(),
                 QCryptographicHash::hash(failed ? "earlier" : "converted\n", QCryptographicHash::Sha256).toHex());
        QCOMPARE(hiddenFiles(job.path() + "/out"), QStringList());
    }

    // A real full disk, with the real encoder.
    void fullDisk_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("freeKiB"); // left free once the earlier output is there
        QTest::newRow("ogg, no space at all") << "ogg" << 0;
        QTest::newRow("mp3, room for part") << "mp3" << 98;
    }

    void fullDisk()
    {
        const auto settings = freshSettings();
        QFETCH(QString, format);
        QFETCH(int, freeKiB);
        const QString input = base + "/full/in/minute.flac";
        if (!QFile::exists(input))
            QVERIFY(makeTone(input, 60));
        QTemporaryDir job(base + "/full-XXXXXX");
        const QString out = job.path() + "/out";
        QVERIFY(QDir().mkpath(out));
        if (!mountOver(out, "size=2m"))
            QSKIP("no mount namespace of its own here: cannot make a small file system");
        const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(out).constData(), MNT_DETACH); });
        const QString earlier = out + "/minute." + format;
        writeFile(earlier, QByteArray(4096, 'e'));
        const QByteArray earlierSum = checksum(earlier);
        {
            QFile filler(out + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(1024, 'f');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
            filler.close();
            QVERIFY(filler.resize(qMax<qint64>(0, filler.size() - freeKiB * 1024)));
        }
        AppSettings::FFmpegBinary = QStandardPaths::findExecutable("ffmpeg");
        AppSettings::OutputFormat = format;
        AppSettings::OutputQualityArguments = format == "ogg" ? "-q:a 5" : "-q:a 2";
        AppSettings::OutputDirectory = out;

        const Outcome outcome = runTask(1, input);
        QCOMPARE(outcome.events, encoderRun(1, FFmpegTask::Failed));
        QCOMPARE(checksum(earlier), earlierSum);
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "minute." + format}));
    }

    // A link at the output path is replaced, even where it points at an
    // input of the batch; its target is never written.
    void linkAtOutput_data()
    {
        QTest::addColumn<QString>("encoder");
        QTest::addColumn<QString>("target"); // of the link; in/a.flac and in/b.mp3 are the batch
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("converted") << "echo converted > \"$out\"" << "lib/precious.mp3" << true;
        QTest::newRow("failed mid-file") << "echo partial > \"$out\"; exit 1" << "lib/precious.mp3" << false;
        QTest::newRow("another input") << "echo converted > \"$out\"" << "in/b.mp3" << true;
        QTest::newRow("its own input") << "echo converted > \"$out\"" << "in/a.flac" << true;
    }

    void linkAtOutput()
    {
        const auto settings = freshSettings();
        QFETCH(QString, encoder);
        QFETCH(QString, target);
        QFETCH(bool, succeeds);
        QTemporaryDir job(base + "/link-XXXXXX");
        const QString precious = job.path() + "/" + target;
        writeFile(precious, "precious");
        const QString output = job.path() + "/out/a.mp3";
        QVERIFY(QDir().mkpath(job.path() + "/out"));
        QVERIFY(QFile::link(precious, output));
        if (!QFile::exists(job.path() + "/in/a.flac"))
            writeFile(job.path() + "/in/a.flac", "x");
        AppSettings::FFmpegBinary = writeEncoder(job.path(), "encoder", encoder);
        AppSettings::OutputDirectory = job.path() + "/out";

        const auto inputs = std::make_shared<BatchInputs>();
        inputs->add(job.path() + "/in/a.flac", 1);
        inputs->add(job.path() + "/in/b.mp3", 2);
        inputs->close();
        const Outcome outcome = runTask(1, job.path() + "/in/a.flac", inputs);
        QCOMPARE(outcome.events.value(1), statusEvent(1, succeeds ? FFmpegTask::Done : FFmpegTask::Failed));
        QCOMPARE(checksum(precious), QCryptographicHash::hash("precious", QCryptographicHash::Sha256).toHex());
        QCOMPARE(QFileInfo(output).isSymLink(), !succeeds);
        if (succeeds)
            QCOMPARE(checksum(output), QCryptographicHash::hash("converted\n", QCryptographicHash::Sha256).toHex());
    }

    // In quick mode an output that another writer made meanwhile stays.
    void quickModeNeverReplaces()
    {
        const auto settings = freshSettings();
        QTemporaryDir job(base + "/appeared-XXXXXX");
        writeFile(job.path() + "/in/song.flac", "x");
        AppSettings::QuickConvertMode = true;
        AppSettings::OutputDirectory = job.path() + "/out";
        AppSettings::FFmpegBinary = writeEncoder(job.path(), "encoder",
            "echo other > \"${out%/*}/song.mp3\"; echo mine > \"$out\"");
        const Outcome outcome = runTask(1, job.path() + "/in/song.flac");
        QCOMPARE(outcome.events, encoderRun(1, FFmpegTask::Failed));
        QCOMPARE(checksum(job.path() + "/out/song.mp3"),
                 QCryptographicHash::hash("other\n", QCryptographicHash::Sha256).toHex());
        QCOMPARE(hiddenFiles(job.path() + "/out"), QStringList());
    }

    // What a killed run left is removed by the next run of the same output,
    // and only that: another running process's file and the user's stay.
    void leftoverTemporaries()
    {
        const auto settings = freshSettings();
        QTemporaryDir job(base + "/leftover-XXXXXX");
        writeFile(job.path() + "/in/song.flac", "x");
        QProcess ended;
        ended.start("true", QStringList());
        QVERIFY2(ended.waitForStarted(10000), "a short process did not start");
        const qint64 dead = ended.processId();
        QVERIFY2(ended.waitForFinished(10000), "a short process did not end");
        const QString out = job.path() + "/out/";
        const QString fresh = QString(".song.part-%1-00000002.mp3").arg(dead);
        // Only names of exactly the shape a writer gives its files are taken for leftovers.
        QStringList kept{".song.part-1-00000000.mp3", ".song.part-x.mp3", ".other.part-99999999-0.mp3",
                               ".song.mp3", fresh, ".song.part-99999.mp3", ".song.part-0-keep.mp3",
                               ".song.part-4000000000-x.mp3", ".song.part-4194304-00000000.mp3"};
        for (const char *shape : {"0%1-00000003", "%1-0000000A", "%1-0000003", "%1-00000003-x"})
            kept << QString(".song.part-%1.mp3").arg(QString(shape).arg(dead));
        const QStringList leftOver{QString(".song.part-%1-00000001.mp3").arg(dead),
                                   QString(".song.part-%1-00000000.mp3").arg(::getpid())};
        // All but one look as if left a while ago; a recent one may be written from elsewhere.
        const struct timeval old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        for (const QString &name : kept + leftOver) {
            writeFile(out + name, "file");
            if (name != fresh)
                QCOMPARE(::utimes(QFile::encodeName(out + name).constData(), old), 0);
        }
        AppSettings::OutputDirectory = job.path() + "/out";
        const Outcome outcome = runTask(1, job.path() + "/in/song.flac");
        QCOMPARE(outcome.events.value(1), statusEvent(1, FFmpegTask::Done));
        QStringList expected = kept;
        expected.sort();
        QCOMPARE(hiddenFiles(out), expected);
    }

    // A copy, however large, ends soon after the stop request.
    void copyStops_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("quick");
        QTest::newRow("quick mode, already the format") << "big.mp3" << true;
        QTest::newRow("other file") << "big.txt" << false;
    }

    void copyStops()
    {
        const auto settings = freshSettings();
        QFETCH(QString, name);
        QFETCH(bool, quick);
        QTemporaryDir job(base + "/copy-XXXXXX");
        const QString input = job.path() + "/in/" + name;
        writeFile(input, "");
        // Sparse: nothing is read from disk. A copy that missed the stop ends Done.
        QVERIFY(QFile::resize(input, qint64(2) << 30));
        AppSettings::QuickConvertMode = quick;
        AppSettings::CopyNonAudioFiles = !quick;
        AppSettings::OutputDirectory = job.path() + "/out";
        const QString out = job.path() + "/out";
        const int status = runTaskWithStop(input, [&](std::atomic<bool> &stop) {
            if (!hiddenFiles(out).isEmpty())
                stop = true;
        });
        QCOMPARE(status, int(FFmpegTask::Failed));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // Stopping reaches what the encoder started, not the encoder alone.
    void stopReachesWrapperChildren()
    {
        const auto settings = freshSettings();
        QTemporaryDir job(base + "/wrapper-XXXXXX");
        writeFile(job.path() + "/in/song.flac", "x");
        const QString child = job.path() + "/child";
        AppSettings::OutputDirectory = job.path() + "/out";
        AppSettings::FFmpegBinary = writeEncoder(job.path(), "encoder",
            "echo partial > \"$out\"; sleep 60 & echo $! > " + child + "; wait");
        qint64 pid = 0;
        const int status = runTaskWithStop(job.path() + "/in/song.flac", [&](std::atomic<bool> &stop) {
            QFile file(child);
            if (file.open(QIODevice::ReadOnly))
                pid = file.readAll().trimmed().toLongLong();
            if (pid > 0)
                stop = true;
        });
        QCOMPARE(status, int(FFmpegTask::Failed));
        QVERIFY(pid > 0);
        QTRY_VERIFY2_WITH_TIMEOUT(processGone(pid), "the encoder's child is still running", 10000);
        QCOMPARE(QDir(job.path() + "/out").entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // Two processes converting onto one output leave one whole file.
    void twoProcessesOneOutput()
    {
        QTemporaryDir job(base + "/processes-XXXXXX");
        const QStringList inputs{job.path() + "/a/song.flac", job.path() + "/b/song.flac"};
        QVERIFY(makeTone(inputs[0], 600, {"-ar", "22050"}));
        QVERIFY(makeTone(inputs[1], 300, {"-ar", "22050"}));
        const QString out = job.path() + "/out";
        QProcess writers[2];
        for (int i = 0; i < 2; ++i) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("QUILLMERE_TEST_WRITER", inputs[i] + '\n' + out);
            writers[i].setProcessEnvironment(environment);
            writers[i].start(QCoreApplication::applicationFilePath(), QStringList());
        }
        for (QProcess &writer : writers) {
            QVERIFY2(writer.waitForFinished(120000), "a converting process did not end within two minutes");
            QCOMPARE(QString::fromUtf8(writer.readAllStandardOutput()),
                     encoderRun(1, FFmpegTask::Done).mid(0, 2).join('\n') + '\n');
        }
        const double length = duration(out + "/song.mp3");
        QVERIFY2(qAbs(length - 600) < 0.5 || qAbs(length - 300) < 0.5, qPrintable(QString::number(length)));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{"song.mp3"});
    }

    // Every format with its default preset, through the real encoder.
    void realEncoder_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<QString>("rate");
        QTest::newRow("mp3") << "mp3" << "mp3" << "22050";
        QTest::newRow("m4a") << "m4a" << "aac" << "22050";
        QTest::newRow("ogg") << "ogg" << "vorbis" << "22050";
        QTest::newRow("opus") << "opus" << "opus" << "48000";
        QTest::newRow("flac") << "flac" << "flac" << "22050";
        QTest::newRow("wav") << "wav" << "pcm_s16le" << "22050";
    }

    void realEncoder()
    {
        const auto settings = freshSettings();
        QFETCH(QString, format);
        QFETCH(QString, codec);
        QFETCH(QString, rate);
        const QString input = base + "/real/album one/tone.flac";
        if (!QFile::exists(input))
            QVERIFY(makeTone(input, 1, {"-ac", "2", "-metadata", "title=Quiet Tone é"}));
        AppSettings::FFmpegBinary = QStandardPaths::findExecutable("ffmpeg");
        AppSettings::OutputFormat = format;
        const FormatCatalogue::QualityPresets presets = FormatCatalogue::qualityPresets(format);
        AppSettings::OutputQualityArguments = presets.presets.at(presets.defaultIndex).arguments;
        AppSettings::OutputSamplerate = "22050";
        AppSettings::OutputChannelCount = 1;

        const Outcome outcome = runTask(3, input);
        QCOMPARE(outcome.events, encoderRun(3, FFmpegTask::Done));
        const QString output = base + "/out" + base + "/real/album one/tone." + format;
        QCOMPARE(probe(output, "stream=codec_name"), codec);
        QCOMPARE(probe(output, "stream=sample_rate"), rate);
        QCOMPARE(probe(output, "stream=channels"), QString("1"));
        if (format != "wav")
            QVERIFY2(probe(output, "format_tags=title:stream_tags=title").contains("Quiet Tone é"),
                     qPrintable(probe(output, "format_tags:stream_tags")));
    }
};

// Runs one job as an unprivileged user who may not start any process.
static int forklessJob(const QString &directory)
{
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 3;
    const struct rlimit none = {0, 0};
    if (setrlimit(RLIMIT_NPROC, &none) != 0)
        return 4;
    const pid_t spare = fork();
    if (spare == 0)
        _exit(0);
    if (spare > 0)
        return 5; // processes can still be started: the case is not reached
    resetSettings("/bin/true", directory + "/out");
    FFmpegTask task(1, directory + "/tone.flac");
    QObject::connect(&task, &FFmpegTask::StatusChange,
                     [](int id, Status status) { printf("%s\n", qPrintable(statusEvent(id, status))); });
    QObject::connect(&task, &FFmpegTask::ConvertDone, [](int id) { printf("done %d\n", id); });
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    task.run();
    return 0;
}

// Converts one file with the real encoder in a process of its own.
static int writerJob(const QString &request)
{
    const QStringList parts = request.split('\n');
    resetSettings(QStandardPaths::findExecutable("ffmpeg"), parts.value(1));
    FFmpegTask task(1, parts.value(0));
    QObject::connect(&task, &FFmpegTask::StatusChange, [](int id, Status status) {
        printf("%s\n", qPrintable(statusEvent(id, status)));
        fflush(stdout);
    });
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    task.run();
    return 0;
}

int main(int argc, char **argv)
{
    privateMounts = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    QCoreApplication app(argc, argv);
    qRegisterMetaType<JobStatus::ConvertStatus>("JobStatus::ConvertStatus");
    if (qEnvironmentVariableIsSet("QUILLMERE_TEST_WRITER"))
        return writerJob(qEnvironmentVariable("QUILLMERE_TEST_WRITER"));
    if (qEnvironmentVariableIsSet("QUILLMERE_TEST_FORKLESS"))
        return forklessJob(qEnvironmentVariable("QUILLMERE_TEST_FORKLESS"));
    TestConversion test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_conversion.moc"
