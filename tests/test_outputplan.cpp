// SPDX-License-Identifier: GPL-3.0-or-later
// A batch's plan, row by row, as the jobs would take it: from the disk only.
#include "conversiontestsupport.h"
#include "naming/outputplan.h"
#include "naming/tracktags.h"
#include "testsupport.h"

#include <QtTest>

class TestOutputPlan : public QObject
{
    Q_OBJECT

    // A row's plan in one line: its word, its output relative to `folder`,
    // then marks: #n numbered after row n, =n same input as row n,
    // + a file is there, ! onto an input, ~ no audio.
    static QString described(const OutputPlan::Row &row, const QDir &folder)
    {
        return QString(OutputPlan::word(row.action)) + ' '
               + (row.outputPath.isEmpty() ? QString() : folder.relativeFilePath(row.outputPath))
               + (row.numberedAfter ? QString(" #%1").arg(row.numberedAfter) : QString())
               + (row.sameInputAs ? QString(" =%1").arg(row.sameInputAs) : QString())
               + (row.replacesExisting ? " +" : "") + (row.ontoInput ? " !" : "") + (row.media ? "" : " ~");
    }

private slots:
    void plan_data()
    {
        QTest::addColumn<QStringList>("rows");   // made before planning, unless "gone"
        QTest::addColumn<QStringList>("others"); // other files made before planning
        QTest::addColumn<QString>("directory");  // the output template; @ is the test's folder
        QTest::addColumn<QString>("mode");       // "quick", "copy" the files that are no audio, or ""
        QTest::addColumn<QStringList>("plans");
        const QStringList song{"a/song.flac"}, none;
        QTest::newRow("one name for three rows") << QStringList{"a/song.flac", "b/song.wav", "c/song (2).ogg"}
            << none << "@/out" << ""
            << QStringList{"Convert out/song.mp3", "Convert out/song (2).mp3 #1", "Convert out/song (2) (2).mp3 #2"};
        QTest::newRow("an output there before") << song << QStringList{"out/song.mp3"} << "@/out" << ""
            << QStringList{"Replace out/song.mp3 +"};
        QTest::newRow("quick, an output there before") << song << QStringList{"out/song.mp3"} << "@/out" << "quick"
            << QStringList{"Skip out/song.mp3 +"};
        QTest::newRow("quick, in the output format") << QStringList{"a/song.mp3"} << none << "@/out" << "quick"
            << QStringList{"Copy out/song.mp3"};
        QTest::newRow("onto inputs") << QStringList{"a/song.flac", "a/song.mp3", "b/song.mp3"} << none
            << "{sourcedir}" << ""
            << QStringList{"Fail a/song.mp3 + !", "Convert a/song (2).mp3 #1", "Fail b/song.mp3 + !"};
        QTest::newRow("named twice") << QStringList{"a/song.flac", "a/../a/song.flac"} << none << "@/out" << ""
            << QStringList{"Convert out/song.mp3", "Skip  =1"};
        QTest::newRow("no audio, skipped") << QStringList{"a/notes.txt"} << none << "@/out" << ""
            << QStringList{"Skip  ~"};
        QTest::newRow("no audio, copied") << QStringList{"a/notes.txt", "b/notes.txt"}
            << QStringList{"out/notes (2).txt"} << "@/out" << "copy"
            << QStringList{"Copy out/notes.txt ~", "Skip out/notes (2).txt #1 + ~"};
        QTest::newRow("output folder below a file") << song << QStringList{"file"} << "@/file/out" << ""
            << QStringList{"Fail file/out/song.mp3"};
        QTest::newRow("gone") << QStringList{"gone.flac"} << none << "@/out" << "" << QStringList{"Fail "};
    }

    void plan()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, others);
        QFETCH(QString, directory);
        QFETCH(QString, mode);
        QFETCH(QStringList, plans);
        const auto settings = restoreSettingsLater();
        QTemporaryDir temp;
        const QDir folder(QFileInfo(temp.path()).canonicalFilePath());
        resetSettings("ffmpeg", directory.replace('@', folder.path()));
        AppSettings::QuickConvertMode = mode == "quick";
        AppSettings::CopyNonAudioFiles = mode == "copy";
        for (const QString &file : rows.filter(QRegularExpression("^(?!gone)")) + others)
            writeFile(folder.filePath(file), "x");
        const QStringList before = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        OutputPlan plan;
        for (const QString &row : rows)
            plan.addInput(folder.filePath(row));
        QStringList planned;
        for (const QString &row : rows) {
            const OutputPlan::Row next = plan.planNext(folder.filePath(row), QString(), TrackTags());
            QCOMPARE(next.reason.isEmpty(), next.action != OutputPlan::Row::Skip && next.action != OutputPlan::Row::Fail);
            planned << described(next, folder);
        }
        QCOMPARE(planned, plans);
        QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }
};

QTEST_GUILESS_MAIN(TestOutputPlan)
#include "test_outputplan.moc"
