// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

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

// Collects the debug log while it lives. Jobs log from their own threads.
class LogCapture
{
public:
    LogCapture() { instance = this; previous = qInstallMessageHandler(&handler); }
    ~LogCapture() { qInstallMessageHandler(previous); instance = nullptr; }
    QStringList lines;

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        instance->lines.append(message);
    }
    static inline std::mutex mutex;
    static inline LogCapture *instance = nullptr;
    QtMessageHandler previous;
};
