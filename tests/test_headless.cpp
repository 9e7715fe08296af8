// SPDX-License-Identifier: GPL-3.0-or-later
// Batches without a window, as scripts run them: the built program as a
// process with no display at all, on tones the real encoder makes, read only
// through its exit status, its two output streams and the files it leaves.
#include "testsupport.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A launcher that ignores Ctrl+C, such as a shell starting a background job,
// hands that on through exec; the program is tested as a terminal starts it.
void restoreStopSignals()
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::signal(signal, SIG_DFL);
}

class Child : public QProcess
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
public:
    Child() { setChildProcessModifier(restoreStopSignals); }
#else
protected:
    void setupChildProcess() override { restoreStopSignals(); }
#endif
};

// No X, no Wayland and no platform plugin named: a run that builds a GUI
// application object aborts here. The C.UTF-8 locale keeps the messages
// English and the file names UTF-8.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
        environment.remove(name);
    environment.insert("LC_ALL", "C.UTF-8");
    return environment;
}

struct Outcome
{
    bool ended = false; // by itself, in time, not by a signal
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    QString story() const
    {
        return QString("ended: %1, exit code %2\nstandard output:\n%3\nstandard error:\n%4")
            .arg(int(ended))
            .arg(exitCode)
            .arg(QString::fromUtf8(QByteArray(out).replace('\0', "<NUL>")), QString::fromUtf8(err));
    }
};

// What a run gets on its standard input: bytes, or what `find` writes.
struct Feed
{
    QByteArray bytes;
    QStringList findArguments;
};

// A path as a result line names it; the test names hold no backslash.
QString unescaped(QString field)
{
    return field.replace("\\n", "\n").replace("\\r", "\r").replace("\\t", "\t");
}

// The records of a result stream, sorted: lines, or with `end` a NUL byte
// three fields a record, each ending in it, here joined by tabs. A last one
// that does not end is marked, so that it matches no expected line.
QStringList records(const QByteArray &stream, char end)
{
    const int fields = end == '\0' ? 3 : 1;
    QList<QByteArray> parts = stream.split(end);
    const QByteArray last = parts.takeLast();
    QStringList result;
    for (int i = 0; i < parts.size(); i += fields) {
        QStringList record;
        for (const QByteArray &part : parts.mid(i, fields))
            record << QString::fromUtf8(part);
        result.append((record.size() < fields ? "UNTERMINATED:" : "") + record.join('\t'));
    }
    if (!last.isEmpty())
        result.append("UNTERMINATED:" + QString::fromUtf8(last));
    result.sort();
    return result;
}

// Every file below `folder`, hidden ones too, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QStringList temporaryFilesBelow(const QString &folder)
{
    static const QRegularExpression temporary("(^|/)\\.[^/]*\\.part-[^/]*$");
    return filesBelow(folder).filter(temporary);
}

// The live processes whose command line names `text`; a zombie has none.
QStringList processesNaming(const QString &text)
{
    const QByteArray wanted = QFile::encodeName(text);
    QStringList found;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isProcess = false;
        entry.toLongLong(&isProcess);
        QFile commandLine("/proc/" + entry + "/cmdline");
        if (!isProcess || !commandLine.open(QIODevice::ReadOnly))
            continue;
        QByteArray arguments = commandLine.readAll();
        if (arguments.contains(wanted))
            found.append(entry + ": " + QString::fromLocal8Bit(arguments.replace('\0', ' ')));
    }
    return found;
}

// Kills what runs with `text` on its command line, and the process group
// that each encoder leads: what a test left running ends with it.
void killProcessesNaming(const QString &text)
{
    for (const QString &entry : processesNaming(text)) {
        const pid_t pid = pid_t(entry.section(':', 0, 0).toInt());
        if (::getpgid(pid) == pid)
            ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
}

// A named pipe for a child's standard output, whose reading end this process
// holds: read when the test likes, or never.
class ResultPipe
{
public:
    explicit ResultPipe(const QString &path) : path(path)
    {
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
            fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    ~ResultPipe() { close(); }
    ResultPipe(const ResultPipe &) = delete;
    ResultPipe &operator=(const ResultPipe &) = delete;

    bool isOpen() const { return fd >= 0; }
    // The reader goes away: the writer's next write fails.
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    QByteArray readAvailable() const
    {
        QByteArray bytes;
        char buffer[4096];
        ssize_t got;
        while (fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, int(got));
        return bytes;
    }
    // Bytes written and not yet read, and how many the pipe holds at most.
    int unread() const
    {
        int bytes = -1;
        return ::ioctl(fd, FIONREAD, &bytes) == 0 ? bytes : -1;
    }
    int capacity() const { return ::fcntl(fd, F_GETPIPE_SZ); }

    const QString path;

private:
    int fd = -1;
};

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeText(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// Moves the file's modification time into the past, so that any write shows.
bool backdate(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite)
        && file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC),
                            QFileDevice::FileModificationTime);
}

} // namespace

class TestHeadless : public QObject
{
    Q_OBJECT

public:
    enum ExitStatus { AllConverted = 0, SomeFailed = 1, CouldNotStart = 2, ReaderWentAway = 128 + SIGPIPE };
    Q_ENUM(ExitStatus)
    enum Setup { Usable, NoSuchEncoder, EncoderByName, OutputBelowAFile, UnclosedSection, UnknownFormat, Unusable };
    Q_ENUM(Setup)
    enum Separator { Lines, Nul };
    Q_ENUM(Separator)
    enum ListSource { StandardInput, ListFile, TwoListFiles, FindOnStandardInput };
    Q_ENUM(ListSource)
    enum SettingsSource { NamedFile, SavedSettings };
    Q_ENUM(SettingsSource)
    enum Store { NoStore, StoreOfOtherValues, StoreOfTheseValues };
    Q_ENUM(Store)
    enum Log { Quiet, Verbose };
    Q_ENUM(Log)
    enum Match { Whole, Includes };
    Q_ENUM(Match)
    enum Encoder { SlowedByFilter, BehindAShell };
    Q_ENUM(Encoder)
    enum Destination { ReaderThatGoesAway, FullDevice };
    Q_ENUM(Destination)

private:
    IsolatedHome home;
    QString data; // the test files, and the children's working directory
    QString ffmpeg;

    // The working folder of one case: its settings file and its output folder.
    struct Scratch
    {
        QTemporaryDir dir;
        explicit Scratch(const QString &parent) : dir(parent + "/case-XXXXXX") {}
        QString path() const { return QFileInfo(dir.path()).canonicalFilePath(); }
        QString out() const { return path() + "/out"; }
        QString settings() const { return path() + "/settings.ini"; }
    };

