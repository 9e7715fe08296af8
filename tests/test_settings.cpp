// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"
#include "settings/appsettings.h"
#include "settings/settingsstore.h"
#include "settingsrecord.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtTest>

// Run with this variable set, the test program loads the settings and prints
// them, so a store can be read back by a process that never cached it.
static const char printVariable[] = "QUILLMERE_TEST_PRINT_SETTINGS";

static QMap<QString, QString> record()
{
    const QVariantMap fields = settingsRecord();
    QMap<QString, QString> texts;
    for (auto it = fields.begin(); it != fields.end(); ++it)
        texts.insert(it.key(), it.value().toString());
    return texts;
}

static bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

class TestSettings : public QObject
{
    Q_OBJECT

public:
    explicit TestSettings(const IsolatedHome &home) : home(home) {}

    // A file named by the caller in INI format, or the user's own settings
    // file in the native format, read by a new process.
    enum Store { NamedIniFile, UserSettings };
    Q_ENUM(Store)

private:
    const IsolatedHome &home;

    QMap<QString, QString> defaults() const
    {
        return {
            {"FFmpegBinary", home.dir.path() + "/bin/ffmpeg"},
            {"OutputFormat", "mp3"},
            {"OutputQualityArguments", "-q:a 2"},
            {"OutputDirectory", home.dir.path() + "/Quillmere/{sourcedir}"},
            {"OutputFileName", ""},
            {"OutputSamplerate", ""},
            {"OutputChannelCount", "0"},
            {"AudioFilters", ""},
            {"QuickConvertMode", "false"},
            {"CopyNonAudioFiles", "false"},
            {"UseSoXresampler", "false"},
            {"CoverArt", "true"},
            {"ReplayGain", "false"},
            {"KeepFileTimes", "false"},
            {"Threads", "0"},
        };
    }

    static QMap<QString, QString> loadInNewProcess()
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(printVariable, "1");
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        child.waitForFinished();
        QMap<QString, QString> loaded;
        for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
            if (line.contains('\t'))
                loaded.insert(line.left(line.indexOf('\t')),
                              QByteArray::fromPercentEncoding(line.mid(line.indexOf('\t') + 1)));
        return loaded;
    }

