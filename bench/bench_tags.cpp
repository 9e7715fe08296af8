// SPDX-License-Identifier: GPL-3.0-or-later
// What the tag step costs. Prints one line a case:
//   tags SECONDS BASELINE-SECONDS CPU BASELINE-CPU
//                                     200 inputs of 2 s, WAV with tags and a 130 KiB cover, to MP3
//                                     through `QUILLMERE --convert`, against the same batch through
//                                     BASELINE, the program built without the tag step (median of 3,
//                                     alternating): time, and the processor time of the program and
//                                     its encoders, steadier on a shared machine
//   replaygain SECONDS OFF-SECONDS CPU OFF-CPU
//                                     the same batch through QUILLMERE with --set ReplayGain=true
//                                     against =false; "replaygain rejected" when QUILLMERE has no
//                                     such setting
//   copy SECONDS COPY-SECONDS         TagCopy::copy of such an input's tags and a 5 MiB cover into an
//                                     MP3 ffmpeg made of it, per file, against copying the tagged MP3
//                                     whole (median of 9)
//
//   bench_tags QUILLMERE BASELINE [tags] [replaygain] [copy]   (all when none is named)
//
// Settings come from a file (--settings) with Threads set to the processor's
// thread count; the programs' home is a temporary folder. Exits non-zero when
// a run ends with an unexpected exit code.
#include "tags/covers.h"
#include "tags/tagcopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <sys/resource.h>

#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QString ffmpeg;

// The processor time of the children waited for so far, user and system.
double childrenCpu()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs `command` to its end and gives its exit code; one that cannot start
// or crashes ends this program. Its standard error is shown unless `quiet`.
int run(const QStringList &command, double *seconds = nullptr, bool quiet = false)
{
    QProcess process;
    if (quiet)
        process.setStandardErrorFile(QProcess::nullDevice());
    else
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "bench_tags: %s did not run to its end\n", qPrintable(command.first()));
        std::exit(1);
    }
    if (seconds)
        *seconds = timer.nsecsElapsed() / 1e9;
    return process.exitCode();
}

double timed(const QStringList &command, double *cpu = nullptr)
{
    double seconds = 0;
    const double cpuBefore = childrenCpu();
    const int exitCode = run(command, &seconds);
    if (cpu)
        *cpu = childrenCpu() - cpuBefore;
    if (exitCode != 0) {
        std::fprintf(stderr, "bench_tags: %s failed\n", qPrintable(command.join(QLatin1Char(' '))));
        std::exit(1);
    }
    return seconds;
}

double median(QList<double> runs)
{
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

void removeFiles(const QString &folder)
{
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext())
        QFile::remove(files.next());
}