    QString expand(QString text, const Scratch &scratch) const
    {
        return text.replace("{data}", data).replace("{out}", scratch.out()).replace("{scratch}", scratch.path());
    }

    QStringList expand(QStringList texts, const Scratch &scratch) const
    {
        for (QString &text : texts)
            text = expand(text, scratch);
        return texts;
    }

    // Result lines as templates, for a file given relative to the test files.
    static QString resultLine(const char *status, const QString &input, const QString &suffix)
    {
        if (suffix.isEmpty())
            return QString("%1\t{data}/%2\t").arg(status, input);
        const QFileInfo info(input);
        return QString("%1\t{data}/%2\t{out}/{data}/%3/%4.%5")
            .arg(status, input, info.path(), info.completeBaseName(), suffix);
    }
    static QString done(const QString &input, const QString &suffix = "mp3")
    {
        return resultLine("Done", input, suffix);
    }
    static QString failed(const QString &input) { return resultLine("Failed", input, "mp3"); }
    static QString skipped(const QString &input) { return resultLine("Skipped", input, QString()); }

    QStringList settingsFor(Setup setup, const Scratch &scratch) const
    {
        QStringList lines{"FFmpegBinary=" + ffmpeg, "OutputFormat=mp3", "OutputQualityArguments=-q:a 2",
                          "OutputDirectory=" + scratch.out() + "/{sourcedir}", "Threads=2"};
        switch (setup) {
        case Usable:
            break;
        case NoSuchEncoder:
            lines[0] = "FFmpegBinary=" + scratch.path() + "/no-such-ffmpeg";
            break;
        case EncoderByName:
            lines[0] = "FFmpegBinary=ffmpeg";
            break;
        case OutputBelowAFile:
            writeText(scratch.path() + "/file.txt", "a file, not a folder\n");
            lines[3] = "OutputDirectory=" + scratch.path() + "/file.txt/sub/{sourcedir}";
            break;
        case UnclosedSection:
            break;
        case UnknownFormat:
            lines[1] = "OutputFormat=opuss";
            break;
        case Unusable:
            lines = settingsFor(NoSuchEncoder, scratch);
            lines[1] = "OutputFormat=opuss";
            lines[3] = settingsFor(OutputBelowAFile, scratch)[3];
            break;
        }
        return lines;
    }

    static bool writeSettings(const QString &path, const QStringList &lines, Setup setup = Usable)
    {
        // Usable values under a broken header: read anyway, they would convert.
        const QByteArray header = setup == UnclosedSection ? "[General\n" : "[General]\n";
        return writeText(path, header + (lines.join('\n') + '\n').toUtf8());
    }

    // Settings of real, slow encoders: each runs as long as its tone lasts.
    bool writeSlowSettings(const Scratch &scratch) const
    {
        return writeSettings(scratch.settings(), settingsFor(Usable, scratch) << "AudioFilters=arealtime");
    }

    bool startQuillmere(Child &process, const QStringList &arguments) const
    {
        process.setWorkingDirectory(data);
        process.setProcessEnvironment(withoutDisplay());
        process.start(QUILLMERE_BINARY, arguments);
        return process.waitForStarted(10000);
    }

    Outcome run(const QString &program, const QStringList &arguments, const Feed &feed = {}) const
    {
        Outcome outcome;
        Child process, find;
        for (QProcess *child : {static_cast<QProcess *>(&process), static_cast<QProcess *>(&find)}) {
            child->setWorkingDirectory(data);
            child->setProcessEnvironment(withoutDisplay());
        }
        if (!feed.findArguments.isEmpty()) {
            find.setStandardOutputProcess(&process);
            find.start("find", feed.findArguments);
        }
        process.start(program, arguments);
        if (!process.waitForStarted(10000)) {
            outcome.err = "Did not start: " + process.errorString().toUtf8();
            return outcome;
        }
        if (feed.findArguments.isEmpty()) {
            process.write(feed.bytes);
            process.closeWriteChannel();
        } else if (!find.waitForFinished(30000)) {
            find.kill();
        }
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished(10000);
            outcome.err = "Did not end within two minutes\n";
        } else {
            outcome.ended = process.exitStatus() == QProcess::NormalExit;
            outcome.exitCode = process.exitCode();
        }
        outcome.out = process.readAllStandardOutput();
        outcome.err += process.readAllStandardError();
        return outcome;
    }

    Outcome quillmere(const QStringList &arguments, const Feed &feed = {}) const
    {
        return run(QUILLMERE_BINARY, arguments, feed);
    }

    // A Done job's output is there, a Failed job's is not, and a Skipped job
    // of a file that is no audio names none.
    static void checkOutputs(const QStringList &lines)
    {
        for (const QString &line : lines) {
            const QStringList fields = line.split('\t');
            QCOMPARE(fields.size(), 3);
            if (fields[0] == "Done")
                QVERIFY2(QFileInfo(unescaped(fields[2])).size() > 0, qPrintable("No output for: " + line));
            else if (fields[0] == "Failed")
                QVERIFY2(!QFileInfo::exists(unescaped(fields[2])), qPrintable("An output for: " + line));
            else
                QVERIFY2(fields[0] == "Skipped" && fields[2].isEmpty(), qPrintable(line));
        }
    }

