// SPDX-License-Identifier: GPL-3.0-or-later
// Installs the build into a temporary root and checks that every file lands
// where a desktop looks for it; then builds the Debian package.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

static const QString appId = QStringLiteral(QUILLMERE_APP_ID);

// Runs a program to its end; returns its merged output, or a null string on failure.
static QString run(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(240000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        qWarning().noquote() << program << arguments.join(' ') << "failed:"
                             << process.readAll();
        return QString();
    }
    const QString output = QString::fromUtf8(process.readAll());
    return output.isNull() ? QString("") : output;
}

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir root;
    QString prefix() const { return root.path() + "/usr"; }

private slots:
    void initTestCase()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", root.path());
        QVERIFY(!run(QUILLMERE_CMAKE, {"--install", QUILLMERE_BINARY_DIR, "--prefix", "/usr"},
                     environment)
                     .isNull());
    }

    void files_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("iconSize"); // invalid: not a raster icon
        QTest::newRow("binary") << "bin/quillmere" << QSize();
        QTest::newRow("desktop entry") << "share/applications/" + appId + ".desktop" << QSize();
        QTest::newRow("metainfo") << "share/metainfo/" + appId + ".metainfo.xml" << QSize();
        QTest::newRow("licence") << "share/doc/quillmere/copyright" << QSize();
        QTest::newRow("manual page") << "share/man/man1/quillmere.1.gz" << QSize();
        QTest::newRow("scalable icon")
            << "share/icons/hicolor/scalable/apps/" + appId + ".svg" << QSize();
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QString("icon %1").arg(size)))
                << QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(appId)
                << QSize(size, size);
    }

    void files()
    {
        QFETCH(QString, path);
        QFETCH(QSize, iconSize);
        const QFileInfo file(prefix() + "/" + path);
        QVERIFY2(file.isFile(), qPrintable(file.filePath()));
        QCOMPARE(file.isExecutable(), path.startsWith("bin/"));
        if (iconSize.isValid())
            QCOMPARE(QImage(file.filePath()).size(), iconSize);
    }

    void entryPointsAtInstalledFiles()
    {
        QFile desktop(prefix() + "/share/applications/" + appId + ".desktop");
        QVERIFY(desktop.open(QIODevice::ReadOnly | QIODevice::Text));
        // Keys by group: an action has an Exec of its own.
        QMap<QString, QMap<QString, QString>> groups;
        QString group;
        for (const QString &line : QString::fromUtf8(desktop.readAll()).split('\n')) {
            if (line.startsWith('['))
                group = line;
            else
                groups[group].insert(line.section('=', 0, 0), line.section('=', 1));
        }
        const QMap<QString, QString> entry = groups.value("[Desktop Entry]");
        QCOMPARE(entry.value("Exec"), QString("quillmere %F"));
        QCOMPARE(entry.value("Icon"), appId);
        for (const char *type : {"audio/mpeg", "audio/flac", "audio/ogg", "inode/directory"})
            QVERIFY2(entry.value("MimeType").split(';').contains(type), type);
        QCOMPARE(entry.value("Actions"), QString("convert;"));
        const QMap<QString, QString> convert = groups.value("[Desktop Action convert]");
        QCOMPARE(convert.value("Name"), QString("Convert with Quillmere"));
        QCOMPARE(convert.value("Exec"), QString("quillmere --start %F"));

        QFile metainfo(prefix() + "/share/metainfo/" + appId + ".metainfo.xml");
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        const QByteArray xml = metainfo.readAll();
        QVERIFY(xml.contains("<launchable type=\"desktop-id\">" + appId.toUtf8() + ".desktop<"));
        // The newest release, listed first, is the one built.
        const QByteArray release = "<release version=\"";
        const int newest = xml.indexOf(release);
        QVERIFY(newest >= 0);
        const QByteArray listed = xml.mid(newest + release.size());
        QCOMPARE(listed.left(listed.indexOf('"')), QByteArray(QUILLMERE_VERSION));
    }

    void validators_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop-file-validate")
            << "desktop-file-validate"
            << QStringList{prefix() + "/share/applications/" + appId + ".desktop"};
        QTest::newRow("appstreamcli")
            << "appstreamcli"
            << QStringList{"validate", "--no-net", "--pedantic",
                           prefix() + "/share/metainfo/" + appId + ".metainfo.xml"};
    }

    void validators()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            QSKIP("validator not installed");
        const QString output = run(program, arguments);
        QVERIFY(!output.isNull());
        // desktop-file-validate passes with hints; any line it prints is a finding.
        if (tool == "desktop-file-validate")
            QVERIFY2(output.trimmed().isEmpty(), qPrintable(output));
    }

    void debianPackage()
    {
        if (QStandardPaths::findExecutable("dpkg-shlibdeps").isEmpty())
            QSKIP("dpkg-dev is not installed");
        QTemporaryDir packages;
        QVERIFY(!run(QUILLMERE_CPACK, {"-G", "DEB", "-B", packages.path(), "--config",
                                       QUILLMERE_BINARY_DIR "/CPackConfig.cmake"})
                     .isNull());
        const QStringList made = QDir(packages.path()).entryList({"*.deb"});
        QCOMPARE(made.size(), 1);
        QVERIFY2(made[0].startsWith("quillmere_" QUILLMERE_VERSION "_"), qPrintable(made[0]));
        const QString deb = packages.filePath(made[0]);

        const QString fields = run("dpkg-deb", {"-f", deb, "Package", "Version", "Depends",
                                                "Recommends"});
        QVERIFY(fields.contains("Package: quillmere\n"));
        QVERIFY(fields.contains("Version: " QUILLMERE_VERSION "\n"));
        QVERIFY2(fields.contains(QRegularExpression("Depends: .*\\bffmpeg\\b")), qPrintable(fields));
        QVERIFY2(fields.contains(QRegularExpression("Depends: .*\\blibtag1v5\\b")), qPrintable(fields));
        // The package is made from the Qt 5 build; a Qt 6 build's names its own Qt.
        const QString widgets = QString("libqt%1widgets%1").arg(QT_VERSION_MAJOR);
        QVERIFY2(fields.contains(QRegularExpression("Depends: .*\\b" + widgets + "\\b")),
                 qPrintable(fields));
        QVERIFY(fields.contains(QT_VERSION_MAJOR == 5 ? "Recommends: qttranslations5-l10n"
                                                      : "Recommends: qt6-translations-l10n"));

        const QString contents = run("dpkg-deb", {"-c", deb});
        for (const QString &path :
             {QString("./usr/bin/quillmere"), "./usr/share/applications/" + appId + ".desktop",
              "./usr/share/metainfo/" + appId + ".metainfo.xml",
              "./usr/share/icons/hicolor/256x256/apps/" + appId + ".png",
              QString("./usr/share/doc/quillmere/copyright")})
            QVERIFY2(contents.contains(path), qPrintable(path));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
