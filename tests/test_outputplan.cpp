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
        QString text = QString(OutputPlan::word(row.action)) + ' '
                       + (row.outputPath.isEmpty() ? QString() : folder.relativeFilePath(row.outputPath));
        if (row.numberedAfter)
            text += QString(" #%1").arg(row.numberedAfter);
        if (row.sameInputAs)
            text += QString(" =%1").arg(row.sameInputAs);
        text += QString(row.replacesExisting ? " +" : "") + (row.ontoInput ? " !" : "") + (row.media ? "" : " ~");
        return text;
    }

private slots:
    void plan_data()
    {
        QTest::addColumn<QStringList>("existing"); // files made before planning
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("directory");    // the output template; @ is the test's folder
        QTest::addColumn<bool>("quick");
        QTest::addColumn<bool>("copy");
        QTest::addColumn<QStringList>("plans");
        const QStringList song{"a/song.flac"};
        QTest::newRow("fresh") << song << song << "@/out" << false << false << QStringList{"Convert out/song.mp3"};
        QTest::newRow("one name for two rows") << QStringList{"a/song.flac", "b/song.wav"}
            << QStringList{"a/song.flac", "b/song.wav"} << "@/out" << false << false
            << QStringList{"Convert out/song.mp3", "Convert out/song (2).mp3 #1"};
        QTest::newRow("an output there before") << QStringList{"a/song.flac", "out/song.mp3"} << song << "@/out"
            << false << false << QStringList{"Replace out/song.mp3 +"};
        QTest::newRow("quick, an output there before") << QStringList{"a/song.flac", "out/song.mp3"} << song
            << "@/out" << true << false << QStringList{"Skip out/song.mp3 +"};
        QTest::newRow("quick, in the output format") << QStringList{"a/song.mp3"} << QStringList{"a/song.mp3"}
            << "@/out" << true << false << QStringList{"Copy out/song.mp3"};
        QTest::newRow("onto its own input") << QStringList{"a/song.mp3"} << QStringList{"a/song.mp3"}
            << "{sourcedir}" << false << false << QStringList{"Fail a/song.mp3 + !"};
        QTest::newRow("onto a later row's input") << QStringList{"a/song.flac", "a/song.mp3"}
            << QStringList{"a/song.flac", "a/song.mp3"} << "{sourcedir}" << false << false
            << QStringList{"Fail a/song.mp3 + !", "Convert a/song (2).mp3 #1"};
        QTest::newRow("named twice") << song << QStringList{"a/song.flac", "a/../a/song.flac"} << "@/out" << false
            << false << QStringList{"Convert out/song.mp3", "Skip  =1"};
        QTest::newRow("no audio, skipped") << QStringList{"a/notes.txt"} << QStringList{"a/notes.txt"} << "@/out"
            << false << false << QStringList{"Skip  ~"};
        QTest::newRow("no audio, copied") << QStringList{"a/notes.txt", "b/notes.txt"}
            << QStringList{"a/notes.txt", "b/notes.txt"} << "@/out" << false << true
            << QStringList{"Copy out/notes.txt ~", "Copy out/notes (2).txt #1 ~"};
        QTest::newRow("no audio, copied before") << QStringList{"a/notes.txt", "out/notes.txt"}
            << QStringList{"a/notes.txt"} << "@/out" << false << true << QStringList{"Skip out/notes.txt + ~"};
        QTest::newRow("gone") << QStringList() << QStringList{"a/gone.flac"} << "@/out" << false << false
            << QStringList{"Fail "};
    }

    void plan()
    {
        QFETCH(QStringList, existing);
        QFETCH(QStringList, rows);
        QFETCH(QString, directory);
        QFETCH(bool, quick);
        QFETCH(bool, copy);
        QFETCH(QStringList, plans);
        const auto settings = restoreSettingsLater();
        QTemporaryDir temp;
        const QDir folder(QFileInfo(temp.path()).canonicalFilePath());
        resetSettings("ffmpeg", directory.replace('@', folder.path()));
        AppSettings::QuickConvertMode = quick;
        AppSettings::CopyNonAudioFiles = copy;
        for (const QString &file : existing)
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
