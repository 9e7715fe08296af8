// SPDX-License-Identifier: GPL-3.0-or-later
// Output names made of tags: placeholders, fallbacks, names a USB stick takes.
#include "naming/namepattern.h"
#include "naming/outputnaming.h"
#include "naming/tracktags.h"
#include "settings/appsettings.h"
#include "settings/outputlocation.h"

#include <QtTest>

Q_DECLARE_METATYPE(TrackTags)

static TrackTags tagged(const QString &artist, const QString &album, const QString &title, int track)
{
    TrackTags tags;
    tags.artist = artist;
    tags.album = album;
    tags.title = title;
    tags.track = track;
    return tags;
}

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
        QTest::newRow("tagged") << usual << tagged("Abba", "Arrival", "Dancing Queen", 3) << ""
                                << "Abba/Arrival/03 Dancing Queen";
        QTest::newRow("a slash in a tag makes no folder") << usual << tagged("AC/DC", "Back in Black", "Shoot", 9)
                                                          << "" << "AC_DC/Back in Black/09 Shoot";
        QTest::newRow("untagged") << usual << TrackTags() << "" << "Unknown Artist/Unknown Album/00 track01";
        TrackTags both = tagged("Guest", "Duets", "One", 1);
        both.albumArtist = "Various";
        QTest::newRow("album artist before artist") << usual << both << "" << "Various/Duets/01 One";
        QTest::newRow("characters FAT refuses") << "{title}" << tagged("", "", "Why? \"A\": <b|c> *\\d", 0) << ""
                                                << "Why_ _A__ _b_c_ __d";
        QTest::newRow("control characters") << "{title}" << tagged("", "", "a\tb\nc\x7f", 0) << "" << "a_b_c_";
        QTest::newRow("trailing dots and spaces") << "{album}/{title}" << tagged("", "Vol. 2. ", "End..", 0) << ""
                                                  << "Vol. 2__/End__";
        QTest::newRow("no climbing out") << "../{title}" << tagged("", "", "../../etc", 0) << ""
                                         << "__/.._.._etc";
        QTest::newRow("typed characters") << "{artist}: {title}?" << tagged("A", "", "B", 0) << "" << "A_ B_";
        TrackTags dated;
        dated.disc = 2;
        dated.year = 1977;
        dated.genre = "Pop";
        QTest::newRow("disc, year, genre and fallbacks") << "{disc}-{year} {genre} {composer}" << dated << ""
                                                         << "2-1977 Pop Unknown Composer";
        QTest::newRow("subfolder") << "{subfolder}/{basename}" << TrackTags() << "cd1/a" << "cd1/a/track01";
        QTest::newRow("empty subfolder") << "{subfolder}/{basename}" << TrackTags() << "" << "track01";
        QTest::newRow("no file name") << "{artist}/" << TrackTags() << "" << "Unknown Artist/track01";
        QTest::newRow("empty folder names") << "//{title}" << TrackTags() << "" << "track01";
        QTest::newRow("unknown placeholder") << "{Title} {x}" << TrackTags() << "" << "{Title} {x}";
        QTest::newRow("blank tag") << "{title}" << tagged("", "", "  ", 0) << "" << "track01";
    }

    void expand()
    {
        QFETCH(QString, pattern);
        QFETCH(TrackTags, tags);
        QFETCH(QString, subfolder);
        QFETCH(QString, expected);
        QCOMPARE(NamePattern::expand(pattern, tags, "track01", subfolder, "mp3"), expected);
    }

    // Each name within 255 bytes, the file's with its suffix, never cutting a
    // character in two.
    void byteLimits()
    {
        const QString wide = QString(200, QChar(0xe9));          // é: two bytes each
        const QString emoji = QString::fromUtf8("\xf0\x9f\x8e\xb5"); // four bytes
        QString paired;
        for (int i = 0; i < 70; ++i)
            paired += emoji;
        const QStringList names = NamePattern::expand("{album}/{title}", tagged("", wide, paired, 0), "x", "", "flac")
                                      .split('/');
        QCOMPARE(names.size(), 2);
        QCOMPARE(names[0], QString(127, QChar(0xe9)));
        QCOMPARE(names[1], emoji.repeated(62)); // 248 bytes and ".flac"
        QCOMPARE(NamePattern::cleanName("ab. ", 3), QString("ab_"));
    }

    void usesTags_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("uses");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("name and folder only") << "{subfolder}/{basename} x" << false;
        QTest::newRow("a tag") << "{basename} {year}" << true;
    }

    void usesTags()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, uses);
        QCOMPARE(NamePattern::usesTags(pattern), uses);
    }

    void convertedPath_data()
    {
        QTest::addColumn<QString>("directoryTemplate");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("addedFolder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no pattern: the input's name, untouched") << "/out/{sourcedir}" << "" << ""
                                                                  << "/out//lib/cd 1/a: b.mp3";
        QTest::newRow("pattern") << "/out" << "{artist}/{track} {title}" << "" << "/out/AC_DC/03 T_.mp3";
        QTest::newRow("subfolder in the folder") << "/out/{subfolder}/x" << "" << "/lib" << "/out/cd 1/x/a: b.mp3";
        QTest::newRow("subfolder of a file added alone") << "/out/{subfolder}" << "" << "" << "/out/a: b.mp3";
        QTest::newRow("added folder is the file's own") << "/out/{subfolder}" << "{subfolder}/{basename}"
                                                        << "/lib/cd 1/" << "/out/a_ b.mp3";
        QTest::newRow("subfolder in the pattern") << "/out" << "{subfolder}/{title}" << "/lib" << "/out/cd 1/T_.mp3";
    }

    void convertedPath()
    {
        QFETCH(QString, directoryTemplate);
        QFETCH(QString, pattern);
        QFETCH(QString, addedFolder);
        QFETCH(QString, expected);
        const auto restore = qScopeGuard(
            [folder = AppSettings::OutputDirectory, name = AppSettings::OutputFileName, format = AppSettings::OutputFormat] {
                AppSettings::OutputDirectory = folder;
                AppSettings::OutputFileName = name;
                AppSettings::OutputFormat = format;
            });
        AppSettings::OutputDirectory = directoryTemplate;
        AppSettings::OutputFileName = pattern;
        AppSettings::OutputFormat = "mp3";
        QCOMPARE(OutputNaming::convertedPath("/lib/cd 1/a: b.flac", addedFolder, tagged("AC/DC", "", "T?", 3)),
                 expected);
    }

    void outputDirectoryCheck()
    {
        QTemporaryDir dir;
        QVERIFY(isValidOutputDirectory(dir.path() + "/made/{subfolder}/{sourcedir}"));
        QVERIFY(QFileInfo(dir.path() + "/made").isDir());
        QVERIFY(!QFileInfo(dir.path() + "/made/{subfolder}").exists());
    }
};

QTEST_GUILESS_MAIN(TestNaming)
#include "test_naming.moc"
