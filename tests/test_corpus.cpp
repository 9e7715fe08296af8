// SPDX-License-Identifier: GPL-3.0-or-later
// Batches over awkward inputs, run through the real window with the real
// encoder: odd names, damaged and mislabelled files, trees that change or
// fight back, outputs that collide with inputs, misbehaving encoders, and a
// batch of ten thousand files. Every input must stay as it was, every row must
// end with the right status, and nothing but the expected outputs may be left.
#include "conversiontestsupport.h"
#include "dialogtesting.h"
#include "mainwindow/mainwindow.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#endif

// One object of a corpus, made below the batch folder. Entries below "in/"
// reach the window by dropping that folder; entries below "named/" are named
// one by one, as on the command line.
struct Entry
{
    Entry(const QByteArray &name = {}, const QByteArray &kind = {}, const QString &status = {},
          const QByteArray &change = {})
        : name(name), kind(kind), status(status), change(change)
    {
    }
    QByteArray name;   // relative path in raw bytes: names need not be UTF-8
    QByteArray kind;   // what is made there, see make()
    QString status;    // the row's final status; empty: the entry must get no row
    // Made between intake and Convert: "delete", "unreadable", "fifo"; or
    // "stale": an output of an earlier run, which only a successful conversion replaces.
    QByteArray change;
};
using Corpus = QVector<Entry>;
Q_DECLARE_METATYPE(Corpus)

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CORPUS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define CORPUS_SANITIZED 1
#endif
#endif

// Resident memory one batch may add to the window's process, in kB: its rows'
// statuses and, per running job, a bounded excerpt of the encoder's output.
// Ten thousand jobs add about 15 MB; keeping 8 kB of output per job would add
// 80 MB more. AddressSanitizer holds up to 256 MB of freed memory back and
// ThreadSanitizer shadows every byte, so they get more room.
#ifdef CORPUS_SANITIZED
constexpr qint64 batchMemoryBound = 640 * 1024;
#else
constexpr qint64 batchMemoryBound = 64 * 1024;
#endif

const QString ffmpeg = QStringLiteral("/usr/bin/ffmpeg");

QByteArray native(const QString &path) { return QFile::encodeName(path); }

// How a raw name is shown in a failure message: as text when it is UTF-8.
QString shown(const QByteArray &raw)
{
    const QString text = QString::fromUtf8(raw);
    return text.toUtf8() == raw ? text : QString::fromLatin1("bytes:" + raw.toPercentEncoding("/"));
}

bool makeFolders(const QByteArray &path)
{
    for (int at = path.indexOf('/', 1); at != -1; at = path.indexOf('/', at + 1))
        ::mkdir(path.left(at).constData(), 0755);
    return ::mkdir(path.constData(), 0755) == 0 || errno == EEXIST;
}

bool writeRaw(const QByteArray &path, const QByteArray &content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

// Size and checksum of a regular file, or what else is there. Never opens a
// FIFO, which would block.
QString fingerprint(const QByteArray &path)
{
    struct stat status;
    if (::lstat(path.constData(), &status) != 0)
        return QStringLiteral("missing");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("fifo");
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("link");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("other");
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return QStringLiteral("unreadable");
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return QString::number(status.st_size) + ' ' + hash.result().toHex();
}

// Every object below `root` that is not a folder, as paths relative to it.
void listTree(const QByteArray &root, const QByteArray &relative, QStringList &found)
{
    DIR *dir = ::opendir((root + relative).constData());
    if (!dir) {
        found << "unlisted folder: " + shown(relative);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = relative + '/' + name;
        struct stat status;
        if (::lstat((root + path).constData(), &status) == 0 && S_ISDIR(status.st_mode))
            listTree(root, path, found);
        else
            found << shown(path.mid(1));
    }
    ::closedir(dir);
}

QStringList outputTree(const QByteArray &root)
{
    QStringList found;
    listTree(root, QByteArray(), found);
    found.removeAll(QStringLiteral("encoder"));
    found.sort();
    return found;
}

// The kinds of the streams of a file ("audio", "video"), sorted, one a line.
QString streams(const QString &path)
{
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"), {"-v", "error", "-show_entries", "stream=codec_type",
                                              "-of", "csv=p=0", path});
    if (!ffprobe.waitForFinished(30000))
        return QStringLiteral("ffprobe did not end");
    QStringList kinds = QString::fromUtf8(ffprobe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    kinds.sort();
    return kinds.join('\n');
}

