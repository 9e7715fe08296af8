// SPDX-License-Identifier: GPL-3.0-or-later
// Output names made of tags: placeholders, fallbacks, names a USB stick takes.
#include "conversiontestsupport.h"
#include "naming/namepattern.h"
#include "naming/outputnaming.h"
#include "naming/tracktags.h"

Q_DECLARE_METATYPE(TrackTags)

// Title, artist, album artist, album, genre, composer, track, disc, year.
using Tags = TrackTags;

class TestNaming : public QObject
{
    Q_OBJECT

private slots:
    void expand_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<TrackTags>("tags");
        QTest::addColumn<QString>("subfolder");
        QTest::addColumn<QString>("expected");
        const QString usual = "{albumartist}/{album}/{track} {title}";
        QTest::newRow("tagged, a slash in a tag") << usual << Tags{"Shoot", "AC/DC", "", "Back", "", "", 9} << ""
                                                  << "AC_DC/Back/09 Shoot";
        QTest::newRow("untagged") << usual << Tags{" ", "", "", "", "", ""} << ""
                                  << "Unknown Artist/Unknown Album/00 track01";
        QTest::newRow("album artist first") << usual << Tags{"One", "AC/DC", "Various", "Live", "", "", 1} << ""
                                            << "Various/Live/01 One";
        QTest::newRow("more tags and fallbacks") << "{disc}-{year} {genre} {composer}"
                                                 << Tags{"", "", "", "", "", "", 0, 2, 1977} << ""
                                                 << "2-1977 Unknown Genre Unknown Composer";
        QTest::newRow("characters FAT refuses") << "{artist}: {title}?"
                                                << Tags{"\"B\"<c|d>*\\e\x7f", "A\t", "", "", "", ""}
                                                << "" << "A__ _B__c_d___e__";
        QTest::newRow("trailing dots and spaces") << "{album}/{title}" << Tags{"..", "", "", "Vol. 2. ", "", ""} << ""
                                                  << "Vol. 2__/__";
        QTest::newRow("no climbing out") << "../{title}" << Tags{"../etc", "", "", "", "", ""} << "" << "__/.._etc";
        QTest::newRow("subfolder") << "{subfolder}/{basename}" << TrackTags() << "cd1/a" << "cd1/a/track01";
        QTest::newRow("empty folders left out") << "{subfolder}//{basename}" << TrackTags() << "" << "track01";
        QTest::newRow("no file name") << "{artist}/" << TrackTags() << "" << "Unknown Artist/track01";
        QTest::newRow("unknown placeholder") << "{Title} {x}" << TrackTags() << "" << "{Title} {x}";
    }

    void expand()
    {
        QFETCH(QString, pattern);
        QFETCH(TrackTags, tags);
        QFETCH(QString, subfolder);
        QFETCH(QString, expected);
        QCOMPARE(NamePattern::expand(pattern, tags, "track01", subfolder, "mp3"), expected);
    }

    void usesTags()
    {
        QVERIFY(NamePattern::usesTags("{basename} {year}"));
        QVERIFY(!NamePattern::usesTags("{subfolder}/{basename} {Title}"));
    }

    // Each name within 255 bytes, the file's with its suffix, never cutting a
    // character in two.
    void byteLimits()
    {
        const QString emoji = QString::fromUtf8("\xf0\x9f\x8e\xb5");
        const TrackTags tags = Tags{emoji.repeated(70), "", "", QString(200, QChar(0xe9)), "", ""};
        QCOMPARE(NamePattern::expand("{album}/{title}", tags, "x", "", "flac"),
                 QString(127, QChar(0xe9)) + '/' + emoji.repeated(62)); // 254 bytes; 248 and ".flac"
        QCOMPARE(OutputNaming::numbered("/o/" + QString(125, QChar(0xe9)) + ".mp3", 2),
                 "/o/" + QString(123, QChar(0xe9)) + " (2).mp3");
    }

    void convertedPath_data()
    {
        QTest::addColumn<QString>("directoryTemplate");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("addedFolder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no pattern: the name untouched") << "/o/{sourcedir}" << "" << "" << "/o//lib/cd 1/a: b.mp3";
        QTest::newRow("pattern") << "/o" << "{artist}/{track} {title}" << "" << "/o/AC_DC/03 T_.mp3";
        QTest::newRow("subfolder in the folder") << "/o/{subfolder}/x" << "" << "/lib" << "/o/cd 1/x/a: b.mp3";
        QTest::newRow("file added alone") << "/o/{subfolder}" << "" << "" << "/o/a: b.mp3";
        QTest::newRow("in the added folder") << "/o/{subfolder}" << "{subfolder}/{basename}" << "/lib/cd 1/"
                                             << "/o/a_ b.mp3";
        QTest::newRow("subfolder in the pattern") << "/o" << "{subfolder}/{title}" << "/lib" << "/o/cd 1/T_.mp3";
    }

    void convertedPath()
    {
        QFETCH(QString, directoryTemplate);
        QFETCH(QString, pattern);
        QFETCH(QString, addedFolder);
        QFETCH(QString, expected);
        const auto restore = restoreSettingsLater();
        resetSettings("ffmpeg", directoryTemplate);
        AppSettings::OutputFileName = pattern;
        const Tags tags{"T?", "AC/DC", "", "", "", "", 3};
        QCOMPARE(OutputNaming::convertedPath("/lib/cd 1/a: b.flac", addedFolder, tags), expected);
    }
};

QTEST_GUILESS_MAIN(TestNaming)
#include "test_naming.moc"
