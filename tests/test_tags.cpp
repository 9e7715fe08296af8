// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversiontestsupport.h"
#include "settings/settingstable.h"
#include "tags/coverfile.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

using namespace TagLib;

// Real ffmpeg encodes, then the tags and covers are read back with TagLib.
class TestTags : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    ByteVector front, back;

    bool ffmpeg(const QStringList &arguments)
    {
        QProcess process;
        process.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-y"} + arguments);
        return process.waitForFinished(60000) && process.exitCode() == 0;
    }

    ByteVector picture(const QString &colour)
    {
        const QString path = dir.filePath(colour + ".jpg");
        if (!ffmpeg({"-f", "lavfi", "-i", "color=c=" + colour + ":s=16x16", "-frames:v", "1", path}))
            return {};
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        return ByteVector(bytes.constData(), uint(bytes.size()));
    }

    static PropertyMap tags(bool separateTotals)
    {
        PropertyMap map;
        map["TITLE"] = String("Title");
        map["ARTIST"] = StringList(String("Ann")).append(String("Bob"));
        map["ALBUM"] = String("Album");
        map["ALBUMARTIST"] = String("Band");
        map["TRACKNUMBER"] = String(separateTotals ? "3" : "3/12");
        map["DISCNUMBER"] = String(separateTotals ? "1" : "1/2");
        if (separateTotals) {
            map["TRACKTOTAL"] = String("12");
            map["DISCTOTAL"] = String("2");
        }
        map["DATE"] = String("2021");
        map["GENRE"] = String("Jazz");
        map["COMMENT"] = String("Remark");
        map["MUSICBRAINZ_TRACKID"] = String("0a1b2c3d-0000-4000-8000-000000000003");
        map["MUSICBRAINZ_ALBUMID"] = String("0a1b2c3d-0000-4000-8000-00000000000a");
        return map;
    }

    static ID3v2::AttachedPictureFrame *apic(const ByteVector &data)
    {
        auto *frame = new ID3v2::AttachedPictureFrame;
        frame->setMimeType("image/jpeg");
        frame->setType(ID3v2::AttachedPictureFrame::FrontCover);
        frame->setPicture(data);
        return frame;
    }

    // A tagged source of the given kind; with `covers`, a back cover before the front one where the format has types.
    QString source(const QString &kind, bool covers)
    {
        const QString path = dir.filePath(QString("src-%1-%2/in.%1").arg(kind).arg(covers));
        QDir().mkpath(QFileInfo(path).path());
        const QStringList tone{"-f", "lavfi", "-i", "sine=d=0.5"};
        if (kind == "mp4") {
            if (!ffmpeg(QStringList{"-f", "lavfi", "-i", "color=s=32x32:d=0.5"} + tone
                        + QStringList{"-c:v", "mpeg4", "-c:a", "aac", path}))
                return {};
        } else if (!ffmpeg(tone + QStringList{path})) {
            return {};
        }
        FileRef ref(QFile::encodeName(path).constData());
        ref.file()->setProperties(tags(kind == "flac"));
        if (covers && kind == "flac") {
            for (const ByteVector *data : {&back, &front}) {
                auto *picture = new FLAC::Picture;
                picture->setType(data == &front ? FLAC::Picture::FrontCover : FLAC::Picture::BackCover);
                picture->setMimeType("image/jpeg");
                picture->setData(*data);
                dynamic_cast<FLAC::File *>(ref.file())->addPicture(picture);
            }
        } else if (covers && kind == "mp3") {
            dynamic_cast<MPEG::File *>(ref.file())->ID3v2Tag(true)->addFrame(apic(front));
        } else if (covers) {
            dynamic_cast<MP4::File *>(ref.file())->tag()->setItem(
                "covr", MP4::CoverArtList().append(MP4::CoverArt(MP4::CoverArt::JPEG, front)));
        }
        return ref.save() ? path : QString();
    }

    // The front covers of a file, as its format keeps them.
    static QList<ByteVector> frontCovers(File *file)
    {
        QList<ByteVector> found;
        List<FLAC::Picture *> pictures;
        ID3v2::Tag *id3 = nullptr;
        if (auto *flac = dynamic_cast<FLAC::File *>(file))
            pictures = flac->pictureList();
        else if (auto *xiph = dynamic_cast<Ogg::XiphComment *>(file->tag()))
            pictures = xiph->pictureList();
        else if (auto *mpeg = dynamic_cast<MPEG::File *>(file))
            id3 = mpeg->ID3v2Tag();
        else if (auto *wav = dynamic_cast<RIFF::WAV::File *>(file))
            id3 = wav->ID3v2Tag();
        else if (auto *mp4 = dynamic_cast<MP4::File *>(file))
            for (const MP4::CoverArt &cover : mp4->tag()->item("covr").toCoverArtList())
                found << cover.data();
        for (const FLAC::Picture *picture : pictures)
            if (picture->type() == FLAC::Picture::FrontCover)
                found << picture->data();
        for (ID3v2::Frame *frame : id3 ? id3->frameList("APIC") : ID3v2::FrameList())
            if (static_cast<ID3v2::AttachedPictureFrame *>(frame)->type() == ID3v2::AttachedPictureFrame::FrontCover)
                found << static_cast<ID3v2::AttachedPictureFrame *>(frame)->picture();
        return found;
    }

    static QString numberOf(const PropertyMap &map, const char *number, const char *total)
    {
        const QString text = QString::fromStdString(map[number].toString().to8Bit(true));
        const QString totalText = QString::fromStdString(map[total].toString().to8Bit(true));
        return totalText.isEmpty() ? text : text + '/' + totalText;
    }

    void convert(const QString &input, const QString &format, JobReport *report)
    {
        resetSettings(QStandardPaths::findExecutable("ffmpeg"), dir.filePath("out-" + format));
        SettingsTable::apply({{SettingsTable::find("OutputFormat"), format}});
        FFmpegTask task(1, input);
        connect(&task, &FFmpegTask::Reported, [&](const JobReport &reported) { *report = reported; });
        task.run();
    }