#ifdef __linux__
qint64 statusField(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
#endif

// Starts a new measure of the peak resident memory; returns the memory now, in kB.
qint64 resetPeakMemory()
{
#ifdef __linux__
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    return statusField("VmRSS:");
#else
    return 0;
#endif
}

// Checks what a batch added to the peak since resetPeakMemory() returned `start`.
void verifyMemory(qint64 start)
{
#ifdef __linux__
    QVERIFY2(start > 0, "the peak resident memory cannot be measured");
    const qint64 growth = statusField("VmHWM:") - start;
    QVERIFY2(growth < batchMemoryBound, qPrintable(QString("the batch added %1 kB").arg(growth)));
#else
    Q_UNUSED(start);
#endif
}

// Removes a tree whose names need not be UTF-8, which QDir cannot.
struct RawTree
{
    QByteArray root;
    ~RawTree()
    {
        const auto remove = [](const char *path, const struct stat *, int, FTW *) {
            ::remove(path);
            return 0;
        };
        ::nftw(root.constData(), remove, 64, FTW_DEPTH | FTW_PHYS);
    }
};

// Restores the modes it was told about when it goes, so the temporary folder
// can be removed whatever happened.
struct ModeGuard
{
    QList<QPair<QByteArray, mode_t>> paths;
    void set(const QByteArray &path, mode_t locked, mode_t usual)
    {
        paths << qMakePair(path, usual);
        ::chmod(path.constData(), locked);
    }
    void restore()
    {
        for (const auto &path : qAsConst(paths))
            ::chmod(path.first.constData(), path.second);
        paths.clear();
    }
    ~ModeGuard() { restore(); }
};

} // namespace

class TestCorpus : public QObject
{
    Q_OBJECT

public:
    QString privilegeError; // why the test process could not give up root's file access

private:
    QTemporaryDir temp;
    QByteArray base; // the temporary folder, without symbolic links in its path

    // The main window and the widgets a batch is driven and read through.
    struct Window : MainWindow
    {
        QPushButton *convert = findChild<QPushButton *>(QStringLiteral("pushButton_Convert"));
        QProgressBar *progress = findChild<QProgressBar *>(QStringLiteral("progressBar"));
        QAbstractItemModel *model = findChild<QTableView *>(QStringLiteral("tableView"))->model();

        // "status path" per row, sorted.
        QStringList rows() const
        {
            QStringList texts;
            for (int row = 0; row < model->rowCount(); ++row)
                texts << model->index(row, 0).data().toString() + ' '
                        + model->index(row, 1).data().toString();
            texts.sort();
            return texts;
        }
    };

    QByteArray make(const QByteArray &root, const Entry &entry)
    {
        const QByteArray path = root + '/' + entry.name;
        const QByteArray tones = base + "/tones/";
        const int slash = path.lastIndexOf('/');
        if (!makeFolders(path.left(slash)))
            return "cannot make the folder of " + entry.name;
        bool made = true;
        if (entry.kind == "wav" || entry.kind == "flac" || entry.kind == "mp3" || entry.kind == "mkv"
            || entry.kind == "png") {
            QFile source(QFile::decodeName(tones + "tone." + entry.kind));
            made = source.open(QIODevice::ReadOnly) && writeRaw(path, source.readAll());
        } else if (entry.kind == "truncated") {
            QFile source(QFile::decodeName(tones + "tone.flac"));
            made = source.open(QIODevice::ReadOnly) && writeRaw(path, source.read(source.size() / 2));
        } else if (entry.kind == "random") {
            std::mt19937 generator(7);
            QByteArray bytes(4096, '\0');
            for (char &byte : bytes)
                byte = char(generator());
            made = writeRaw(path, bytes);
        } else if (entry.kind == "empty") {
            made = writeRaw(path, QByteArray());
        } else if (entry.kind == "text") {
            made = writeRaw(path, "This is not a sound.\n");
        } else if (entry.kind == "fifo") {
            made = ::mkfifo(path.constData(), 0644) == 0;
        } else if (entry.kind == "loop") {
            made = ::symlink(path.mid(slash + 1).constData(), path.constData()) == 0;
        } else if (entry.kind == "uplink") {
            made = ::symlink("..", path.constData()) == 0;
        } else if (entry.kind == "locked" || entry.kind == "readonly") {
            made = makeFolders(path);
        } else {
            return "unknown kind " + entry.kind;
        }
        return made ? QByteArray() : "cannot make " + entry.name;
    }