// A JPEG of noise, padded after its end to `size` bytes: covers are copied
// byte for byte, never decoded.
QByteArray cover(const QString &path, int side, int size)
{
    timed({ffmpeg, QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
           QStringLiteral("lavfi"), QStringLiteral("-i"),
           QStringLiteral("nullsrc=s=%1x%1,geq=lum='random(1)*255':cb=128:cr=128").arg(side),
           QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-q:v"), QStringLiteral("2"), path});
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QByteArray bytes = file.readAll();
    if (bytes.size() > size) {
        std::fprintf(stderr, "bench_tags: the %dx%d cover is larger than %d bytes\n", side, side, size);
        std::exit(1);
    }
    return bytes.append(QByteArray(size - bytes.size(), '\0'));
}

// A 2 s stereo tone with an album's usual tags and the cover.
void taggedInput(const QString &path, const QByteArray &picture)
{
    timed({ffmpeg, QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
           QStringLiteral("lavfi"), QStringLiteral("-i"),
           QStringLiteral("sine=frequency=440:sample_rate=44100:duration=2"), QStringLiteral("-ac"),
           QStringLiteral("2"), path});
    TagLib::RIFF::WAV::File file(QFile::encodeName(path).constData());
    TagLib::PropertyMap tags;
    for (const auto &[key, value] : {std::pair{"TITLE", "Title"}, {"ALBUM", "Album"}, {"ALBUMARTIST", "Band"},
                                     {"TRACKNUMBER", "3/12"}, {"DISCNUMBER", "1/2"}, {"DATE", "2021"},
                                     {"GENRE", "Jazz"}, {"COMMENT", "Remark"},
                                     {"MUSICBRAINZ_TRACKID", "0a1b2c3d-0000-4000-8000-000000000003"}})
        tags.insert(key, TagLib::StringList(value));
    tags.insert("ARTIST", TagLib::StringList("Ann").append("Bob"));
    file.setProperties(tags);
    Covers::setFront(&file, {TagLib::ByteVector(picture.constData(), uint(picture.size())), "image/jpeg"});
    if (!file.save()) {
        std::fprintf(stderr, "bench_tags: cannot tag %s\n", qPrintable(path));
        std::exit(1);
    }
}

QStringList convert(const QString &quillmere, const QString &settings, const QString &inputs,
                    const QStringList &extra = {})
{
    return QStringList{quillmere, QStringLiteral("--convert"), QStringLiteral("--settings"), settings} + extra
        + QStringList{inputs};
}

// Two batches, run in turn three times, each into an empty output folder.
void compare(QTextStream &out, const QString &name, const QStringList &ours, const QStringList &theirs,
             const QString &outputs)
{
    QList<double> oursRuns, theirsRuns, oursCpu, theirsCpu;
    for (int round = 0; round < 3; ++round) {
        double cpu = 0;
        theirsRuns << timed(theirs, &cpu);
        theirsCpu << cpu;
        removeFiles(outputs);
        oursRuns << timed(ours, &cpu);
        oursCpu << cpu;
        removeFiles(outputs);
    }
    out << name << ' ' << median(oursRuns) << ' ' << median(theirsRuns) << ' ' << median(oursCpu) << ' '
        << median(theirsCpu) << '\n';
    out.flush();
}

void tagCopy(QTextStream &out, const QString &work)
{
    const QString input = work + QStringLiteral("/big.wav"), encoded = work + QStringLiteral("/big.mp3");
    taggedInput(input, cover(work + QStringLiteral("/big.jpg"), 2500, 5 << 20));
    timed({ffmpeg, QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-i"), input,
           QStringLiteral("-vn"), QStringLiteral("-map_metadata"), QStringLiteral("-1"), encoded});
    QList<double> ours, theirs;
    for (int round = 0; round < 9; ++round) {
        const QString output = work + QStringLiteral("/tagged.mp3"), copy = work + QStringLiteral("/copy.mp3");
        QFile::remove(output);
        QFile::remove(copy);
        QFile::copy(encoded, output);
        QElapsedTimer timer;
        timer.start();
        const TagCopy::Result result = TagCopy::copy(input, output, QStringLiteral("mp3"), true);
        ours << timer.nsecsElapsed() / 1e9;
        if (!result.notCopied.isEmpty()) {
            std::fprintf(stderr, "bench_tags: %s\n", qPrintable(result.notCopied));
            std::exit(1);
        }
        timer.start();
        QFile::copy(output, copy);
        theirs << timer.nsecsElapsed() / 1e9;
    }
    out << "copy " << median(ours) << ' ' << median(theirs) << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: %s QUILLMERE BASELINE [tags] [replaygain] [copy]\n", argv[0]);
        return 2;
    }
    const QString quillmere = QFileInfo(arguments[0]).absoluteFilePath();
    const QString baseline = QFileInfo(arguments[1]).absoluteFilePath();
    const QStringList cases = arguments.mid(2);
    const auto wanted = [&cases](const char *name) { return cases.isEmpty() || cases.contains(QLatin1String(name)); };
    QTemporaryDir work;
    ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("HOME", QFile::encodeName(work.path() + QStringLiteral("/home")));
    QDir().mkpath(work.path() + QStringLiteral("/home"));
    QTextStream out(stdout);

    const QString inputs = work.path() + QStringLiteral("/in"), outputs = work.path() + QStringLiteral("/out");
    const QString settings = work.path() + QStringLiteral("/settings.ini");
    if (wanted("tags") || wanted("replaygain")) {
        QDir().mkpath(inputs);
        taggedInput(work.path() + QStringLiteral("/tone.wav"),
                    cover(work.path() + QStringLiteral("/cover.jpg"), 400, 130 << 10));
        for (int i = 0; i < 200; ++i)
            QFile::copy(work.path() + QStringLiteral("/tone.wav"),
                        QStringLiteral("%1/tone%2.wav").arg(inputs).arg(i, 3, 10, QLatin1Char('0')));
        QSettings ini(settings, QSettings::IniFormat);
        ini.setValue(QStringLiteral("FFmpegBinary"), ffmpeg);
        ini.setValue(QStringLiteral("OutputFormat"), QStringLiteral("mp3"));
        ini.setValue(QStringLiteral("OutputQualityArguments"), QStringLiteral("-q:a 2"));
        ini.setValue(QStringLiteral("OutputDirectory"), outputs + QStringLiteral("/{sourcedir}"));
        ini.setValue(QStringLiteral("Threads"), QThread::idealThreadCount());
    }
    if (wanted("tags"))
        compare(out, QStringLiteral("tags"), convert(quillmere, settings, inputs),
                convert(baseline, settings, inputs), outputs);
    if (wanted("replaygain")) {
        const QStringList on{QStringLiteral("--set"), QStringLiteral("ReplayGain=true")};
        // A setting the program does not know stops it before the batch.
        if (run(convert(quillmere, settings, work.path() + QStringLiteral("/tone.wav"), on), nullptr, true) == 2) {
            out << "replaygain rejected\n";
            out.flush();
        } else {
            removeFiles(outputs);
            compare(out, QStringLiteral("replaygain"), convert(quillmere, settings, inputs, on),
                    convert(quillmere, settings, inputs, {QStringLiteral("--set"), QStringLiteral("ReplayGain=false")}),
                    outputs);
        }
    }
    if (wanted("copy"))
        tagCopy(out, work.path());
    return 0;
}