private slots:
    void initTestCase()
    {
        front = picture("blue");
        back = picture("red");
        QVERIFY(!front.isEmpty() && !back.isEmpty() && front != back);
    }

    void tagsAndCoverReachEveryFormat_data()
    {
        QTest::addColumn<QString>("sourceKind");
        QTest::addColumn<bool>("embedded");
        QTest::addColumn<QString>("format");
        for (const char *format : {"mp3", "m4a", "ogg", "opus", "flac", "wav"}) {
            for (const char *kind : {"flac", "mp3", "mp4"})
                QTest::addRow("%s to %s", kind, format) << kind << true << format;
            QTest::addRow("mp3 with cover.jpg to %s", format) << "mp3" << false << format;
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
        const QString folderCover = QFileInfo(input).path() + "/Cover.JPG";
        if (!embedded && !QFile::exists(folderCover))
            QVERIFY(QFile::copy(dir.filePath("blue.jpg"), folderCover));

        JobReport report;
        convert(input, format, &report);
        QCOMPARE(report.reason, QString("Converted"));
        FileRef output(QFile::encodeName(report.outputPath).constData());
        QVERIFY(!output.isNull());
        const PropertyMap map = output.file()->properties();
        QCOMPARE(map["TITLE"], StringList("Title"));
        QCOMPARE(map["ARTIST"], StringList("Ann").append("Bob"));
        for (const char *key : {"ALBUM", "ALBUMARTIST", "DATE", "GENRE", "COMMENT", "MUSICBRAINZ_TRACKID", "MUSICBRAINZ_ALBUMID"})
            QCOMPARE(map[key], tags(false)[key]);
        QCOMPARE(numberOf(map, "TRACKNUMBER", "TRACKTOTAL"), QString("3/12"));
        QCOMPARE(numberOf(map, "DISCNUMBER", "DISCTOTAL"), QString("1/2"));
        for (const char *key : {"MAJOR_BRAND", "MINOR_VERSION", "COMPATIBLE_BRANDS", "HANDLER_NAME", "VENDOR_ID",
                                "LANGUAGE", "ENCODER", "ENCODING"})
            QVERIFY2(!map.contains(key), key);
        QCOMPARE(frontCovers(output.file()), QList<ByteVector>{front});
        if (auto *mpeg = dynamic_cast<MPEG::File *>(output.file()))
            QVERIFY(ID3v2::UserTextIdentificationFrame::find(mpeg->ID3v2Tag(), "MusicBrainz Album Id"));
    }

    // A file whose tags TagLib cannot read is converted with the encoder's tags, and says so.
    void unreadableTagsKeepTheEncodersOnes()
    {
        const auto restore = restoreSettingsLater();
        const QString input = dir.filePath("matroska/in.mka");
        QDir().mkpath(QFileInfo(input).path());
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "sine=d=0.5", "-metadata", "title=Kept", input}));
        JobReport report;
        convert(input, "flac", &report);
        QCOMPARE(report.status, JobStatus::Done);
        QCOMPARE(report.reason, QString("Converted; tags and cover not copied: the input's tags could not be read"));
        QCOMPARE(FileRef(QFile::encodeName(report.outputPath).constData()).tag()->title(), String("Kept"));
    }

    void folderCoverName_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("none") << QStringList{"back.jpg", "cover.gif", "scan.png"} << QString();
        QTest::newRow("any case") << QStringList{"FOLDER.JPEG"} << QString("FOLDER.JPEG");
        QTest::newRow("name order") << QStringList{"albumart.png", "front.jpg", "folder.png"} << QString("folder.png");
        QTest::newRow("suffix order") << QStringList{"cover.png", "cover.jpeg"} << QString("cover.jpeg");
    }

    void folderCoverName()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, chosen);
        QTemporaryDir folder;
        for (const QString &file : files)
            writeFile(folder.filePath(file), "picture");
        QCOMPARE(CoverFile::inFolder(folder.path()), chosen.isEmpty() ? chosen : folder.filePath(chosen));
    }
};

QTEST_GUILESS_MAIN(TestTags)
#include "test_tags.moc"
