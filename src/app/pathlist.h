// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Cuts a list of paths into its entries as its bytes come: one a line or,
// with `nulSeparated`, each ending in a NUL byte (as `find -print0` writes
// them). Empty entries are left out. A line is taken as a Windows editor
// writes it too: one carriage return at its end is dropped, and a line of
// nothing but white space is left out.
class PathListSplitter
{
public:
    explicit PathListSplitter(bool nulSeparated) : nulSeparated(nulSeparated) {}

    // Calls `entry` for each entry that `bytes` completes.
    void append(const QByteArray &bytes, const std::function<void(const QByteArray &)> &entry);
    // The list has ended: an entry without its separator counts too.
    void finish(const std::function<void(const QByteArray &)> &entry);

    // What an entry cut out of the list names; empty for none.
    static QByteArray pathOf(QByteArray entry, bool nulSeparated);

private:
    bool nulSeparated;
    QByteArray partial;
};

// Reads lists of paths one after another, in the order given, from the event
// loop: each path comes as soon as its list has it, also from a pipe whose
// writer is still writing. Names are decoded as the system's file names are.
class PathListReader : public QObject
{
    Q_OBJECT

public:
    explicit PathListReader(bool nulSeparated) : splitter(nulSeparated) {}

    // Opens every list ("-" is standard input) before any is read; false,
    // with the name in `unreadable`, for the first that cannot be.
    bool open(const QStringList &names, QString *unreadable);
    // Starts reading; finished() follows the last list's end, at once when
    // there are none.
    void start();
    // Reads no more and says nothing more.
    void stop();

signals:
    void pathRead(const QString &path);
    void finished();

private:
    void readMore();
    void readNext();

    PathListSplitter splitter;
    std::vector<std::unique_ptr<QFile>> lists;
    size_t current = 0;
    std::unique_ptr<QSocketNotifier> notifier;
};