private slots:
    void initTestCase()
    {
        ffmpeg = QStandardPaths::findExecutable("ffmpeg");
        QVERIFY2(!ffmpeg.isEmpty(), "ffmpeg is not on the PATH");
        data = QFileInfo(home.dir.path()).canonicalFilePath() + "/data";
        for (const char *tone : {"lib/a/one.flac", "lib/b/two.flac", "broken/fine.flac", "odd/new\nline.flac",
                                 "odd/with space.flac"})
            QVERIFY2(makeTone(data + '/' + QString::fromUtf8(tone), 1), tone);
        QVERIFY(writeText(data + "/lib/b/notes.txt", "not audio\n"));
        QVERIFY(makeTone(data + "/forged/bad\nDone\tforged\tx.flac", 1));
        QVERIFY(QDir().mkpath(data + "/empty"));

        // Random bytes under an audio name: the encoder fails on them.
        QByteArray noise(8192, Qt::Uninitialized);
        QRandomGenerator random(13);
        for (char &byte : noise)
            byte = char(random.bounded(256));
        QVERIFY(writeText(data + "/broken/broken.flac", noise));
        QVERIFY(writeText(data + "/reasons/broken.flac", noise));
        // Names that read like the encoder's messages; the middle of the first the decoder cannot read.
        for (const char *tone : {"cut\nshort.flac", "x\nNo space left on device.flac", "Error writing trailer\ry.flac"})
            QVERIFY(makeTone(data + "/reasons/" + QString::fromUtf8(tone), 1));
        QFile cut(data + "/reasons/cut\nshort.flac");
        QVERIFY(cut.open(QIODevice::ReadWrite) && cut.seek(cut.size() / 2) && cut.write(QByteArray(8, '\0')) == 8);
        cut.close();

        // Long enough to be stopped while the encoders run.
        for (int i = 1; i <= 4; ++i)
            QVERIFY(makeTone(QString("%1/slow/t%2.flac").arg(data).arg(i), 20));
        QVERIFY(writeText(data + "/slow-encoder", "#!/bin/sh\nffmpeg -re \"$@\"\n"));
        QVERIFY(QFile::setPermissions(data + "/slow-encoder", QFile::ReadOwner | QFile::WriteOwner
                                                                   | QFile::ExeOwner | QFile::ReadOther
                                                                   | QFile::ExeOther));

        // A library for sharing out: names repeat across folders, one holds a
        // line break, one is no audio. Each tone is as loud as no other, so an
        // output made from another input shows.
        double level = 0;
        for (const char *tone : {"par/x/t1.flac", "par/x/t2.flac", "par/x/t3.flac", "par/y/t1.flac",
                                 "par/y/new\nline.flac", "par/z/with space.flac", "par/z/t4.flac"})
            QVERIFY2(makeTone(data + '/' + QString::fromUtf8(tone), 1,
                              {"-af", QString("volume=%1").arg(level += 0.1)}),
                     tone);
        QVERIFY(writeText(data + "/par/z/notes.txt", "not audio\n"));

        // Tones that take a few seconds each through a real-time filter.
        for (int i = 1; i <= 5; ++i)
            QVERIFY(makeTone(QString("%1/paced/s%2.flac").arg(data).arg(i), 4));
        // Each a result line, and together more than a pipe holds.
        QVERIFY(QDir().mkpath(data + "/many"));
        for (int i = 0; i < 3000; ++i)
            QVERIFY(writeText(QString("%1/many/a-result-line-for-a-pipe-nobody-reads-%2.txt").arg(data).arg(i), ""));
        QVERIFY(QDir().mkpath(data + "/special"));
        QCOMPARE(::mkfifo(QFile::encodeName(data + "/special/fifo").constData(), 0600), 0);
    }

    void exitStatus_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message"); // on standard error; none at all when empty

        const QStringList withSettings{"--convert", "--settings", "{scratch}/settings.ini"};
        QTest::newRow("all done or skipped")
            << Usable << withSettings + QStringList{"{data}/lib"} << int(AllConverted)
            << QStringList{done("lib/a/one.flac"), done("lib/b/two.flac"), skipped("lib/b/notes.txt")} << "";
        QTest::newRow("relative paths, encoder named without a folder")
            << EncoderByName << withSettings + QStringList{"lib/a/one.flac", "lib/b"} << int(AllConverted)
            << QStringList{done("lib/a/one.flac"), done("lib/b/two.flac"), skipped("lib/b/notes.txt")} << "";
        QTest::newRow("one file broken")
            << Usable << withSettings + QStringList{"{data}/broken"} << int(SomeFailed)
            << QStringList{done("broken/fine.flac"), failed("broken/broken.flac")} << "{data}/broken/broken.flac: ";
        QTest::newRow("a named path missing")
            << Usable << withSettings + QStringList{"lib/a/one.flac", "{scratch}/gone.flac"} << int(SomeFailed)
            << QStringList{done("lib/a/one.flac")} << "{scratch}/gone.flac";
        QTest::newRow("no encoder")
            << NoSuchEncoder << withSettings + QStringList{"{data}/lib"} << int(CouldNotStart) << QStringList()
            << "FFmpeg binary is invalid. Please check your settings.";
        QTest::newRow("output folder below a file")
            << OutputBelowAFile << withSettings + QStringList{"{data}/lib"} << int(CouldNotStart) << QStringList()
            << "Your output directory is bad. Maybe it is not writable?";
        QTest::newRow("unknown option")
            << Usable << withSettings + QStringList{"--bogus", "{data}/lib"} << int(CouldNotStart)
            << QStringList() << "bogus";
        QTest::newRow("--convert with --start")
            << Usable << withSettings + QStringList{"--start", "{data}/lib"} << int(CouldNotStart)
            << QStringList() << "--start";
        QTest::newRow("no input") << Usable << withSettings << int(CouldNotStart) << QStringList() << "No files";
        QTest::newRow("empty folder")
            << Usable << withSettings + QStringList{"{data}/empty"} << int(CouldNotStart) << QStringList()
            << "No files";
        QTest::newRow("settings file missing")
            << Usable << QStringList{"--convert", "--settings", "{scratch}/none.ini", "{data}/lib"}
            << int(CouldNotStart) << QStringList() << "{scratch}/none.ini";
        QTest::newRow("settings file a folder")
            << Usable << QStringList{"--convert", "--settings", "{scratch}", "{data}/lib"} << int(CouldNotStart)
            << QStringList() << "{scratch}";
        QTest::newRow("list missing")
            << Usable << withSettings + QStringList{"--files-from", "{scratch}/none.txt", "{data}/lib"}
            << int(CouldNotStart) << QStringList() << "{scratch}/none.txt";
        QTest::newRow("list named empty")
            << Usable << withSettings + QStringList{"--files-from", "", "lib/a/one.flac"} << int(CouldNotStart)
            << QStringList() << "Cannot read the list";
        QTest::newRow("settings file given twice")
            << Usable << withSettings + QStringList{"--settings", "{scratch}/settings.ini", "lib/a/one.flac"}
            << int(CouldNotStart) << QStringList() << "--settings may be given once only.";
        QTest::newRow("settings file with an unclosed section")
            << UnclosedSection << withSettings + QStringList{"lib/a/one.flac"} << int(CouldNotStart)
            << QStringList() << "Cannot read the settings file {scratch}/settings.ini";
        QTest::newRow("settings mended on the command line, later values winning")
            << Unusable
            << withSettings + QStringList{"--set", "FFmpegBinary=ffmpeg", "--format", "opus", "--set",
                                          "OutputFormat=wav", "--output-dir", "{out}/{sourcedir}", "--set",
                                          "Threads=1", "{data}/lib"}
            << int(AllConverted)
            << QStringList{done("lib/a/one.flac", "wav"), done("lib/b/two.flac", "wav"), skipped("lib/b/notes.txt")}
            << "";
        QTest::newRow("unknown format in the settings file")
            << UnknownFormat << withSettings + QStringList{"{data}/lib"} << int(CouldNotStart) << QStringList()
            << "Unknown format \"opuss\"; one of: mp3, m4a, ogg, opus, flac, wav";
        QTest::newRow("a named path neither file nor folder")
            << Usable << withSettings + QStringList{"lib/a/one.flac", "{data}/special/fifo"} << int(SomeFailed)
            << QStringList{done("lib/a/one.flac")} << "Neither a file nor a folder: {data}/special/fifo";
        // Without --convert it is the window's command line, whose mistakes
        // end with 1; it still needs no display to say so.
        QTest::newRow("--null without --convert")
            << Usable << QStringList{"--null", "{data}/lib"} << int(SomeFailed) << QStringList()
            << "--null needs --convert.";
        QTest::newRow("unknown option without --convert")
            << Usable << QStringList{"--bogus", "{data}/lib"} << int(SomeFailed) << QStringList()
            << "Unknown option 'bogus'.";
    }

    void exitStatus()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitStatus);
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSettings(scratch.settings(), settingsFor(setup, scratch), setup));

        const Outcome outcome = quillmere(expand(arguments, scratch));
        QVERIFY2(outcome.ended, qPrintable(outcome.story()));
        QVERIFY2(outcome.exitCode == exitStatus, qPrintable(outcome.story()));
        lines = expand(lines, scratch);
        lines.sort();
        QCOMPARE(records(outcome.out, '\n'), lines);
        checkOutputs(lines);
        if (message.isEmpty())
            QVERIFY2(outcome.err.isEmpty(), qPrintable(outcome.story()));
        else
            QVERIFY2(QString::fromUtf8(outcome.err).contains(expand(message, scratch)),
                     qPrintable(outcome.story()));
        if (exitStatus == CouldNotStart)
            QCOMPARE(filesBelow(scratch.out()), QStringList());
    }

    // A standard output the launcher left closed is not taken by the next
    // file opened: the batch runs as with its results thrown away.
    void closedStandardOutput()
    {
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSettings(scratch.settings(), settingsFor(Usable, scratch), Usable));
        const Outcome outcome =
            run("/bin/sh", QStringList{"-c", "exec >&-; exec \"$0\" \"$@\"", QUILLMERE_BINARY, "--convert",
                                       "--settings", scratch.settings(), data + "/lib"});
        QVERIFY2(outcome.ended, qPrintable(outcome.story()));
        QVERIFY2(outcome.exitCode == AllConverted, qPrintable(outcome.story()));
        QVERIFY2(outcome.err.isEmpty(), qPrintable(outcome.story()));
    }

    void fileList_data()
    {
        QTest::addColumn<Separator>("separator");
        QTest::addColumn<ListSource>("source");
        QTest::addColumn<QStringList>("listed"); // for find: its starting points
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("standard input, lines")
            << Lines << StandardInput
            << QStringList{"{data}/lib/a/one.flac", "lib/b/two.flac", "", "odd/with space.flac"} << QStringList()
            << QStringList{done("lib/a/one.flac"), done("lib/b/two.flac"), done("odd/with space.flac")};
        QTest::newRow("standard input, lines, and paths")
            << Lines << StandardInput << QStringList{"lib/a/one.flac"} << QStringList{"lib/b"}
            << QStringList{done("lib/a/one.flac"), done("lib/b/two.flac"), skipped("lib/b/notes.txt")};
        QTest::newRow("list file, lines")
            << Lines << ListFile << QStringList{"lib/b", "odd/with space.flac"} << QStringList{"lib/a/one.flac"}
            << QStringList{done("lib/a/one.flac"), done("lib/b/two.flac"), skipped("lib/b/notes.txt"),
                           done("odd/with space.flac")};
        QTest::newRow("two list files, Windows line ends, blank lines, and paths")
            << Lines << TwoListFiles << QStringList{"lib/a/one.flac\r", " \t", "odd/with space.flac\r", "\r"}
            << QStringList{"lib/b/two.flac"}
            << QStringList{done("lib/a/one.flac"), done("odd/with space.flac"), done("lib/b/two.flac")};
        QTest::newRow("a name that would forge a line")
            << Lines << StandardInput << QStringList() << QStringList{"forged"}
            << QStringList{done("forged/bad\\nDone\\tforged\\tx.flac")};
        QTest::newRow("standard input, NUL")
            << Nul << StandardInput << QStringList{"odd/new\nline.flac", "{data}/lib/b/notes.txt"}
            << QStringList{"lib/a/one.flac"}
            << QStringList{done("odd/new\nline.flac"), skipped("lib/b/notes.txt"), done("lib/a/one.flac")};
        QTest::newRow("list file, NUL")
            << Nul << ListFile << QStringList{"odd"} << QStringList()
            << QStringList{done("odd/new\nline.flac"), done("odd/with space.flac")};
        QTest::newRow("find -print0 on standard input")
            << Nul << FindOnStandardInput << QStringList{"odd", "lib/b"} << QStringList{"{data}/lib/a"}
            << QStringList{done("odd/new\nline.flac"), done("odd/with space.flac"), done("lib/b/two.flac"),
                           skipped("lib/b/notes.txt"), done("lib/a/one.flac")};
    }

    // Every result line ends in the separator, names the input's absolute
    // path, and nothing else is written on standard output.
    void fileList()
    {
        QFETCH(Separator, separator);
        QFETCH(ListSource, source);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, paths);
        QFETCH(QStringList, lines);
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSettings(scratch.settings(), settingsFor(Usable, scratch)));
        const char end = separator == Nul ? '\0' : '\n';

        QByteArray list;
        if (source != FindOnStandardInput) {
            for (const QString &path : expand(listed, scratch))
                list += QFile::encodeName(path) + end;
        }
        QStringList arguments{"--convert", "--settings", scratch.settings(), "--files-from"};
        if (separator == Nul)
            arguments.prepend("--null");
        Feed feed;
        switch (source) {
        case StandardInput:
            arguments << "-";
            feed.bytes = list;
            break;
        case ListFile:
            QVERIFY(writeText(scratch.path() + "/list", list));
            arguments << scratch.path() + "/list";
            break;
        case TwoListFiles: {
            // The first path in one list, the rest in another.
            const int split = list.indexOf(end) + 1;
            QVERIFY(writeText(scratch.path() + "/list", list.left(split)));
            QVERIFY(writeText(scratch.path() + "/more", list.mid(split)));
            arguments << scratch.path() + "/list" << "--files-from" << scratch.path() + "/more";
            break;
        }
        case FindOnStandardInput:
            arguments << "-";
            feed.findArguments = expand(listed, scratch) + QStringList{"-type", "f", "-print0"};
            break;
        }

        const Outcome outcome = quillmere(arguments + expand(paths, scratch), feed);
        QVERIFY2(outcome.ended && outcome.exitCode == AllConverted, qPrintable(outcome.story()));
        QVERIFY2(outcome.out.endsWith(end), qPrintable(outcome.story()));
        lines = expand(lines, scratch);
        lines.sort();
        QCOMPARE(records(outcome.out, end), lines);
        checkOutputs(lines);
        QVERIFY2(outcome.err.isEmpty(), qPrintable(outcome.story()));
    }

    void streamedList_data()
    {
        QTest::addColumn<QByteArray>("first"); // listed at once
        QTest::addColumn<QByteArray>("seen");  // then waited for on standard output or error
        QTest::addColumn<QByteArray>("rest");  // then listed, and the list ends
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("first result before the list ends")
            << QByteArray("{data}/lib/a/one.flac\n") << QByteArray("Done\t") << QByteArray("lib/b/two.flac\n")
            << QStringList{done("lib/a/one.flac"), done("lib/b/two.flac")};
        // Converting in place: the MP3 beside the FLAC is listed only once
        // the FLAC's job runs, and is still not replaced. Its own row, whose
        // output name the FLAC's row took, reads it as the text it is.
        QTest::newRow("output that is an input listed later")
            << QByteArray("{scratch}/in/song.flac\n") << QByteArray("Starting job 1")
            << QByteArray("{scratch}/in/song.mp3\n")
            << QStringList{"Failed\t{scratch}/in/song.flac\t{scratch}/in/song.mp3",
                           "Failed\t{scratch}/in/song.mp3\t{scratch}/in/song (2).mp3"};
    }

    // A list still being written feeds a running batch.
    void streamedList()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, seen);
        QFETCH(QByteArray, rest);
        QFETCH(QStringList, lines);
        const Scratch scratch(home.dir.path());
        QStringList settings = settingsFor(Usable, scratch);
        if (first.contains("{scratch}"))
            settings[3] = "OutputDirectory=" + scratch.path() + "/in";
        QVERIFY(writeSettings(scratch.settings(), settings));
        QVERIFY(writeText(scratch.path() + "/in/song.mp3", "an earlier file"));
        QVERIFY(QFile::copy(data + "/lib/a/one.flac", scratch.path() + "/in/song.flac"));

        Child process;
        const auto ended = qScopeGuard([&process] {
            process.kill();
            process.waitForFinished(10000);
        });
        QVERIFY(startQuillmere(process, {"--convert", "--verbose", "--settings", scratch.settings(), "--files-from", "-"}));
        process.write(expand(QString::fromUtf8(first), scratch).toUtf8());
        QByteArray out, err;
        QTRY_VERIFY2_WITH_TIMEOUT((out += process.readAllStandardOutput(), err += process.readAllStandardError(),
                                   out.contains(seen) || err.contains(seen)),
                                  qPrintable("Not seen within 30 s while the list is open: " + seen), 30000);
        process.write(expand(QString::fromUtf8(rest), scratch).toUtf8());
        process.closeWriteChannel();
        QVERIFY2(process.waitForFinished(60000), "Not ended within a minute of the list's end");
        out += process.readAllStandardOutput();
        lines = expand(lines, scratch);
        QCOMPARE(process.exitCode(), int(lines.filter("Failed").isEmpty() ? AllConverted : SomeFailed));
        lines.sort();
        QCOMPARE(records(out, '\n'), lines);
        QCOMPARE(contentOf(scratch.path() + "/in/song.mp3"), QByteArray("an earlier file"));
    }

    void settingsFile_data()
    {
        QTest::addColumn<SettingsSource>("source");
        QTest::addColumn<Store>("store");

        QTest::newRow("--settings, no saved settings") << NamedFile << NoStore;
        QTest::newRow("--settings beside saved settings") << NamedFile << StoreOfOtherValues;
        QTest::newRow("saved settings") << SavedSettings << StoreOfTheseValues;
    }

    // The file named wins whole: a key it leaves out takes its default, not
    // the saved value. Neither the file nor the user's store is written.
    void settingsFile()
    {
        QFETCH(SettingsSource, source);
        QFETCH(Store, store);
        const Scratch scratch(home.dir.path());
        const auto removeStore = qScopeGuard([this] { QFile::remove(home.configFile()); });
        QVERIFY(!QFileInfo::exists(home.configFile()));

        const QStringList these{"FFmpegBinary=" + ffmpeg, "OutputFormat=wav",
                                "OutputDirectory=" + scratch.out() + "/{sourcedir}"};
        // Each of these would make the job fail, or write elsewhere.
        const QStringList others{"FFmpegBinary=" + scratch.path() + "/no-such-ffmpeg", "OutputFormat=ogg",
                                 "AudioFilters=volume=nonsense",
                                 "OutputDirectory=" + scratch.path() + "/elsewhere/{sourcedir}"};
        QStringList arguments{"--convert", "lib/a/one.flac"};
        if (source == NamedFile) {
            QVERIFY(writeSettings(scratch.settings(), these));
            QVERIFY(backdate(scratch.settings()));
            arguments << "--settings" << scratch.settings();
        }
        if (store != NoStore) {
            QVERIFY(writeSettings(home.configFile(), store == StoreOfTheseValues ? these : others));
            QVERIFY(backdate(home.configFile()));
        }
        const QByteArray settingsBefore = contentOf(scratch.settings());
        const QByteArray storeBefore = contentOf(home.configFile());
        const QDateTime settingsTime = QFileInfo(scratch.settings()).lastModified();
        const QDateTime storeTime = QFileInfo(home.configFile()).lastModified();

        const Outcome outcome = quillmere(arguments);
        QVERIFY2(outcome.ended && outcome.exitCode == AllConverted, qPrintable(outcome.story()));
        QCOMPARE(records(outcome.out, '\n'), QStringList{expand(done("lib/a/one.flac", "wav"), scratch)});
        QCOMPARE(probe(expand("{out}/{data}/lib/a/one.wav", scratch), "stream=codec_name"), QString("pcm_s16le"));
        QVERIFY(!QFileInfo::exists(scratch.path() + "/elsewhere"));

        QCOMPARE(contentOf(scratch.settings()), settingsBefore);
        QCOMPARE(QFileInfo(scratch.settings()).lastModified(), settingsTime);
        QCOMPARE(QFileInfo::exists(home.configFile()), store != NoStore);
        QCOMPARE(contentOf(home.configFile()), storeBefore);
        QCOMPARE(QFileInfo(home.configFile()).lastModified(), storeTime);
    }

    // UTF-8 without a byte-order mark, naming only a format and a folder.
    void handWrittenSettings()
    {
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSettings(scratch.settings(), {"OutputFormat=opus", "OutputDirectory=" + scratch.path() + "/Über"}));
        const Outcome outcome = quillmere({"--convert", "--settings", scratch.settings(), "lib/a/one.flac"});
        QVERIFY2(outcome.ended && outcome.exitCode == AllConverted, qPrintable(outcome.story()));
        const QString output = scratch.path() + "/Über/one.opus";
        QCOMPARE(records(outcome.out, '\n'), QStringList{"Done\t" + data + "/lib/a/one.flac\t" + output});
        QVERIFY(QFileInfo(output).size() > 0);
    }

    void standardError_data()
    {
        QTest::addColumn<Log>("log");
        QTest::addColumn<QByteArray>("rules");    // QT_LOGGING_RULES
        QTest::addColumn<QStringList>("starts");  // how lines of the log begin
        QTest::addColumn<QString>("absent");
        QTest::newRow("quiet") << Quiet << QByteArray() << QStringList() << QString();
        QTest::newRow("--verbose") << Verbose << QByteArray() << QStringList{"Settings loaded", "Starting job 1 | \""}
                                   << QString();
        QTest::newRow("--verbose, engine's lines left out")
            << Verbose << QByteArray("quillmere.engine.debug=false") << QStringList{"Settings loaded"} << "job";
    }

    // Standard error is no terminal here, so it never gets the progress line.
    void standardError()
    {
        QFETCH(Log, log);
        QFETCH(QByteArray, rules);
        QFETCH(QStringList, starts);
        QFETCH(QString, absent);
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSettings(scratch.settings(), settingsFor(Usable, scratch)));
        QStringList arguments{"--convert", "--settings", scratch.settings(), "lib/a/one.flac"};
        if (log == Verbose)
            arguments << "--verbose";
        const QByteArray rulesBefore = qgetenv("QT_LOGGING_RULES");
        const auto restore = qScopeGuard([&rulesBefore] { qputenv("QT_LOGGING_RULES", rulesBefore); });
        if (!rules.isEmpty())
            qputenv("QT_LOGGING_RULES", rules);

        const Outcome outcome = quillmere(arguments);
        QVERIFY2(outcome.ended && outcome.exitCode == AllConverted, qPrintable(outcome.story()));
        QCOMPARE(records(outcome.out, '\n'), QStringList{expand(done("lib/a/one.flac"), scratch)});
        QVERIFY2(!outcome.err.contains('\r'), qPrintable(outcome.story()));
        const QStringList lines = records(outcome.err, '\n');
        QVERIFY2(log == Verbose || lines.isEmpty(), qPrintable(outcome.story()));
        for (const QString &start : starts)
            QVERIFY2(!lines.filter(QRegularExpression('^' + QRegularExpression::escape(start))).isEmpty(),
                     qPrintable(start + " missing from\n" + outcome.story()));
        QVERIFY2(absent.isEmpty() || !outcome.err.contains(absent.toUtf8()), qPrintable(outcome.story()));
    }

    // Why a job failed, and that an input could not all be decoded, go to
    // standard error, one line each whatever the name holds; names never
    // pass for the encoder's messages.
    void reasonsOnStandardError()
    {
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSettings(scratch.settings(), settingsFor(Usable, scratch)));
        const Outcome outcome = quillmere({"--convert", "--settings", scratch.settings(), data + "/reasons"});
        QVERIFY2(outcome.ended && outcome.exitCode == SomeFailed, qPrintable(outcome.story()));
        QVERIFY2(outcome.out.count("Done\t") == 3 && outcome.out.count("Failed\t") == 1 && !outcome.out.contains(": "),
                 qPrintable(outcome.story()));
        const QStringList lines = records(outcome.err, '\n');
        const QString damaged = data + "/reasons/cut\\nshort.flac: decoded with errors: ";
        QVERIFY2(lines.size() == 2 && lines[0].startsWith(data + "/reasons/broken.flac: ")
                     && lines[0].endsWith("(exit code 1)") && lines[1].startsWith(damaged)
                     && lines[1].size() > damaged.size() && !lines[1].contains("Error while decoding"),
                 qPrintable(outcome.story()));
    }

    // A dry run prints each file's plan in result lines, numbering outputs
    // that would share a name, and writes nothing: not even the output folder.
    void dryRun_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("reasons"); // standard error
        QTest::addColumn<ExitStatus>("status");
        QTest::newRow("one folder for all")
            << QStringList{"--output-dir", "{out}/flat", "{data}/par/y/t1.flac", "{data}/par/x"}
            << QStringList{"Convert\t{data}/par/y/t1.flac\t{out}/flat/t1.mp3",
                           "Convert\t{data}/par/x/t1.flac\t{out}/flat/t1 (2).mp3",
                           "Convert\t{data}/par/x/t2.flac\t{out}/flat/t2.mp3",
                           "Convert\t{data}/par/x/t3.flac\t{out}/flat/t3.mp3"}
            << "" << AllConverted;
        QTest::newRow("onto its own input")
            << QStringList{"--format", "flac", "--output-dir", "{sourcedir}", "{data}/lib/a/one.flac"}
            << QStringList{"Fail\t{data}/lib/a/one.flac\t{data}/lib/a/one.flac"}
            << "{data}/lib/a/one.flac: The output would replace the input\n" << SomeFailed;
    }

    void dryRun()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, lines);
        QFETCH(QString, reasons);
        QFETCH(ExitStatus, status);
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSettings(scratch.settings(), settingsFor(Usable, scratch)));
        const QStringList before = filesBelow(data);
        const Outcome outcome = quillmere(QStringList{"--convert", "--dry-run", "--settings", scratch.settings()}
                                          + expand(arguments, scratch));
        QVERIFY2(outcome.ended && outcome.exitCode == status, qPrintable(outcome.story()));
        lines.sort();
        QCOMPARE(records(outcome.out, '\n'), expand(lines, scratch));
        QCOMPARE(QString::fromUtf8(outcome.err), expand(reasons, scratch));
        QVERIFY2(!QFileInfo::exists(scratch.out()), "the output folder was made");
        QCOMPARE(filesBelow(data), before);
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Match>("match");
        QTest::addColumn<QStringList>("texts");

        const QStringList help{"Usage:", "--convert", "--files-from <file>", "--null", "--settings <file>",
                               "--set <key=value>", "--format <id>", "--output-dir <dir>", "--verbose", "--start"};
        const QStringList version{"Quillmere " QUILLMERE_VERSION "\n"};
        QTest::newRow("--help") << QStringList{"--help"} << Includes << help;
        QTest::newRow("--version") << QStringList{"--version"} << Whole << version;
        QTest::newRow("--convert --help") << QStringList{"--convert", "--help"} << Includes << help;
        QTest::newRow("--convert --version") << QStringList{"--convert", "--version", "lib/a/one.flac"}
                                             << Whole << version;
    }

    void helpAndVersion()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Match, match);
        QFETCH(QStringList, texts);

        const Outcome outcome = quillmere(arguments);
        QVERIFY2(outcome.ended && outcome.exitCode == 0, qPrintable(outcome.story()));
        const QString out = QString::fromUtf8(outcome.out);
        if (match == Whole) {
            QCOMPARE(out, texts.join(QString()));
        } else {
            for (const QString &text : texts)
                QVERIFY2(out.contains(text), qPrintable(text + " missing from\n" + outcome.story()));
        }
    }

    void interrupted_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<Encoder>("encoder");

        QTest::newRow("Ctrl+C") << int(SIGINT) << SlowedByFilter;
        QTest::newRow("Ctrl+C, encoder behind a shell") << int(SIGINT) << BehindAShell;
        QTest::newRow("SIGTERM, encoder behind a shell") << int(SIGTERM) << BehindAShell;
        QTest::newRow("SIGHUP") << int(SIGHUP) << SlowedByFilter;
    }

    // The encoders of the running jobs are stopped, with whatever they
    // started, and no file is left: neither a temporary one nor one under the
    // name of an output.
    void interrupted()
    {
        QFETCH(int, signal);
        QFETCH(Encoder, encoder);
        const Scratch scratch(home.dir.path());
        QStringList settings = settingsFor(Usable, scratch);
        if (encoder == SlowedByFilter)
            settings << "AudioFilters=arealtime";
        else
            settings[0] = "FFmpegBinary=" + data + "/slow-encoder";
        QVERIFY(writeSettings(scratch.settings(), settings));

        Child process;
        process.setWorkingDirectory(data);
        process.setProcessEnvironment(withoutDisplay());
        const auto ended = qScopeGuard([&process] {
            if (process.state() != QProcess::NotRunning) {
                process.kill();
                process.waitForFinished(10000);
            }
        });
        process.start(QUILLMERE_BINARY, {"--convert", "--settings", scratch.settings(), "slow"});
        QVERIFY2(process.waitForStarted(10000), qPrintable(process.errorString()));
        QTRY_VERIFY2_WITH_TIMEOUT(!temporaryFilesBelow(scratch.out()).isEmpty()
                                      || process.state() == QProcess::NotRunning,
                                  "No encoder began writing within 30 s", 30000);
        const qint64 pid = process.processId();
        QVERIFY2(pid > 0, qPrintable("It ended by itself:\n" + QString::fromUtf8(process.readAllStandardError())));
        QVERIFY2(!processesNaming(scratch.out()).isEmpty(), "The running encoders are not seen");

        QCOMPARE(::kill(pid_t(pid), signal), 0);
        QVERIFY2(process.waitForFinished(30000), "Still running 30 s after the signal");
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit, qPrintable(err));
        QCOMPARE(process.exitCode(), 128 + signal);
        QVERIFY2(processesNaming(scratch.out()).isEmpty(), qPrintable(processesNaming(scratch.out()).join('\n')));
        QCOMPARE(filesBelow(scratch.out()), QStringList());
        const QByteArray out = process.readAllStandardOutput();
        QVERIFY2(!out.contains("Done"), out.constData());
    }

    void resultsNotTaken_data()
    {
        QTest::addColumn<Destination>("destination");
        QTest::addColumn<ExitStatus>("exitStatus");
        QTest::addColumn<QString>("message"); // on standard error; none at all when empty

        QTest::newRow("| head -1") << ReaderThatGoesAway << ReaderWentAway << "";
        QTest::newRow("> /dev/full") << FullDevice << SomeFailed << "Cannot write the results: No space left on device";
    }

    // Results that cannot be written end the batch the clean way, the first
    // time: the running encoders are stopped, no file is left half written,
    // and the jobs not yet begun are dropped.
    void resultsNotTaken()
    {
        QFETCH(Destination, destination);
        QFETCH(ExitStatus, exitStatus);
        QFETCH(QString, message);
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSlowSettings(scratch));
        const auto leftovers = qScopeGuard([&scratch] { killProcessesNaming(scratch.out()); });

        // The short tone's line comes first, the others' seconds later.
        QStringList arguments{"--convert", "--settings", scratch.settings(), "lib/a/one.flac"};
        for (int i = 1; i <= 5; ++i)
            arguments << QString("paced/s%1.flac").arg(i);
        ResultPipe reader(scratch.path() + "/results");
        QVERIFY2(reader.isOpen(), "No named pipe");
        Child process;
        process.setStandardOutputFile(destination == FullDevice ? QString("/dev/full") : reader.path);
        const auto ended = qScopeGuard([&process] {
            process.kill();
            process.waitForFinished(10000);
        });
        QVERIFY2(startQuillmere(process, arguments), qPrintable(process.errorString()));

        if (destination == ReaderThatGoesAway) {
            QByteArray taken;
            QTRY_VERIFY2_WITH_TIMEOUT((taken += reader.readAvailable()).contains('\n'), "No result line within 30 s",
                                      30000);
            reader.close();
        }
        QVERIFY2(process.waitForFinished(60000), "Still running 60 s after its results could not be written");
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit,
                 qPrintable(QString("Ended by signal %1\n%2").arg(process.exitCode()).arg(err)));
        QVERIFY2(process.exitCode() == exitStatus,
                 qPrintable(QString("Exit code %1\n%2").arg(process.exitCode()).arg(err)));
        if (message.isEmpty())
            QVERIFY2(err.isEmpty(), qPrintable(err));
        else
            QVERIFY2(err.contains(message), qPrintable(err));

        QVERIFY2(processesNaming(scratch.out()).isEmpty(), qPrintable(processesNaming(scratch.out()).join('\n')));
        QCOMPARE(temporaryFilesBelow(scratch.out()), QStringList());
        // The first line fails at once on a full device, the second one tone
        // later through the pipe: the jobs begun after that were dropped.
        const QString folder = expand("{out}/{data}", scratch);
        QStringList outputs = filesBelow(folder);
        for (const char *made : {"lib/a/one.mp3", "paced/s1.mp3", "paced/s2.mp3"})
            outputs.removeOne(made);
        QVERIFY2(outputs.isEmpty(), qPrintable("Jobs that ran on: " + outputs.join(", ")));
    }

    void signalWhileResultsWait_data()
    {
        QTest::addColumn<int>("signal");

        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("Ctrl+C") << int(SIGINT);
    }

    // A reader that takes no results does not hold up a signal's clean stop:
    // many result lines fill the pipe, then encoders run.
    void signalWhileResultsWait()
    {
        QFETCH(int, signal);
        const Scratch scratch(home.dir.path());
        QVERIFY(writeSlowSettings(scratch));
        const auto leftovers = qScopeGuard([&scratch] { killProcessesNaming(scratch.out()); });

        QStringList listed;
        for (int i = 0; i < 3000; ++i)
            listed << QString("many/a-result-line-for-a-pipe-nobody-reads-%1.txt").arg(i);
        for (int i = 1; i <= 4; ++i)
            listed << QString("slow/t%1.flac").arg(i);
        QVERIFY(writeText(scratch.path() + "/list", listed.join('\n').toUtf8() + '\n'));

        ResultPipe reader(scratch.path() + "/results");
        QVERIFY2(reader.isOpen(), "No named pipe");
        Child process;
        process.setStandardOutputFile(reader.path);
        const auto ended = qScopeGuard([&process, &reader] {
            reader.close();
            process.kill();
            process.waitForFinished(10000);
        });
        QVERIFY2(startQuillmere(process, {"--convert", "--settings", scratch.settings(), "--files-from",
                                          scratch.path() + "/list"}),
                 qPrintable(process.errorString()));
        // Lines that do not fit a page's rest start the next, so a full pipe
        // holds less than its capacity; the lines are several times that.
        const int filled = reader.capacity() / 2;
        QTRY_VERIFY2_WITH_TIMEOUT((reader.unread() > filled && !temporaryFilesBelow(scratch.out()).isEmpty())
                                      || process.state() == QProcess::NotRunning,
                                  "The pipe did not fill with encoders running within 60 s", 60000);
        const qint64 pid = process.processId();
        QVERIFY2(pid > 0, qPrintable("It ended by itself:\n" + QString::fromUtf8(process.readAllStandardError())));

        QCOMPARE(::kill(pid_t(pid), signal), 0);
        QVERIFY2(process.waitForFinished(10000), "Still running 10 s after the signal, its standard output full");
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit, qPrintable(err));
        QCOMPARE(process.exitCode(), 128 + signal);
        QVERIFY2(processesNaming(scratch.out()).isEmpty(), qPrintable(processesNaming(scratch.out()).join('\n')));
        QCOMPARE(filesBelow(scratch.out()), QStringList());
    }

    void secondSignal_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");

        QTest::newRow("Ctrl+C twice") << int(SIGINT) << int(SIGINT);
        QTest::newRow("SIGTERM, then Ctrl+C") << int(SIGTERM) << int(SIGINT);
    }

    // The clean stop gives encoders a grace to end; one that takes no heed
    // holds it up, and a second signal meanwhile ends Quillmere at once.
    void secondSignal()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        const Scratch scratch(home.dir.path());
        const QString encoder = scratch.path() + "/heedless-encoder";
        QVERIFY(writeText(encoder, "#!/bin/sh\ntrap '' TERM\nwhile :; do sleep 1; done\n"));
        QVERIFY(QFile::setPermissions(encoder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QStringList settings = settingsFor(Usable, scratch);
        settings[0] = "FFmpegBinary=" + encoder;
        QVERIFY(writeSettings(scratch.settings(), settings));
        const auto leftovers = qScopeGuard([&encoder] { killProcessesNaming(encoder); });

        Child process;
        const auto ended = qScopeGuard([&process] {
            process.kill();
            process.waitForFinished(10000);
        });
        QVERIFY2(startQuillmere(process, {"--convert", "--settings", scratch.settings(), "lib"}),
                 qPrintable(process.errorString()));
        QTRY_VERIFY2_WITH_TIMEOUT(processesNaming(encoder).size() >= 2 || process.state() == QProcess::NotRunning,
                                  "The two encoders did not start within 30 s", 30000);
        const qint64 pid = process.processId();
        QVERIFY2(pid > 0, qPrintable("It ended by itself:\n" + QString::fromUtf8(process.readAllStandardError())));

        QCOMPARE(::kill(pid_t(pid), first), 0);
        QTest::qWait(300);
        QVERIFY2(process.state() == QProcess::Running, "Ended before its encoders' grace was out");
        QCOMPARE(::kill(pid_t(pid), second), 0);
        QVERIFY2(process.waitForFinished(2000),
                 "Still running 2 s after the second signal: it waits out the encoders' grace");
        QVERIFY2(process.exitStatus() == QProcess::CrashExit,
                 qPrintable(QString("Exited with code %1 rather than by the second signal").arg(process.exitCode())));
        QCOMPARE(process.exitCode(), second);
    }

    // The README's way of spreading a library over several machines, with
    // this one standing in for two: each share goes to a `quillmere
    // --convert` of its own, and together they make what one run makes.
    void sharedOut()
    {
        const QString parallel = QStandardPaths::findExecutable("parallel");
        if (parallel.isEmpty())
            QSKIP("GNU parallel is not installed (./dev.sh installs the package parallel)");
        if (!run(parallel, {"--version"}).out.startsWith("GNU parallel"))
            QSKIP("The parallel on the PATH is not GNU parallel");

        const Scratch single(home.dir.path()), shared(home.dir.path());
        for (const Scratch *scratch : {&single, &shared}) {
            QStringList settings = settingsFor(Usable, *scratch);
            settings[4] = "Threads=1";
            QVERIFY(writeSettings(scratch->settings(), settings));
        }

        const Outcome one = quillmere({"--convert", "--null", "--settings", single.settings(), data + "/par"});
        QVERIFY2(one.ended && one.exitCode == AllConverted, qPrintable(one.story()));

        const QString jobLog = shared.path() + "/jobs";
        Feed library;
        library.findArguments = QStringList{data + "/par", "-type", "f", "-print0"};
        const Outcome many = run(parallel,
                                 {"--will-cite", "--pipe", "--recend", "\\0", "-N", "2", "--sshlogin", "2/:",
                                  "--joblog", jobLog, QUILLMERE_BINARY, "--convert", "--null", "--files-from",
                                  "-", "--settings", shared.settings()},
                                 library);
        QVERIFY2(many.ended && many.exitCode == 0, qPrintable(many.story()));

        // Eight files in shares of two: four runs, each of which succeeded.
        const QStringList jobs = QString::fromUtf8(contentOf(jobLog)).split('\n', Qt::SkipEmptyParts).mid(1);
        QVERIFY2(jobs.size() == 4, qPrintable(jobs.join('\n')));
        for (const QString &job : jobs)
            QVERIFY2(job.split('\t').value(6) == "0", qPrintable(job));

        const QStringList lines = records(one.out, '\0');
        QCOMPARE(lines.size(), 8);
        // The same lines, but for the output folder.
        const QByteArray sharedLines =
            QByteArray(many.out).replace(QFile::encodeName(shared.out()), QFile::encodeName(single.out()));
        QCOMPARE(records(sharedLines, '\0'), lines);
        const QStringList files = filesBelow(single.out());
        QCOMPARE(files.size(), 7);
        QCOMPARE(filesBelow(shared.out()), files);
        for (const QString &file : files)
            QVERIFY2(contentOf(single.out() + '/' + file) == contentOf(shared.out() + '/' + file),
                     qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(TestHeadless)
#include "test_headless.moc"
