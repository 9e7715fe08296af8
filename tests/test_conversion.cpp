// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/ffmpegtask.h"
#include "conversiontestsupport.h"
#include "settings/formatcatalogue.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using Status = FFmpegTask::ConvertStatus;
Q_DECLARE_METATYPE(QList<int>)

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
    };

    // Runs one job on this thread, as a pool thread would.
    static Outcome runTask(int id, const QString &input)
    {
        Outcome outcome;
        FFmpegTask task(id, input);
        connect(&task, &FFmpegTask::StatusChange, [&](int reported, Status status) {
            outcome.events << QString("status %1 %2").arg(reported).arg(int(status));
        });
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
        FFmpegTask task(1, input);
        task.inputInfo = QFileInfo(input);
        task.outputDirectory = outputDirectory;
        task.buildArguments();
        if (task.arguments.value(task.arguments.size() - 1) != task.outputPath)
            return {"output path is not the last entry"};
        return task.arguments;
    }

    // Runs jobs on a pool of `threads`, as a batch does.
    static void runBatch(const QStringList &inputs, int threads)
    {
        QThreadPool pool;
        pool.setMaxThreadCount(threads);
        int id = 0;
        for (const QString &input : inputs)
            pool.start(new FFmpegTask(++id, input));
        QVERIFY(pool.waitForDone(60000));
    }

    static double duration(const QString &path)
    {
        return probe(path, "format=duration").toDouble();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        base = QFileInfo(temp.path()).canonicalFilePath();
        silent = writeEncoder(base, "silent", "echo converted > \"$out\"");
    }

    void init() { resetSettings(silent, base + "/out/{sourcedir}"); }

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
        const QStringList streamTags{"-map_metadata", "0", "-map_metadata", "0:s:0"};

        QTest::newRow("defaults") << "mp3" << "-q:a 2" << "" << 0 << "" << false << false << track << mirrored
            << QStringList{"-hide_banner", "-y", "-vn", "-i", "/music/album/track01.flac", "-c:a",
                           "libmp3lame", "-q:a", "2", "-map_metadata", "0", "-map_metadata", "0:s:0",
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
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        expected.replace('@', base);
        AppSettings::OutputDirectory = QString(pattern).replace('@', base);
        FFmpegTask task(1, base + "/in/a/x.flac");
        task.prepareOutputDirectory();
        QCOMPARE(task.outputDirectory, expected);
        QVERIFY(QFileInfo(expected).isDir());
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
    }

    void classification()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, expected);
        const QString path = base + "/kinds/" + name;
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

        const QString converting = "status 7 1", failed = "status 7 2", skipped = "status 7 3",
                      done = "status 7 4", finished = "done 7";
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
        QTest::newRow("output quoted") << "song.flac" << "printf 'say \"hi\"\\n\\\\'" << false << false << ""
            << QStringList{converting, done, finished}
            << QStringList{"Result of job 7 | \"say \\\"hi\\\"\\n\\\\\"", "Finished job 7 with exit code 0"}
            << "none";
        QTest::newRow("exit code") << "song.flac" << "echo partial > \"$out\"; exit 3" << false << false << ""
            << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 3"} << "none";
        QTest::newRow("refused, earlier file kept") << "song.flac" << "exit 1" << false << false << "song.mp3"
            << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 1"} << "existing";
        QTest::newRow("crash") << "song.flac" << "echo partial > \"$out\"; kill -KILL $$" << false << false << ""
            << QStringList{converting, failed, finished}
            << QStringList{"Result of job 7 | \"\"", "Finished job 7 with exit code 9"} << "none";
    }

    void outcomes()
    {
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
        QFETCH(QString, encoder);
        writeFile(base + "/notes.txt", "text");
        AppSettings::FFmpegBinary = encoder.replace('@', base);
        const Outcome outcome = runTask(2, base + "/in/unstarted.flac");
        QCOMPARE(outcome.events, (QStringList{"status 2 1", "status 2 2", "done 2"}));
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
        QCOMPARE(output, QString("status 1 1\nstatus 1 2\ndone 1\n"));
    }

    // A job ends with its encoder, even when something the encoder started
    // still holds the output channel.
    void encoderLeavingADescendant()
    {
        QTemporaryDir job(base + "/descendant-XXXXXX");
        AppSettings::FFmpegBinary = writeEncoder(job.path(), "encoder",
            "sleep 30 & echo $! > " + job.path() + "/sleeper; echo converted > \"$out\"");
        const Outcome outcome = runTask(5, base + "/in/descendant.flac");
        QCOMPARE(outcome.events, (QStringList{"status 5 1", "status 5 4", "done 5"}));
        QFile sleeper(job.path() + "/sleeper");
        QVERIFY(sleeper.open(QIODevice::ReadOnly));
        const pid_t pid = sleeper.readAll().trimmed().toInt();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid, SIGTERM), 0); // still running: nobody waited for it
    }

    // Two jobs writing one output path take turns; the later one's file stays.
    void sharedOutputPath_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("same name, other suffix") << QStringList{"a/song.flac", "a/song.wav"} << "{sourcedir}/out";
        QTest::newRow("added twice") << QStringList{"a/song.flac", "a/song.flac"} << "{sourcedir}/out";
        QTest::newRow("one folder for all") << QStringList{"a/song.flac", "b/song.ogg", "c/song.wav"} << "@/flat";
        QTest::newRow("spelt otherwise") << QStringList{"a/song.flac", "a/./song.wav"} << "{sourcedir}/";
    }

    void sharedOutputPath()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, pattern);
        QTemporaryDir job(base + "/shared-XXXXXX");
        const QString trace = job.path() + "/trace";
        AppSettings::FFmpegBinary = writeEncoder(job.path(), "slow",
            "echo start >> " + trace + "; sleep 0.3; echo \"$2 $5\" > \"$out\"; echo end >> " + trace);
        AppSettings::OutputDirectory = pattern.replace('@', job.path());
        QStringList paths;
        for (const QString &input : inputs) {
            paths << job.path() + "/" + input;
            writeFile(paths.last(), "x");
        }
        runBatch(paths, inputs.size());

        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList expected;
        for (int i = 0; i < inputs.size(); ++i)
            expected << "start" << "end";
        QCOMPARE(QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts), expected);
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
    }

    void outputOntoInput()
    {
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
        QCOMPARE(outcome.events.value(outcome.events.size() - 2), QString(quick ? "status 1 3" : "status 1 2"));
        QCOMPARE(checksum(input), before);
        QVERIFY(qAbs(duration(input) - 120) < 0.1);
    }

    // A failed run leaves no file that a later quick run would take as converted.
    void failedRealEncoderLeavesNothing()
    {
        const QString input = base + "/bad filter/tone.flac";
        QVERIFY(makeTone(input, 1));
        AppSettings::FFmpegBinary = QStandardPaths::findExecutable("ffmpeg");
        AppSettings::AudioFilters = "nosuchfilter=1";
        AppSettings::OutputDirectory = base + "/bad filter/out";
        const Outcome outcome = runTask(4, input);
        QCOMPARE(outcome.events, (QStringList{"status 4 1", "status 4 2", "done 4"}));
        QVERIFY(!QFile::exists(base + "/bad filter/out/tone.mp3"));
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
        QCOMPARE(outcome.events, (QStringList{"status 3 1", "status 3 4", "done 3"}));
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
                     [](int id, Status status) { printf("status %d %d\n", id, int(status)); });
    QObject::connect(&task, &FFmpegTask::ConvertDone, [](int id) { printf("done %d\n", id); });
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    task.run();
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qRegisterMetaType<FFmpegTask::ConvertStatus>("FFmpegTask::ConvertStatus");
    if (qEnvironmentVariableIsSet("QUILLMERE_TEST_FORKLESS"))
        return forklessJob(qEnvironmentVariable("QUILLMERE_TEST_FORKLESS"));
    TestConversion test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_conversion.moc"