private slots:
    void init() { QFile::remove(home.configFile()); }

    void load_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QVariantMap>("changes"); // expected differences from the defaults

        QTest::newRow("first start") << QVariantMap() << QVariantMap();
        QTest::newRow("one key") << QVariantMap{{"OutputFormat", "flac"}}
                                 << QVariantMap{{"OutputFormat", "flac"}, {"OutputQualityArguments", ""}};
        QTest::newRow("format without quality") << QVariantMap{{"OutputFormat", "opus"}}
                                                << QVariantMap{{"OutputFormat", "opus"}, {"OutputQualityArguments", "-b:a 128k"}};
        QTest::newRow("number that is not a number")
            << QVariantMap{{"Threads", "abc"}, {"OutputChannelCount", "2"}}
            << QVariantMap{{"OutputChannelCount", 2}};
        QTest::newRow("flags as text")
            << QVariantMap{{"QuickConvertMode", "FALSE"}, {"CopyNonAudioFiles", "yes"},
                           {"UseSoXresampler", "0"}}
            << QVariantMap{{"CopyNonAudioFiles", true}};
        QTest::newRow("no range on numbers")
            << QVariantMap{{"Threads", -3}, {"OutputChannelCount", 500}}
            << QVariantMap{{"Threads", -3}, {"OutputChannelCount", 500}};
        QTest::newRow("stored values used as stored")
            << QVariantMap{{"FFmpegBinary", ""}, {"OutputSamplerate", "44100"},
                           {"OutputDirectory", "/srv/{sourcedir}/x"}, {"OutputQualityArguments", ""}}
            << QVariantMap{{"FFmpegBinary", ""}, {"OutputSamplerate", "44100"},
                           {"OutputDirectory", "/srv/{sourcedir}/x"}, {"OutputQualityArguments", ""}};
    }

    void load()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QVariantMap, changes);
        if (QFileInfo("/usr/local/bin/ffmpeg").isExecutable())
            QSKIP("/usr/local/bin/ffmpeg exists on this machine and is always the default");
        if (!stored.isEmpty()) {
            QSettings settings;
            for (auto it = stored.begin(); it != stored.end(); ++it)
                settings.setValue(it.key(), it.value());
        }
        QMap<QString, QString> expected = defaults();
        for (auto it = changes.begin(); it != changes.end(); ++it)
            expected[it.key()] = it.value().toString();

        LogCapture log;
        AppSettings::load();
        QCOMPARE(log.lines, QStringList{"Settings loaded"});
        QCOMPARE(record(), expected);
        QCOMPARE(QFile::exists(home.configFile()), !stored.isEmpty());
    }

    void defaultEncoderWithoutFFmpegOnPath()
    {
        if (QFileInfo("/usr/local/bin/ffmpeg").isExecutable())
            QSKIP("/usr/local/bin/ffmpeg exists on this machine and is always the default");
        QTemporaryDir empty;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", empty.path().toLocal8Bit());
        AppSettings::load();
        qputenv("PATH", path);
        QCOMPARE(AppSettings::FFmpegBinary, QString("/usr/local/bin/ffmpeg"));
    }

    void saveAndLoadInNewProcess()
    {
        AppSettings::load();
        AppSettings::AudioFilters = "volume=-10dB\nbass=gain=10";
        AppSettings::OutputDirectory = "/data/out, \"quoted\"/日本/{sourcedir}";
        AppSettings::Threads = 7;
        AppSettings::UseSoXresampler = true;
        LogCapture log;
        AppSettings::save();
        AppSettings::save();
        QCOMPARE(log.lines, (QStringList{"Settings saved", "Settings saved"}));
        QCOMPARE(QSettings().allKeys().size(), 15);

        QFile file(home.configFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("AudioFilters=\"volume=-10dB\\nbass=gain=10\""));
        QCOMPARE(loadInNewProcess(), record());
    }

    void handEditedStore()
    {
        QFile file(home.configFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nAudioFilters=volume=0.5,bass=g=3\n"
                   "OutputDirectory=/data/a,b/{sourcedir}\nQuickConvertMode=yes\nThreads=abc\n");
        file.close();
        QMap<QString, QString> expected = defaults();
        expected["AudioFilters"] = "volume=0.5,bass=g=3";
        expected["OutputDirectory"] = "/data/a,b/{sourcedir}";
        expected["QuickConvertMode"] = "true";
        QCOMPARE(loadInNewProcess(), expected);
    }

    void handEditedText_data()
    {
        QTest::addColumn<Store>("store");
        QTest::addColumn<QByteArray>("written"); // the lines for one key, named KEY
        QTest::addColumn<QString>("expected");

        const QList<std::tuple<const char *, QByteArray, QString>> cases{
            {"comma and space inside", "KEY=/opt/my dir, v2/ffmpeg", "/opt/my dir, v2/ffmpeg"},
            {"several commas", "KEY=volume=0.5, bass=g=3,treble=g=2 ,  x",
             "volume=0.5, bass=g=3,treble=g=2 ,  x"},
            {"spaces around the whole value", "KEY=  \t/opt/a, b/ffmpeg \t ", "/opt/a, b/ffmpeg"},
            {"comment after the value", "KEY=a, b ; was a, c", "a, b"},
            {"last line of several",
             "KEY=old, one\n[Other]\nKEY=other, one\n[General]\nKEY=new, one", "new, one"},
            {"escaped backslash", "KEY=C:\\\\Program Files, x86\\\\ffmpeg",
             "C:\\Program Files, x86\\ffmpeg"},
            {"other escapes", "KEY=\\x20/data/\\x65e5\\x672c, \\tx\\x20", " /data/日本, \tx "},
            {"escapes beside a comma", "KEY=\\x41, b\\,c", "A, bc"},
            {"quoted value", "KEY=\"/opt/my dir, v2/ffmpeg\"", "/opt/my dir, v2/ffmpeg"},
            {"quoted items", "KEY=\"a\", \"b\"", "a,b"},
            {"plain value", "KEY= /usr/bin/ffmpeg ", "/usr/bin/ffmpeg"},
            {"comma alone", "KEY=a,b", "a,b"},
            {"UTF-8", "KEY=/srv/Über", "/srv/Über"},
            {"UTF-8 and a comma", "KEY=/srv/Über, 日本", "/srv/Über, 日本"},
            {"as Qt 5 writes it", "KEY=\"/srv/\\xdc\\x62\\x65r, \\xe4\\xa0x\"", "/srv/Über, ä\u00a0x"},
            {"item with an at sign", "KEY=x, @foo", "x, @foo"},
        };
        for (const Store store : {NamedIniFile, UserSettings}) {
            const char *storeName = QMetaEnum::fromType<Store>().valueToKey(store);
            for (const auto &[name, written, expected] : cases)
                QTest::addRow("%s: %s", storeName, name) << store << written << expected;
        }
    }

    // Every text field is read the same way.
    void handEditedText()
    {
        QFETCH(Store, store);
        QFETCH(QByteArray, written);
        QFETCH(QString, expected);
        QStringList keys;
        for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
            if (std::holds_alternative<QString *>(setting.field))
                keys << setting.key;
        }
        QByteArray contents;
        for (const QString &key : keys)
            contents += "[General]\n" + QByteArray(written).replace("KEY", key.toLatin1()) + '\n';

        QMap<QString, QString> loaded;
        if (store == NamedIniFile) {
            QTemporaryDir dir;
            const QString path = dir.filePath("edited.ini");
            QVERIFY(writeFile(path, contents));
            const QVariantMap saved = settingsRecord();
            const auto restore = qScopeGuard([&saved] { restoreSettingsRecord(saved); });
            AppSettings::load(SettingsStore(path));
            loaded = record();
        } else {
            QVERIFY(writeFile(home.configFile(), contents));
            loaded = loadInNewProcess();
        }
        QStringList actualFields, expectedFields;
        for (const QString &key : keys) {
            actualFields << key + '=' + loaded.value(key);
            expectedFields << key + '=' + expected;
        }
        QCOMPARE(actualFields, expectedFields);
    }

    // Every setting is saved and read back, and one left out takes its
    // default while the others keep theirs.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("key"); // left out of the store before it is read back
        for (const SettingsTable::Setting &setting : SettingsTable::settings())
            QTest::newRow(setting.key) << QString(setting.key);
    }

    void roundTrip()
    {
        QFETCH(QString, key);
        QVariantMap saved;
        for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
            // One value for each kind, in the order of the kinds.
            const QVariant other[] = {"/srv/a, \"b\"/日本\n{sourcedir}", SettingsTable::formatIds().constLast(), 7,
                                      !setting.defaultValue().toBool()};
            saved.insert(setting.key, other[int(setting.kind)]);
        }
        restoreSettingsRecord(saved);
        LogCapture log;
        AppSettings::save();
        SettingsStore().remove(key);
        restoreSettingsRecord(QVariantMap());
        AppSettings::load();
        QVERIFY(saved[key] != SettingsTable::find(key)->defaultValue());
        saved[key] = SettingsTable::find(key)->defaultValue();
        QCOMPARE(settingsRecord(), saved);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QVariantMap>("changes"); // from the settings loaded
        QTest::addColumn<QString>("error");

        QTest::newRow("a format takes its default quality")
            << QStringList{"--format", "opus"}
            << QVariantMap{{"OutputFormat", "opus"}, {"OutputQualityArguments", "-b:a 128k"}} << "";
        QTest::newRow("a quality given stays")
            << QStringList{"--set", "OutputQualityArguments=-b:a 96k", "--format", "opus"}
            << QVariantMap{{"OutputFormat", "opus"}, {"OutputQualityArguments", "-b:a 96k"}} << "";
        QTest::newRow("the later value wins, a value may hold =")
            << QStringList{"--set", "OutputFormat=ogg", "--format=wav", "--output-dir", "/a",
                           "--set=OutputDirectory=/b=c"}
            << QVariantMap{{"OutputFormat", "wav"}, {"OutputQualityArguments", "-c:a pcm_s16le"},
                           {"OutputDirectory", "/b=c"}}
            << "";
        QTest::newRow("number without range, flag, text as given")
            << QStringList{"--set", "Threads=-3", "--set", "QuickConvertMode=true", "--set", "AudioFilters= a=2, b "}
            << QVariantMap{{"Threads", -3}, {"QuickConvertMode", true}, {"AudioFilters", " a=2, b "}} << "";
        QTest::newRow("not a number") << QStringList{"--set", "OutputChannelCount=1.5"} << QVariantMap()
                                      << "OutputChannelCount takes a whole number, not \"1.5\"";
        QTest::newRow("not a flag") << QStringList{"--set", "CopyNonAudioFiles=yes"} << QVariantMap()
                                    << "CopyNonAudioFiles takes true or false, not \"yes\"";
        QTest::newRow("unknown format") << QStringList{"--format", "Mp3"} << QVariantMap()
                                        << "Unknown format \"Mp3\"; one of: mp3, m4a, ogg, opus, flac, wav";
        QTest::newRow("unknown key") << QStringList{"--set", "outputformat=mp3"} << QVariantMap()
                                     << "Unknown setting \"outputformat\"; one of: " + SettingsTable::keys().join(", ");
        QTest::newRow("no =") << QStringList{"--set", "Threads"} << QVariantMap()
                              << "--set takes KEY=VALUE, not \"Threads\"";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QVariantMap, changes);
        QFETCH(QString, error);
        LogCapture log;
        AppSettings::load();
        QVariantMap expected = settingsRecord();
        for (auto it = changes.begin(); it != changes.end(); ++it)
            expected[it.key()] = it.value();

        CommandLine commandLine;
        QCOMPARE(commandLine.parse(QStringList{"quillmere", "--convert"} + arguments), error.isEmpty());
        QCOMPARE(commandLine.errorText(), error);
        SettingsTable::apply(commandLine.settingValues());
        QCOMPARE(settingsRecord(), expected);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(printVariable)) {
        QCoreApplication app(argc, argv);
        app.setOrganizationName("Orvandel");
        app.setApplicationName("Quillmere");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        AppSettings::load();
        const QMap<QString, QString> loaded = record();
        for (auto it = loaded.begin(); it != loaded.end(); ++it)
            printf("%s\t%s\n", qPrintable(it.key()), it.value().toUtf8().toPercentEncoding().constData());
        return 0;
    }

    IsolatedHome home;
    // A PATH with only a stand-in encoder, so the default encoder is predictable.
    QDir().mkpath(home.dir.path() + "/bin");
    QFile encoder(home.dir.path() + "/bin/ffmpeg");
    encoder.open(QIODevice::WriteOnly);
    encoder.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    qputenv("PATH", (home.dir.path() + "/bin").toLocal8Bit());

    QCoreApplication app(argc, argv);
    app.setOrganizationName("Orvandel");
    app.setApplicationName("Quillmere");
    TestSettings test(home);
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings.moc"
