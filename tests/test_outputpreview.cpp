// SPDX-License-Identifier: GPL-3.0-or-later
// Where a window's rows will go, worked out off its thread: the outputs, the
// marks of rows worth a word, and the counts the status bar shows.
#include "batch/outputpreview.h"
#include "settings/appsettings.h"
#include "testsupport.h"

#include <QtTest>

using Results = QHash<quint64, PreviewedRow>;

class TestOutputPreview : public QObject
{
    Q_OBJECT
    IsolatedHome home;
    QTemporaryDir dir;

    // Every row given, once the preview has settled.
    static bool settle(OutputPreview &preview, Results &results, PreviewCounts &counts)
    {
        bool settled = false;
        QMetaObject::Connection rows = connect(&preview, &OutputPreview::previewed, [&](const QVector<PreviewedRow> &told, const PreviewCounts &) {
            for (const PreviewedRow &row : told)
                results.insert(row.key, row);
        });
        QMetaObject::Connection done = connect(&preview, &OutputPreview::settled, [&](const PreviewCounts &last) {
            counts = last;
            settled = true;
        });
        const bool inTime = QTest::qWaitFor([&] { return settled; }, 20000);
        disconnect(rows);
        disconnect(done);
        return inTime;
    }

    QVector<PreviewInput> inputs(const QStringList &names) const
    {
        QVector<PreviewInput> rows;
        for (const QString &name : names)
            rows.append({quint64(rows.size() + 1), dir.filePath(name), QString()});
        return rows;
    }

private slots:
    void initTestCase()
    {
        AppSettings::load();
        AppSettings::OutputFormat = "mp3";
        for (const char *name : {"a/Front.wav", "b/Front.wav", "a/x.wav", "out/x.mp3", "a/y.mp3"}) {
            QDir().mkpath(QFileInfo(dir.filePath(name)).path());
            QFile file(dir.filePath(name));
            // Not empty: an empty file is not taken for audio.
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
        }
    }

    // Rows by their input below the test folder; outputs as "name|marks".
    void marks_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QString>("counts");
        const int renamed = PreviewedRow::Renamed, onto = PreviewedRow::OntoInput;
        const auto marked = [](const char *name, int marks) { return QString("%1|%2").arg(name).arg(marks); };
        QTest::newRow("two inputs of one name") << "out" << QStringList{"a/Front.wav", "b/Front.wav"}
                                                << QStringList{marked("out/Front.mp3", 0), marked("out/Front (2).mp3", renamed)}
                                                << "1 row collides";
        QTest::newRow("an existing output") << "out" << QStringList{"a/x.wav"}
                                            << QStringList{marked("out/x.mp3", PreviewedRow::Replaces)}
                                            << "1 output replaces an existing file";
        QTest::newRow("the same input twice") << "out" << QStringList{"a/Front.wav", "a/Front.wav"}
                                              << QStringList{marked("out/Front.mp3", 0), marked("", PreviewedRow::SameInput)}
                                              << "1 row repeats an input";
        QTest::newRow("onto its own input") << "{sourcedir}" << QStringList{"a/y.mp3"}
                                            << QStringList{marked("a/y.mp3", onto)}
                                            << "1 output falls onto an input";
        QTest::newRow("onto a later row's input")
            << "out" << QStringList{"a/x.wav", "out/x.mp3"}
            << QStringList{marked("out/x.mp3", onto), marked("out/x.mp3", onto)}
            << "2 outputs fall onto inputs";
    }

    void marks()
    {
        QFETCH(QString, directory);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, outputs);
        QFETCH(QString, counts);
        AppSettings::OutputDirectory = directory == "{sourcedir}" ? directory : dir.filePath(directory);
        OutputPreview preview;
        preview.append(inputs(rows));
        Results results;
        PreviewCounts told;
        QVERIFY2(settle(preview, results, told), "the preview did not settle within 20 s");
        QStringList shown;
        for (quint64 key = 1; key <= quint64(rows.size()); ++key)
            shown << QString("%1|%2").arg(results.value(key).outputPath.isEmpty() ? QString() : QDir(dir.path()).relativeFilePath(results.value(key).outputPath))
                         .arg(results.value(key).marks);
        QCOMPARE(shown, outputs);
        QCOMPARE(told.text(), counts);
    }

    // Removing the earlier of two colliding rows, then changing the folder.
    void changes()
    {
        AppSettings::OutputDirectory = dir.filePath("out");
        OutputPreview preview;
        preview.append(inputs({"a/Front.wav", "b/Front.wav"}));
        Results results;
        PreviewCounts counts;
        QVERIFY2(settle(preview, results, counts), "the preview did not settle within 20 s");
        preview.keepOnly({2});
        QVERIFY2(settle(preview, results, counts), "the preview did not settle after a removal within 20 s");
        QCOMPARE(results.value(2).outputPath, dir.filePath("out/Front.mp3"));
        QCOMPARE(results.value(2).marks, 0);
        preview.pause();
        AppSettings::OutputDirectory = dir.filePath("elsewhere");
        preview.refresh();
        QVERIFY2(settle(preview, results, counts), "the preview did not settle after a refresh within 20 s");
        QCOMPARE(results.value(2).outputPath, dir.filePath("elsewhere/Front.mp3"));
    }

    void length()
    {
        const QString tone = dir.filePath("tone.flac");
        QVERIFY(makeTone(tone, 2.5));
        OutputPreview preview;
        preview.append({{1, tone, QString()}});
        Results results;
        PreviewCounts counts;
        QVERIFY2(settle(preview, results, counts), "the preview did not settle within 20 s");
        QVERIFY2(qAbs(results.value(1).durationMs - 2500) < 50, qPrintable(QString::number(results.value(1).durationMs)));
    }
};

QTEST_GUILESS_MAIN(TestOutputPreview)
#include "test_outputpreview.moc"
