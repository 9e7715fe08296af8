// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <functional>
#include <mutex>

// Points HOME and the configuration directory at a private temporary folder,
// so no test reads or writes the user's own settings. Create it before the
// application object.
struct IsolatedHome
{
    QTemporaryDir dir;
    IsolatedHome()
    {
        qputenv("HOME", dir.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    }
    QString configFile() const { return dir.path() + "/config/Orvandel/Quillmere.conf"; }
};

// Collects the debug log while it lives, or the lines that `keep` accepts.
// Jobs log from their own threads.
class LogCapture
{
public:
    explicit LogCapture(std::function<bool(const QString &)> keep = {}) : keep(std::move(keep))
    {
        instance = this;
        previous = qInstallMessageHandler(&handler);
    }
    ~LogCapture() { qInstallMessageHandler(previous); instance = nullptr; }
    // Read `lines` directly only once no job runs; while one may, read this copy.
    QStringList snapshot() const
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return lines;
    }
    QStringList lines;

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!instance->keep || instance->keep(message))
            instance->lines.append(message);
    }
    static inline std::mutex mutex;
    static inline LogCapture *instance = nullptr;
    std::function<bool(const QString &)> keep;
    QtMessageHandler previous;
};

// Makes a test tone with the real encoder; `extra` goes before the output.
inline bool makeTone(const QString &path, double seconds, const QStringList &extra = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QStringList arguments{"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                          QString("sine=frequency=440:sample_rate=44100:duration=%1").arg(seconds)};
    arguments << extra << path;
    return QProcess::execute("ffmpeg", arguments) == 0;
}

// The values of ffprobe's `entries` for a media file, one a line.
inline QString probe(const QString &path, const QString &entries)
{
    QProcess ffprobe;
    ffprobe.start("ffprobe", {"-v", "error", "-show_entries", entries, "-of",
                              "default=noprint_wrappers=1:nokey=1", path});
    ffprobe.waitForFinished(30000);
    return QString::fromUtf8(ffprobe.readAllStandardOutput()).trimmed();
}
