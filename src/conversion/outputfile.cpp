// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Longest file name most file systems take, in bytes.
constexpr int nameLimit = 255;
// Room for the process id and the random part after the marker.
constexpr int idLength = 10 + 1 + 8;
// A suffix longer than this is no format's: it is left out of the name.
constexpr int suffixLimit = 32;
constexpr int copyChunk = 1 << 20;
// A file left behind is removed only once it has not changed for this long:
// a writer on another machine sharing the folder has another process table.
constexpr qint64 leftoverAge = 60;
const QString marker = QStringLiteral(".part-");
// No kernel gives a process id this high.
constexpr qint64 kernelLimit = 1 << 22;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// `text` cut to at most `bytes` bytes of UTF-8, at a character boundary.
QString cutToBytes(const QString &text, int bytes)
{
    QString cut = text;
    while (!cut.isEmpty() && cut.toUtf8().size() > bytes)
        cut.chop(cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
    return cut;
}

// The output name's parts that the temporary name keeps: the part before the
// process id, and the suffix after it.
struct NameParts
{
    QString head; // "." and the complete base name, shortened where the name would be too long
    QString tail; // "." and the suffix, or nothing
};

NameParts partsOf(const QString &outputPath)
{
    const QFileInfo info(outputPath);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    NameParts parts;
    parts.tail = dot >= 0 ? name.mid(dot) : QString();
    QString base = dot >= 0 ? name.left(dot) : name;
    if (parts.tail.toUtf8().size() > suffixLimit) {
        parts.tail.clear();
        base = name;
    }
    const int room = nameLimit - 1 - int(marker.size()) - idLength - parts.tail.toUtf8().size();
    QString head = cutToBytes(base, qMax(0, room));
    // Names cut alike must still differ. Eight digits: Qt 6's hash has sixteen.
    if (head.size() < base.size())
        head = cutToBytes(head, qMax(0, room - 9))
               + QStringLiteral("~%1").arg(uint(qHash(base)), 8, 16, QLatin1Char('0'));
    parts.head = QLatin1Char('.') + head;
    return parts;
}

bool exists(const QByteArray &path)
{
    struct stat status;
    return ::lstat(path.constData(), &status) == 0;
}

bool untouchedFor(const QByteArray &path, qint64 seconds)
{
    struct stat status;
    return ::lstat(path.constData(), &status) == 0 && ::time(nullptr) - status.st_mtime >= seconds;
}

// One above the highest process id this system gives, at most the kernel's
// own limit.
qint64 processIdLimit()
{
    static const qint64 limit = [] {
        QFile file(QStringLiteral("/proc/sys/kernel/pid_max"));
        bool number = false;
        const qint64 read = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong(&number) : 0;
        return number && read > 1 ? qMin(read, kernelLimit) : kernelLimit;
    }();
    return limit;
}

// The process id in the part of a temporary name between the marker and the
// suffix, written exactly as the constructor writes it; 0 for anything else.
qint64 writerOf(const QString &middle)
{
    static const QRegularExpression shape(QStringLiteral("\\A([1-9][0-9]{0,6})-[0-9a-f]{8}\\z"));
    const QRegularExpressionMatch match = shape.match(middle);
    const qint64 pid = match.hasMatch() ? match.captured(1).toLongLong() : 0;
    return pid < processIdLimit() ? pid : 0;
}

bool processGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// Renames without replacing what is there: atomic where the system can, else
// through a second link, which fails where a name exists as well.
int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
#endif
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno == EEXIST)
        return -1;
    // File systems without links (vfat): look, then rename; the gap is small.
    if (exists(to)) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.constData(), to.constData());
}

} // namespace

OutputFile::OutputFile(const QString &outputPath)
    : output(outputPath)
{
    const NameParts parts = partsOf(outputPath);
    // The random part keeps apart two writers with one process id, on two
    // machines sharing the folder.
    temporary = QFileInfo(outputPath).path() + QLatin1Char('/') + parts.head + marker
        + QString::number(qint64(::getpid())) + QLatin1Char('-')
        + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')) + parts.tail;
}

OutputFile::~OutputFile()
{
    if (!committed)
        ::unlink(encoded(temporary).constData());
}

QStringList OutputFile::leftoversIn(const QString &folder)
{
    return QDir(folder).entryList(QStringList{QLatin1String(".*") + marker + QLatin1Char('*')},
                                  QDir::Files | QDir::Hidden | QDir::System);
}

void OutputFile::removeStale(const QStringList &leftovers) const
{
    const QString folder = QFileInfo(output).path();
    const NameParts parts = partsOf(output);
    const QString prefix = parts.head + marker;
    const QString &suffix = parts.tail;
    for (const QString &name : leftovers) {
        if (!name.startsWith(prefix) || !name.endsWith(suffix) || name.size() <= prefix.size() + suffix.size())
            continue;
        const qint64 pid = writerOf(name.mid(prefix.size(), name.size() - prefix.size() - suffix.size()));
        if (pid == 0)
            continue;
        const QByteArray path = encoded(folder + QLatin1Char('/') + name);
        // This process holds the output's claim, so a file of its own is left over too.
        if ((pid == qint64(::getpid()) || processGone(pid)) && untouchedFor(path, leftoverAge))
            ::unlink(path.constData());
    }
}

bool OutputFile::occupied() const
{
    return exists(encoded(output));
}

bool OutputFile::written() const
{
    struct stat status;
    return ::lstat(encoded(temporary).constData(), &status) == 0 && S_ISREG(status.st_mode)
        && status.st_size > 0;
}

OutputFile::Commit OutputFile::commit(bool replace)
{
    const QByteArray from = encoded(temporary), to = encoded(output);
    // On disk before it has the output's name, or a power cut could leave an
    // empty file where the earlier output was.
    const int written = ::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const bool synced = written >= 0 && ::fsync(written) == 0;
    if (written >= 0)
        ::close(written);
    if (!synced)
        return Refused;
    const int result = replace ? ::rename(from.constData(), to.constData()) : renameNoReplace(from, to);
    if (result == 0) {
        committed = true;
        return Committed;
    }
    return errno == EEXIST || errno == ENOTEMPTY ? Occupied : Refused;
}

bool OutputFile::copyFrom(const QString &source, const std::atomic<bool> *stop)
{
    // Never wait on a FIFO or a device for a writer.
    const int in = ::open(encoded(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return false;
    struct stat status;
    if (::fstat(in, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(in);
        return false;
    }
    const int out = ::open(encoded(temporary).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                           status.st_mode & 0777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    QByteArray buffer(copyChunk, Qt::Uninitialized);
    bool whole = true;
    for (;;) {
        if (stop && stop->load()) {
            whole = false;
            break;
        }
        const ssize_t count = ::read(in, buffer.data(), size_t(buffer.size()));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            whole = count == 0;
            break;
        }
        for (ssize_t done = 0; whole && done < count;) {
            const ssize_t put = ::write(out, buffer.constData() + done, size_t(count - done));
            if (put < 0 && errno == EINTR)
                continue;
            whole = put > 0;
            done += qMax<ssize_t>(put, 0);
        }
        if (!whole)
            break;
    }
    ::close(in);
    // A full disk may only show when the file is closed.
    whole = ::close(out) == 0 && whole;
    if (!whole)
        ::unlink(encoded(temporary).constData());
    return whole;
}
