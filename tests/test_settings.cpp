// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appsettings.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

public:
    explicit TestSettings(const IsolatedHome &home) : home(home) {}

private:
    const IsolatedHome &home;

    static QVariantMap record()
    {
        return {
            {"FFmpegBinary", AppSettings::FFmpegBinary},
            {"OutputFormat", AppSettings::OutputFormat},
            {"OutputQualityArguments", AppSettings::OutputQualityArguments},
            {"OutputDirectory", AppSettings::OutputDirectory},
            {"OutputSamplerate", AppSettings::OutputSamplerate},
            {"OutputChannelCount", AppSettings::OutputChannelCount},
            {"AudioFilters", AppSettings::AudioFilters},
            {"QuickConvertMode", AppSettings::QuickConvertMode},
            {"CopyNonAudioFiles", AppSettings::CopyNonAudioFiles},
            {"UseSoXresampler", AppSettings::UseSoXresampler},
            {"Threads", AppSettings::Threads},
        };
    }

    void store(const QVariantMap &values)
    {
        QSettings settings;
        settings.clear();
        for (auto it = values.begin(); it != values.end(); ++it)
            settings.setValue(it.key(), it.value());
    }

private slots:
    void init() { QFile::remove(home.configFile()); }

    void load_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QVariantMap>("changes"); // expected differences from the defaults

        QTest::newRow("first start") << QVariantMap() << QVariantMap();
        QTest::newRow("one key") << QVariantMap{{"OutputFormat", "flac"}}
                                 << QVariantMap{{"OutputFormat", "flac"}};
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
        if (!stored.isEmpty())
            store(stored);

        QVariantMap expected{
            {"FFmpegBinary", AppSettings::defaultFFmpegBinary()},
            {"OutputFormat", "mp3"},
            {"OutputQualityArguments", "-q:a 2"},
            {"OutputDirectory", home.dir.path() + "/Quillmere/{sourcedir}"},
            {"OutputSamplerate", ""},
            {"OutputChannelCount", 0},
            {"AudioFilters", ""},
            {"QuickConvertMode", false},
            {"CopyNonAudioFiles", false},
            {"UseSoXresampler", false},
            {"Threads", 0},
        };
        for (auto it = changes.begin(); it != changes.end(); ++it)
            expected[it.key()] = it.value();

        LogCapture log;
        AppSettings::load();
        QCOMPARE(log.lines, QStringList{"Settings loaded"});
        const QVariantMap actual = record();
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QCOMPARE(actual.value(it.key()).toString(), it.value().toString());
        QCOMPARE(QFile::exists(home.configFile()), !stored.isEmpty());
    }

    void defaultEncoder_data()
    {
        QTest::addColumn<bool>("onPath");
        QTest::newRow("ffmpeg on the PATH") << true;
        QTest::newRow("no ffmpeg anywhere") << false;
    }

    void defaultEncoder()
    {
        QFETCH(bool, onPath);
        if (QFileInfo("/usr/local/bin/ffmpeg").isExecutable())
            QSKIP("/usr/local/bin/ffmpeg exists on this machine and always wins");
        QTemporaryDir bin;
        const QString fake = bin.path() + "/ffmpeg";
        if (onPath) {
            QFile file(fake);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        AppSettings::load();
        qputenv("PATH", oldPath);
        QCOMPARE(AppSettings::FFmpegBinary, onPath ? fake : QString("/usr/local/bin/ffmpeg"));
    }

    void saveRoundTrip()
    {
        AppSettings::load();
        AppSettings::AudioFilters = "volume=-10dB\nbass=gain=10";
        AppSettings::OutputDirectory = "/data/out, \"quoted\"/日本/{sourcedir}";
        AppSettings::Threads = 7;
        AppSettings::UseSoXresampler = true;
        const QVariantMap saved = record();

        LogCapture log;
        AppSettings::save();
        AppSettings::save();
        QCOMPARE(log.lines, (QStringList{"Settings saved", "Settings saved"}));
        QCOMPARE(QSettings().allKeys().size(), 11);

        QFile file(home.configFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("AudioFilters=\"volume=-10dB\\nbass=gain=10\""));

        AppSettings::AudioFilters.clear();
        AppSettings::OutputDirectory.clear();
        AppSettings::Threads = 0;
        AppSettings::UseSoXresampler = false;
        AppSettings::load();
        QCOMPARE(record(), saved);
    }
};

int main(int argc, char **argv)
{
    IsolatedHome home;
    QCoreApplication app(argc, argv);
    app.setOrganizationName("Orvandel");
    app.setApplicationName("Quillmere");
    TestSettings test(home);
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings.moc"