    // Makes the corpus, adds it to a window, makes the changes its entries ask for,
    // runs one batch and checks every row, input and output.
    void runCorpus(const Corpus &corpus, const QString &encoder, const QString &outputTemplate,
                   const QStringList &flags, const QString &box, const QStringList &logged)
    {
        QTemporaryDir batch(QFile::decodeName(base) + "/batch-XXXXXX");
        const QByteArray root = native(batch.path());
        const RawTree removal{root};
        ModeGuard modes;
        for (const Entry &entry : corpus) {
            const QByteArray error = make(root, entry);
            QVERIFY2(error.isEmpty(), error.constData());
        }
        QMap<QByteArray, QString> before;
        for (const Entry &entry : corpus)
            before.insert(entry.name, fingerprint(root + '/' + entry.name));

        const auto settings = restoreSettingsLater();
        resetSettings(encoder.isEmpty() ? ffmpeg : writeEncoder(batch.path(), "encoder", encoder),
                      QString(outputTemplate).replace('@', batch.path()));
        AppSettings::QuickConvertMode = flags.contains("quick");
        AppSettings::CopyNonAudioFiles = flags.contains("copy");
        AppSettings::Threads = flags.contains("single") ? 1 : 2;

        QStringList paths{batch.path() + "/in"}, pending, expected, outputs, tree;
        for (const Entry &entry : corpus) {
            const QString path = QFile::decodeName(root + '/' + entry.name);
            if (entry.kind == "locked")
                modes.set(root + '/' + entry.name, 0, 0755);
            if (entry.kind == "readonly")
                modes.set(root + '/' + entry.name, 0555, 0755);
            if (entry.name.startsWith("named/"))
                paths << path;
            if (!entry.status.isEmpty()) {
                pending << "Pending " + path;
                expected << entry.status + ' ' + path;
            }
            if (before.contains(entry.name) && entry.kind != "locked" && entry.kind != "readonly"
                && entry.change != "delete")
                tree << shown(entry.name);
            if (entry.status == "Done") {
                const QFileInfo input(path);
                const QString stem = QDir::cleanPath(
                    QString(AppSettings::OutputDirectory).replace("{sourcedir}", input.absolutePath())
                    + '/' + input.completeBaseName());
                // Later rows of one output name take " (2)", " (3)"... in row order.
                QString output = stem + ".mp3";
                for (int n = 2; outputs.contains(output); ++n)
                    output = stem + QString(" (%1).mp3").arg(n);
                outputs << output;
                tree << shown(native(outputs.last().mid(batch.path().size() + 1)));
            }
        }
        for (const Entry &entry : corpus) {
            if (entry.change == "stale" && outputs.contains(QFile::decodeName(root + '/' + entry.name)))
                before.remove(entry.name);
        }
        outputs.removeDuplicates();
        tree.removeDuplicates();
        tree.sort();
        pending.sort();
        expected.sort();

        Window window;
        window.addPaths(paths);
        QCOMPARE(window.rows(), pending);

        for (const Entry &entry : corpus) {
            const QByteArray path = root + '/' + entry.name;
            if (entry.change == "delete")
                QCOMPARE(::unlink(path.constData()), 0);
            if (entry.change == "unreadable")
                modes.set(path, 0, 0644);
            if (entry.change == "fifo") {
                QCOMPARE(::unlink(path.constData()), 0);
                QCOMPARE(::mkfifo(path.constData(), 0644), 0);
                before[entry.name] = QStringLiteral("fifo");
            }
        }

        LogCapture log;
        const qint64 memory = resetPeakMemory();
        QString boxText;
        {
            WhenModal<QMessageBox> boxes([&](QMessageBox *shownBox) { boxText = shownBox->text(); });
            window.convert->click();
            QTRY_VERIFY_WITH_TIMEOUT(window.convert->isEnabled(), 120000);
        }
        verifyMemory(memory);
        modes.restore();

        QCOMPARE(boxText, box);
        QCOMPARE(window.rows(), box.isEmpty() ? expected : pending);
        for (const Entry &entry : corpus) {
            if (before.contains(entry.name) && entry.change != "delete")
                QVERIFY2(fingerprint(root + '/' + entry.name) == before.value(entry.name),
                         qPrintable("changed: " + shown(entry.name)));
        }
        QCOMPARE(outputTree(root), tree);
        for (const QString &output : qAsConst(outputs))
            QCOMPARE(streams(output), QString("audio"));

        QCOMPARE(log.lines.count("Done"), box.isEmpty() ? 1 : 0);
        const QString results = log.lines.filter(QRegularExpression("^Result of job ")).join('\n');
        for (const QString &line : log.lines)
            QVERIFY2(line.size() < 1024 * 1024,
                     qPrintable(QString("a log line of %1 characters").arg(line.size())));
        if (!logged.isEmpty())
            QVERIFY2(!results.contains(QChar::ReplacementCharacter), "the encoder's output is logged broken");
        for (const QString &text : logged)
            QVERIFY2(results.contains(text), qPrintable("not logged: " + text));
    }

