// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/albumgain.h"
#include "conversion/conversionengine.h"
#include "conversiontestsupport.h"
#include "settings/settingstable.h"
#include "tags/coverfile.h"
#include "tags/covers.h"
#include "testsupport.h"

#include <QSignalSpy>

#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>

using namespace TagLib;

// Sources tagged with TagLib, converted by the task with the real ffmpeg, read back with TagLib.
class TestTags : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    ByteVector front, back;
    const QList<QPair<const char *, const char *>> tags{
        {"TITLE", "Title"}, {"ALBUM", "Album"}, {"ALBUMARTIST", "Band"}, {"TRACKNUMBER", "3/12"},
        {"DISCNUMBER", "1/2"}, {"DATE", "2021"}, {"GENRE", "Jazz"}, {"COMMENT", "Remark"},
        {"MUSICBRAINZ_TRACKID", "0a1b2c3d-0000-4000-8000-00000003"},
        {"MUSICBRAINZ_ALBUMID", "0a1b2c3d-0000-4000-8000-0000000a"}};

    static bool ffmpeg(const QStringList &arguments)
    {
        QProcess process;
        process.start("ffmpeg", QStringList{"-loglevel", "error", "-y"} + arguments);
        return process.waitForFinished(60000) && process.exitCode() == 0;
    }

    // FLAC keeps its totals apart and its back cover first; the folder's Cover.JPG is for the others.
    QString source(const QString &kind, bool withCover)
    {
        const QString path = dir.filePath(QString("%1%2.%1").arg(kind).arg(withCover));
        const QStringList video{"-f", "lavfi", "-i", "color=s=32x32:d=0.5", "-c:v", "mpeg4"};
        if (!ffmpeg((kind == "mp4" ? video : QStringList()) + QStringList{"-f", "lavfi", "-i", "sine=d=0.5", path}))
            return {};
        PropertyMap map;
        for (const auto &[key, value] : tags)
            map.insert(key, StringList(value));
        map["ARTIST"] = StringList("Ann").append("Bob");
        FileRef ref(QFile::encodeName(path).constData());
        if (kind == "flac") {
            map["TRACKNUMBER"] = StringList("3");
            map["TRACKTOTAL"] = StringList("12");
            for (const ByteVector &data : {back, front}) {
                auto *picture = new FLAC::Picture;
                picture->setType(data == front ? FLAC::Picture::FrontCover : FLAC::Picture::BackCover);
                picture->setData(data);
                dynamic_cast<FLAC::File *>(ref.file())->addPicture(picture);
            }
        } else if (withCover) {
            Covers::setFront(ref.file(), {front, "image/jpeg"});
        }
        ref.file()->setProperties(map);
        return ref.save() ? path : QString();
    }

    // ffmpeg's own integrated loudness of `path`, in LUFS.
    static double ebur128(const QString &path)
    {
        QProcess process;
        process.start("ffmpeg", {"-nostats", "-i", path, "-af", "ebur128=framelog=verbose", "-f", "null", "-"});
        if (!process.waitForFinished(60000))
            qFatal("ffmpeg did not measure %s within a minute", qPrintable(path));
        const QRegularExpression integrated("\\n +I: +(-?[0-9.]+) LUFS");
        return integrated.match(process.readAllStandardError()).captured(1).toDouble();
    }

    // Its loudness tags, M4A's freeform items under their plain keys.
    static QMap<QString, QString> loudnessTags(const QString &path)
    {
        FileRef file(QFile::encodeName(path).constData());
        PropertyMap tags = file.file()->properties();
        if (auto *mp4 = dynamic_cast<MP4::File *>(file.file()))
            for (const auto &[key, item] : mp4->tag()->itemMap())
                tags.insert(key.substr(key.startsWith("----:com.apple.iTunes:") ? 22 : 0), item.toStringList());
        QMap<QString, QString> loudness;
        for (const auto &[key, values] : tags)
            if (key.startsWith("REPLAYGAIN_") || key.startsWith("R128_"))
                loudness.insert(key.toCString(), values.toString().toCString(true));
        return loudness;
    }

    // Converts `input` with the real ffmpeg; the report.
    JobReport convert(const QString &input, const QString &format, bool measure = false, const QString &filters = {})
    {
        resetSettings(QStandardPaths::findExecutable("ffmpeg"), dir.filePath("out-" + format));
        SettingsTable::apply({{SettingsTable::find("OutputFormat"), format}});
        AppSettings::ReplayGain = measure;
        AppSettings::AudioFilters = filters;
        FFmpegTask task(1, input);
        JobReport report;
        connect(&task, &FFmpegTask::Reported, [&](const JobReport &reported) { report = reported; });
        task.run();
        return report;
    }

