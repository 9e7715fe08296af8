// SPDX-License-Identifier: GPL-3.0-or-later
// The text a script hands a batch without a window, and the text it gets back.
#include "app/pathlist.h"
#include "app/resultrecord.h"

#include <QtTest>

class TestScriptText : public QObject
{
    Q_OBJECT

private slots:
    void listEntries_data()
    {
        QTest::addColumn<bool>("nulSeparated");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QByteArrayList>("paths");

        QTest::newRow("Windows line ends") << false << QByteArray("a\r\nb c\r\n") << QByteArrayList{"a", "b c"};
        QTest::newRow("one carriage return of two, none inside")
            << false << QByteArray("a\r\r\nb\rc\n") << QByteArrayList{"a\r", "b\rc"};
        QTest::newRow("blank lines") << false << QByteArray("\na\n \t \n\r\n\v\n") << QByteArrayList{"a"};
        QTest::newRow("spaces around a name") << false << QByteArray(" a \n") << QByteArrayList{" a "};
        QTest::newRow("last line without its end") << false << QByteArray("a\nb\r") << QByteArrayList{"a", "b"};
        QTest::newRow("NUL-separated, taken as they are")
            << true << QByteArray("a\r\0 \0\0b\nc", 10) << QByteArrayList{"a\r", " ", "b\nc"};
    }

    // However the list's bytes come, in two reads cut anywhere.
    void listEntries()
    {
        QFETCH(bool, nulSeparated);
        QFETCH(QByteArray, list);
        QFETCH(QByteArrayList, paths);
        for (int cut = 0; cut <= list.size(); ++cut) {
            PathListSplitter splitter(nulSeparated);
            QByteArrayList entries;
            const auto collect = [&entries](const QByteArray &entry) { entries << entry; };
            splitter.append(list.left(cut), collect);
            splitter.append(list.mid(cut), collect);
            splitter.finish(collect);
            QVERIFY2(entries == paths, qPrintable(QString("cut after %1 bytes").arg(cut)));
        }
    }

    void resultRecords_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("nulSeparated");
        QTest::addColumn<QByteArray>("record");

        QTest::newRow("plain name") << QByteArray("/m/a b.flac") << false
                                    << QByteArray("Done\t/m/a b.flac\t/o/x.mp3\n");
        QTest::newRow("line break, tab, backslash, carriage return")
            << QByteArray("/m/a\nDone\tb\\c\r.flac") << false
            << QByteArray("Done\t/m/a\\nDone\\tb\\\\c\\r.flac\t/o/x.mp3\n");
        QTest::newRow("NUL after each field, nothing escaped")
            << QByteArray("/m/a\tb\\n\n.flac") << true
            << QByteArray("Done") + '\0' + "/m/a\tb\\n\n.flac" + '\0' + "/o/x.mp3" + '\0';
    }

    void resultRecords()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, nulSeparated);
        QFETCH(QByteArray, record);
        QCOMPARE(resultRecord("Done", input, "/o/x.mp3", nulSeparated), record);
    }
};

QTEST_GUILESS_MAIN(TestScriptText)
#include "test_scripttext.moc"
