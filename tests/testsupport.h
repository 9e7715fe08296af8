// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
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