private slots:
    void initTestCase()
    {
        for (const auto &[colour, bytes] : {std::pair{"blue", &front}, {"red", &back}}) {
            QFile file(dir.filePath(colour + QString(".jpg")));
            QVERIFY(ffmpeg({"-f", "lavfi", "-i", "color=c=" + QString(colour), "-frames:v", "1", file.fileName()}));
            QVERIFY(file.open(QIODevice::ReadOnly));
            *bytes = ByteVector(file.readAll().constData(), uint(file.size()));
        }
        QVERIFY(QFile::copy(dir.filePath("red.jpg"), dir.filePath("Cover.JPG")));
    }

    void tagsAndCoverReachEveryFormat_data()
    {
        QTest::addColumn<QString>("sourceKind");
        QTest::addColumn<bool>("embedded"); // else a cover picture in the source's folder
        QTest::addColumn<QString>("format");
        for (const char *format : {"mp3", "m4a", "ogg", "opus", "flac", "wav"}) {
            for (const char *kind : {"flac", "mp3", "mp4"})
                QTest::addRow("%s to %s", kind, format) << kind << true << format;
            QTest::addRow("mp3 with Cover.JPG to %s", format) << "mp3" << false << format;
        }
    }

    void tagsAndCoverReachEveryFormat()
    {
        QFETCH(QString, sourceKind);
        QFETCH(bool, embedded);
        QFETCH(QString, format);
        const auto restore = restoreSettingsLater();
        const QString input = source(sourceKind, embedded);
        QVERIFY2(!input.isEmpty(), "the tagged source could not be made");

        const JobReport report = convert(input, format);
        QCOMPARE(report.reason, QString("Converted"));
        FileRef output(QFile::encodeName(report.outputPath).constData());
        PropertyMap map = output.file()->properties();
        for (const String number : {"TRACK", "DISC"}) // Vorbis comments keep the totals apart
            if (map.contains(number + "TOTAL"))
                map[number + "NUMBER"] = map[number + "NUMBER"].toString() + "/" + map[number + "TOTAL"].toString();
        for (const auto &[key, value] : tags)
            QCOMPARE(map[key], StringList(value));
        QCOMPARE(map["ARTIST"], StringList("Ann").append("Bob"));
        for (const char *key : {"MAJOR_BRAND", "MINOR_VERSION", "COMPATIBLE_BRANDS", "HANDLER_NAME", "VENDOR_ID",
                                "LANGUAGE", "ENCODER", "ENCODING"})
            QVERIFY2(!map.contains(key), key);
        QVERIFY(Covers::front(output.file()).data == (embedded ? front : back));
        if (auto *mpeg = dynamic_cast<MPEG::File *>(output.file()))
            QVERIFY(ID3v2::UserTextIdentificationFrame::find(mpeg->ID3v2Tag(), "MusicBrainz Album Id"));
    }

    // Tags TagLib does not see (Matroska holding FLAC was taken for FLAC;
    // AIFF's NAME chunk): the output keeps what the encoder carried.
    void unreadTagsLeaveTheEncoders_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("Matroska") << "flac-in.mka"
                                  << "Converted; tags and cover not copied: the input's tags could not be read";
        QTest::newRow("AIFF") << "named.aiff" << "Converted";
    }

    void unreadTagsLeaveTheEncoders()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const auto restore = restoreSettingsLater();
        const QString input = dir.filePath(name);
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "sine=d=0.5", "-c:a", name.endsWith("mka") ? "flac" : "pcm_s16be",
                        "-metadata", "title=Title", input}));
        const JobReport report = convert(input, "mp3");
        QCOMPARE(report.reason, reason);
        const FileRef output(QFile::encodeName(report.outputPath).constData());
        QVERIFY(output.audioProperties() && output.audioProperties()->lengthInMilliseconds() > 400);
        QCOMPARE(output.file()->properties()["TITLE"], StringList("Title"));
    }

    // Measured gains agree with ffmpeg's figure of the input; a source's go only into unchanged audio.
    void loudnessTags_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("measure");
        QTest::addColumn<QString>("filters");
        for (const char *format : {"mp3", "m4a", "ogg", "opus", "flac", "wav"})
            QTest::addRow("measured into %s", format) << format << true << "";
        for (const char *format : {"m4a", "opus", "flac"})
            QTest::addRow("kept into %s", format) << format << false << "";
        QTest::newRow("dropped by a filter") << "mp3" << false << "volume=2";
    }

    void loudnessTags()
    {
        QFETCH(QString, format);
        QFETCH(bool, measure);
        QFETCH(QString, filters);
        const auto restore = restoreSettingsLater();
        const QString input = dir.filePath("loud.flac");
        if (!QFile::exists(input))
            QVERIFY(makeTone(input, 3, {"-ac", "2", "-metadata", "REPLAYGAIN_TRACK_GAIN=-3.00 dB", "-metadata",
                                        "REPLAYGAIN_ALBUM_GAIN=-4.00 dB"}));
        const JobReport report = convert(input, format, measure, filters);
        QCOMPARE(report.reason, QString("Converted"));
        const QMap<QString, QString> tags = loudnessTags(report.outputPath);
        const bool opus = format == "opus";
        if (measure) {
            QCOMPARE(tags.keys().join(" "), QString(opus ? "R128_TRACK_GAIN" : "REPLAYGAIN_TRACK_GAIN REPLAYGAIN_TRACK_PEAK"));
            const double gain = opus ? tags["R128_TRACK_GAIN"].toInt() / 256.0 + 5
                                     : tags["REPLAYGAIN_TRACK_GAIN"].chopped(3).toDouble();
            QVERIFY2(qAbs(gain - (-18 - ebur128(input))) <= 0.1, qPrintable(QString::number(gain)));
        } else if (filters.isEmpty()) {
            QCOMPARE(tags, (opus ? QMap<QString, QString>{{"R128_TRACK_GAIN", "-2048"}, {"R128_ALBUM_GAIN", "-2304"}}
                                 : QMap<QString, QString>{{"REPLAYGAIN_TRACK_GAIN", "-3.00 dB"},
                                                          {"REPLAYGAIN_ALBUM_GAIN", "-4.00 dB"}}));
        } else {
            QVERIFY(tags.isEmpty());
        }
    }

    // An album's loudness: its tracks' energy weighted by duration; its peak: the loudest.
    void albumFigures_data()
    {
        QTest::addColumn<QVector<double>>("tracks"); // loudness, peak and seconds of each
        QTest::addColumn<QString>("album"); // gain and peak
        QTest::newRow("equal lengths") << QVector<double>{-20, -3, 1, -30, -1, 1} << "4.60 dB, 0.891251";
        QTest::newRow("weighted by length") << QVector<double>{-20, -1, 3, -30, -3, 1} << "3.11 dB, 0.891251";
    }

    void albumFigures()
    {
        QFETCH(QVector<double>, tracks);
        QFETCH(QString, album);
        QVector<Loudness> figures;
        for (int i = 0; i < tracks.size(); i += 3)
            figures.append({tracks[i], tracks[i + 1], qint64(tracks[i + 2] * 1000)});
        const Loudness whole = Loudness::album(figures);
        QCOMPARE(ReplayGain::gainText(whole.integrated) + ", " + ReplayGain::peakText(whole.peakDb), album);
    }

    // Two tracks of one album, of different loudness, converted in one batch.
    void albumGain()
    {
        const auto restore = restoreSettingsLater();
        QTemporaryDir album;
        const QStringList inputs{album.filePath("quiet.flac"), album.filePath("loud.flac")};
        QVERIFY(makeTone(inputs[0], 2, {"-af", "volume=0.2", "-metadata", "album=Album"}));
        QVERIFY(makeTone(inputs[1], 4, {"-af", "volume=3", "-metadata", "album=Album"}));
        resetSettings(QStandardPaths::findExecutable("ffmpeg"), dir.filePath("out-album"));
        AppSettings::ReplayGain = true;
        AppSettings::KeepFileTimes = true;
        ConversionEngine engine;
        QSignalSpy ended(&engine, &ConversionEngine::batchEnded);
        engine.start(inputs, 2);
        QVERIFY2(ended.wait(60000), "the batch did not end within a minute");
        const double energy = 2 * std::pow(10, ebur128(inputs[0]) / 10) + 4 * std::pow(10, ebur128(inputs[1]) / 10);
        const double expected = -18 - 10 * std::log10(energy / 6);
        const QMap<QString, QString> quiet = loudnessTags(dir.filePath("out-album/quiet.mp3"));
        const QMap<QString, QString> loud = loudnessTags(dir.filePath("out-album/loud.mp3"));
        const QString gain = quiet["REPLAYGAIN_ALBUM_GAIN"];
        QVERIFY2(qAbs(gain.chopped(3).toDouble() - expected) <= 0.1, qPrintable(gain));
        QCOMPARE(loud["REPLAYGAIN_ALBUM_GAIN"], gain);
        QCOMPARE(quiet["REPLAYGAIN_ALBUM_PEAK"], loud["REPLAYGAIN_TRACK_PEAK"]);
        QCOMPARE(QFileInfo(dir.filePath("out-album/quiet.mp3")).lastModified(), QFileInfo(inputs[0]).lastModified());
    }

    // An output that cannot be retagged, or that two rows wrote, stays as it was; the log says why.
    void albumGainNotAdded()
    {
        QTemporaryDir out;
        AlbumGain albums;
        for (const QString input : {"/in/a.flac", "/in/b.flac", "/in/a.wav"}) {
            const JobReport report{1, JobStatus::Done, input, out.filePath(input.contains("b") ? "b.m4a" : "a.mp3"),
                                   {}, {}, {}, -1, {}, {}, Loudness{-20, -1, 1000}, "Album"};
            writeFile(report.outputPath, "no audio");
            albums.add(report);
        }
        for (const char *message : {"several rows wrote: .*/a.mp3", "several rows wrote: .*/a.mp3", "stays: .*/b.m4a"})
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(message));
        albums.retag(nullptr);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"a.mp3", "b.m4a"}));
        QCOMPARE(checksum(out.filePath("b.m4a")), checksum(out.filePath("a.mp3")));
    }

    // Each file added to the folder, and the cover chosen then.
    void folderCoverName()
    {
        QTemporaryDir folder;
        const QList<QPair<QString, QString>> steps{
            {"back.jpg", ""}, {"cover.gif", ""}, {"albumart.PNG", "albumart.PNG"}, {"front.jpg", "front.jpg"},
            {"Folder.png", "Folder.png"}, {"FOLDER.JPEG", "FOLDER.JPEG"}, {"cover.jpeg", "cover.jpeg"}};
        for (const auto &[file, chosen] : steps) {
            writeFile(folder.filePath(file), "picture");
            QCOMPARE(CoverFile::inFolder(folder.path()), chosen.isEmpty() ? chosen : folder.filePath(chosen));
        }
    }
};

QTEST_GUILESS_MAIN(TestTags)
#include "test_tags.moc"