    static void addColumns()
    {
        QTest::addColumn<Corpus>("corpus");
        QTest::addColumn<QString>("encoder"); // a script body; empty: the real encoder
        QTest::addColumn<QString>("outputTemplate"); // @ stands for the batch folder
        QTest::addColumn<QStringList>("flags");      // "quick", "copy", "single" (one thread)
        QTest::addColumn<QString>("box");            // the text of the box Convert shows, if any
        QTest::addColumn<QStringList>("logged");     // texts the log must show of the encoder's output,
                                                     // which must be decoded whole
    }

    static void addRow(const char *name, const Corpus &corpus, const QString &encoder = {},
                       const QString &outputTemplate = "@/out/{sourcedir}", const QStringList &flags = {},
                       const QString &box = {}, const QStringList &logged = {})
    {
        QTest::newRow(name) << corpus << encoder << outputTemplate << flags << box << logged;
    }

    void runRow()
    {
        QFETCH(Corpus, corpus);
        QFETCH(QString, encoder);
        QFETCH(QString, outputTemplate);
        QFETCH(QStringList, flags);
        QFETCH(QString, box);
        QFETCH(QStringList, logged);
        runCorpus(corpus, encoder, outputTemplate, flags, box, logged);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        base = native(QFileInfo(temp.path()).canonicalFilePath());
        const QByteArray probe = base + "/mode-000";
        QVERIFY(writeRaw(probe, "secret"));
        QCOMPARE(::chmod(probe.constData(), 0), 0);
        const int fd = ::open(probe.constData(), O_RDONLY);
        if (fd >= 0)
            ::close(fd);
        QVERIFY2(fd < 0, qPrintable("this process can still open a file of mode 000, so the unreadable "
                                    "and read-only cases cannot work. " + privilegeError));

        const QString tones = QFile::decodeName(base) + "/tones/";
        for (const char *suffix : {"wav", "flac", "mp3"})
            QVERIFY(makeTone(tones + "tone." + suffix, 1));
        QVERIFY(makeTone(tones + "tone.mkv", 1,
                         {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=5:duration=1", "-c:v", "mpeg4"}));
        QCOMPARE(streams(tones + "tone.mkv"), QString("audio\nvideo"));
        QCOMPARE(QProcess::execute(ffmpeg, {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=32x32",
                                            "-frames:v", "1", tones + "tone.png"}), 0);
    }

    void names_data()
    {
        addColumns();
        addRow("spaces, quotes, backslash",
               {{"in/with  spaces .wav", "wav", "Done"}, {"in/say \"hi\".wav", "wav", "Done"},
                {"in/it's.flac", "flac", "Done"}, {"in/back\\slash.wav", "wav", "Done"}});
        addRow("line break, leading dash, %d",
               {{"in/line\nbreak.wav", "wav", "Done"}, {"in/-y.wav", "wav", "Done"},
                {"in/--help.flac", "flac", "Done"}, {"in/track%d.wav", "wav", "Done"},
                {"in/%03d%s.flac", "flac", "Done"}});
        addRow("non-ASCII", {{"in/café.wav", "wav", "Done"}, {"in/日本語.flac", "flac", "Done"},
                             {"in/\xF0\x9F\x8E\xB5 note.mp3", "mp3", "Done"}});
        const QByteArray japanese = QString("日").repeated(83).toUtf8();
        addRow("255-byte names", {{"in/" + QByteArray(251, 'a') + ".wav", "wav", "Done"},
                                  {"in/" + QByteArray(250, 'b') + ".flac", "flac", "Done"},
                                  {"in/" + japanese + "ab.wav", "wav", "Done"},
                                  // The output's name would be 256 bytes long.
                                  {"in/" + QByteArray(252, 'c') + ".au", "wav", "Failed"}});
        QByteArray deep = "in";
        for (int level = 1; level <= 60; ++level)
            deep += "/level" + QByteArray::number(level);
        addRow("60 levels deep", {{deep + "/deep.wav", "wav", "Done"}, {"in/top.wav", "wav", "Done"}});
    }
    void names() { runRow(); }

    // Whatever a file holds, and whatever its name claims, it is converted,
    // fails or is skipped, and nothing of a failed run stays.
    void contents_data()
    {
        addColumns();
        addRow("damaged and mislabelled",
               {{"in/empty.mp3", "empty", "Failed"}, {"in/noise.flac", "random", "Failed"},
                {"in/truncated.flac", "truncated", "Done"}, {"in/text.wav", "text", "Failed"},
                {"in/picture.ogg", "png", "Failed"}, {"in/whole.flac", "flac", "Done"}});
        addRow("video: the sound only", {{"in/clip.mkv", "mkv", "Done"}});
        addRow("damaged, over an earlier output",
               {{"in/noise.flac", "random", "Failed"}, {"out/noise.mp3", "mp3", "", "stale"},
                {"in/whole.flac", "flac", "Done"}, {"out/whole.mp3", "mp3", "", "stale"}},
               {}, "{sourcedir}/../out");
    }
    void contents() { runRow(); }

    void trees_data()
    {
        addColumns();
        addRow("changed between intake and Convert",
               {{"in/gone.wav", "wav", "Failed", "delete"}, {"in/locked.wav", "wav", "Failed", "unreadable"},
                {"in/pipe.wav", "wav", "Skipped", "fifo"}, {"in/kept.wav", "wav", "Done"}});
        addRow("replaced by a FIFO, other files copied",
               {{"in/pipe.txt", "text", "Failed", "fifo"}, {"in/kept.wav", "wav", "Done"}}, {},
               "@/out/{sourcedir}", {"copy"});
        addRow("unreadable folder, link loops, FIFOs",
               {{"in/a/locked/hidden.wav", "wav", ""}, {"in/a/locked", "locked", ""},
                {"in/a/kept.wav", "wav", "Done"}, {"in/self.wav", "loop", ""}, {"in/a/up", "uplink", ""},
                {"in/pipe.wav", "fifo", ""}, {"named/pipe.flac", "fifo", ""},
                {"named/self.flac", "loop", ""}, {"named/kept.flac", "flac", "Done"}});
        addRow("names that are not UTF-8",
               {{"in/\xFF\xFE.wav", "wav", ""}, {"in/\xFE.wav", "flac", ""},
                {"in/\xEF\xBF\xBD.wav", "wav", "Done"}, {"in/\xFF\xFE dir/inside.wav", "wav", ""},
                {"in/kept.wav", "wav", "Done"}});
    }
    void trees() { runRow(); }

    void outputs_data()
    {
        addColumns();
        addRow("read-only output folder", {{"readonly", "readonly", ""}, {"in/a.wav", "wav", "Pending"}},
               {}, "@/readonly/{sourcedir}", {}, "Your output directory is bad. Maybe it is not writable?");
        const Corpus readOnlyTarget{{"in/converted", "readonly", ""}, {"in/a.flac", "flac", "Failed"},
                                    {"in/b.mp3", "mp3", "Failed"}};
        addRow("read-only folder below the source", readOnlyTarget, {}, "{sourcedir}/converted");
        addRow("read-only folder below the source, quick", readOnlyTarget, {}, "{sourcedir}/converted",
               {"quick"});
        for (const char *outputTemplate : {"{sourcedir}", "{sourcedir}/."}) {
            const QByteArray name = QByteArray("in place as ") + outputTemplate;
            addRow(name, {{"in/a.mp3", "mp3", "Failed"}, {"in/b.flac", "flac", "Done"}}, {}, outputTemplate);
            addRow(name + ", quick", {{"in/a.mp3", "mp3", "Skipped"}, {"in/b.flac", "flac", "Done"}}, {},
                   outputTemplate, {"quick"});
            addRow(name + ", output is another input",
                   {{"in/song.mp3", "mp3", "Failed"}, {"in/song.flac", "flac", "Failed"}}, {}, outputTemplate);
            addRow(name + ", output is another input, quick",
                   {{"in/song.mp3", "mp3", "Skipped"}, {"in/song.flac", "flac", "Skipped"}}, {}, outputTemplate,
                   {"quick"});
        }
        addRow("two inputs, one output", {{"in/song.flac", "flac", "Done"}, {"in/song.wav", "wav", "Done"}});
    }
    void outputs() { runRow(); }

    void encoders_data()
    {
        addColumns();
        const Corpus two{{"in/a.wav", "wav", "Failed"}, {"in/b.flac", "flac", "Failed"}};
        addRow("crashes", two, "echo partial > \"$out\"; ulimit -c 0; kill -SEGV $$");
        addRow("killed", two, "echo partial > \"$out\"; kill -KILL $$");
        addRow("crashes over an earlier output",
               {{"in/a.wav", "wav", "Failed"}, {"out/a.mp3", "mp3", "", "stale"}},
               "echo partial > \"$out\"; kill -KILL $$", "{sourcedir}/../out");
        addRow("removed after its first run",
               {{"in/a.wav", "wav", "Done"}, {"in/b.wav", "wav", "Failed"}, {"in/c.flac", "flac", "Failed"}},
               "rm -f \"$0\"; exec " + ffmpeg + " \"$@\"", "@/out/{sourcedir}", {"single"});
        addRow("40 MB of output", {{"in/a.wav", "wav", "Done"}},
               // The excerpt's first part ends inside a character.
               "printf 'before\\0after \\303\\251\\n'; yes '日日日日日日日日日日' | head -c 40000000 >&2; "
               "exec " + ffmpeg + " \"$@\"",
               "@/out/{sourcedir}", {}, {}, {"before", "after é", "bytes left out"});
    }
    void encoders() { runRow(); }

    // Ten thousand jobs with an encoder that only talks: every row ends, the
    // bar reaches 100, and what a job held is given back.
    void tenThousandInputs()
    {
        constexpr int folders = 100, perFolder = 100, count = folders * perFolder;
        QTemporaryDir batch(QFile::decodeName(base) + "/many-XXXXXX");
        // One empty file under every name: links are much cheaper to make than files.
        const QByteArray root = native(batch.path()), empty = root + "/empty.wav";
        QVERIFY(writeRaw(empty, QByteArray()));
        for (int folder = 0; folder < folders; ++folder) {
            const QByteArray in = root + "/in/" + QByteArray::number(folder);
            QVERIFY(makeFolders(in));
            for (int i = 0; i < perFolder; ++i)
                QCOMPARE(::link(empty.constData(), in + '/' + QByteArray::number(i) + ".wav"), 0);
        }
        const auto settings = restoreSettingsLater();
        resetSettings(writeEncoder(batch.path(), "encoder", "printf '%8000s\\n' progress; echo x > \"$out\""),
                      batch.path() + "/out/{sourcedir}");
        AppSettings::Threads = 0;

        Window window;
        window.addPaths({batch.path() + "/in"});
        QCOMPARE(window.model->rowCount(), count);
        QSignalSpy progress(window.progress, &QProgressBar::valueChanged);
        LogCapture log([](const QString &line) { return !line.startsWith("Result of job"); });
        const qint64 memory = resetPeakMemory();
        window.convert->click();
        // Under AddressSanitizer every allocation unwinds its whole stack, and
        // reading 10,000 inputs' tags allocates a great deal.
        QTRY_VERIFY2_WITH_TIMEOUT(window.convert->isEnabled(), "the batch of 10,000 did not end", 900000);
        verifyMemory(memory);

        int done = 0;
        for (int row = 0; row < count; ++row)
            done += window.model->index(row, 0).data().toString() == "Done";
        QCOMPARE(done, count);
        QCOMPARE(window.progress->value(), 100);
        QVERIFY(!progress.isEmpty());
        int last = 0;
        for (const QList<QVariant> &change : qAsConst(progress)) {
            QVERIFY(change.first().toInt() >= last);
            last = change.first().toInt();
        }
        QCOMPARE(last, 100);
        QCOMPARE(log.lines.count("Done"), 1);
        QCOMPARE(log.lines.filter(QRegularExpression("^Finished job \\d+ with exit code 0$")).size(), count);
        const QStringList written = outputTree(root).filter(QRegularExpression("^out/"));
        QCOMPARE(written.size(), count);
        QCOMPARE(written.filter(QRegularExpression("/\\.[^/]*$")), QStringList());
        QCOMPARE(fingerprint(empty),
                 "0 " + QCryptographicHash::hash(QByteArray(), QCryptographicHash::Sha256).toHex());
    }
};

#ifdef __linux__
// Root may open and write any file whatever its mode. The test and every
// encoder it starts give that up, so that unreadable and read-only files
// behave as they do for a user.
static QString dropFileAccessOverride()
{
    if (::geteuid() != 0)
        return {};
    const int rights[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH};
    for (int right : rights) {
        if (::prctl(PR_CAPBSET_DROP, right, 0, 0, 0) != 0)
            return QStringLiteral("Dropping from the bounding set failed: %1").arg(qt_error_string(errno));
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return QStringLiteral("capget failed: %1").arg(qt_error_string(errno));
    for (int right : rights) {
        const __u32 mask = ~__u32(CAP_TO_MASK(right));
        data[CAP_TO_INDEX(right)].effective &= mask;
        data[CAP_TO_INDEX(right)].permitted &= mask;
        data[CAP_TO_INDEX(right)].inheritable &= mask;
    }
    if (::syscall(SYS_capset, &header, data) != 0)
        return QStringLiteral("capset failed: %1").arg(qt_error_string(errno));
    return {};
}
#else
static QString dropFileAccessOverride() { return {}; }
#endif

int main(int argc, char **argv)
{
    // Before any thread starts: capabilities belong to each thread.
    const QString privilegeError = dropFileAccessOverride();
    IsolatedHome home;
    QApplication app(argc, argv);
    qRegisterMetaType<JobStatus::ConvertStatus>("JobStatus::ConvertStatus");
    TestCorpus test;
    test.privilegeError = privilegeError;
    return QTest::qExec(&test, argc, argv);
}

#include "test_corpus.moc"
