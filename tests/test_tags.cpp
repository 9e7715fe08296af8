// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversiontestsupport.h"
#include "settings/settingstable.h"
#include "tags/coverfile.h"
#include "tags/covers.h"

#include <taglib/fileref.h>
#include <taglib/flacfile.h>
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

        resetSettings(QStandardPaths::findExecutable("ffmpeg"), dir.filePath("out-" + format));
        SettingsTable::apply({{SettingsTable::find("OutputFormat"), format}});
        FFmpegTask task(1, input);
        JobReport report;
        connect(&task, &FFmpegTask::Reported, [&](const JobReport &reported) { report = reported; });
        task.run();
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
        resetSettings(QStandardPaths::findExecutable("ffmpeg"), dir.filePath("out-" + name));
        FFmpegTask task(1, input);
        JobReport report;
        connect(&task, &FFmpegTask::Reported, [&](const JobReport &reported) { report = reported; });
        task.run();
        QCOMPARE(report.reason, reason);
        const FileRef output(QFile::encodeName(report.outputPath).constData());
        QVERIFY(output.audioProperties() && output.audioProperties()->lengthInMilliseconds() > 400);
        QCOMPARE(output.file()->properties()["TITLE"], StringList("Title"));
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
