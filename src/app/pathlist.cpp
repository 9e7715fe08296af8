// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pathlist.h"

#include <QTimer>

#include <cerrno>

#include <unistd.h>

void PathListSplitter::append(const QByteArray &bytes, const std::function<void(const QByteArray &)> &entry)
{
    const char separator = nulSeparated ? '\0' : '\n';
    int from = 0;
    for (int end = bytes.indexOf(separator); end >= 0; end = bytes.indexOf(separator, from)) {
        const QByteArray path = pathOf(partial + bytes.mid(from, end - from), nulSeparated);
        partial.clear();
        if (!path.isEmpty())
            entry(path);
        from = end + 1;
    }
    // Copied: `bytes` may be a view of the caller's buffer.
    partial.append(bytes.constData() + from, bytes.size() - from);
}

void PathListSplitter::finish(const std::function<void(const QByteArray &)> &entry)
{
    const QByteArray path = pathOf(partial, nulSeparated);
    partial.clear();
    if (!path.isEmpty())
        entry(path);
}

QByteArray PathListSplitter::pathOf(QByteArray entry, bool nulSeparated)
{
    if (nulSeparated)
        return entry;
    if (entry.endsWith('\r'))
        entry.chop(1);
    return entry.trimmed().isEmpty() ? QByteArray() : entry;
}

bool PathListReader::open(const QStringList &names, QString *unreadable)
{
    for (const QString &name : names) {
        auto list = std::make_unique<QFile>(name);
        const bool opened = name == QLatin1String("-") ? list->open(stdin, QIODevice::ReadOnly)
                                                       : !name.isEmpty() && list->open(QIODevice::ReadOnly);
        if (!opened) {
            *unreadable = name;
            return false;
        }
        lists.push_back(std::move(list));
    }
    return true;
}

void PathListReader::start()
{
    current = 0;
    readNext();
}

void PathListReader::stop()
{
    notifier.reset();
    current = lists.size();
    disconnect();
}

void PathListReader::readNext()
{
    notifier.reset();
    if (current >= lists.size()) {
        // Posted, so that a list that is read at once still ends after start() has returned.
        QTimer::singleShot(0, this, &PathListReader::finished);
        return;
    }
    // Woken whenever the list has more, without ever waiting for a writer.
    notifier = std::make_unique<QSocketNotifier>(lists[current]->handle(), QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &PathListReader::readMore);
}

void PathListReader::readMore()
{
    char buffer[65536];
    const ssize_t got = ::read(lists[current]->handle(), buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    const auto emitPath = [this](const QByteArray &path) { emit pathRead(QFile::decodeName(path)); };
    if (got > 0) {
        splitter.append(QByteArray::fromRawData(buffer, int(got)), emitPath);
        return;
    }
    // The end of the list, or a read error, which ends it just as well.
    splitter.finish(emitPath);
    ++current;
    readNext();
}
