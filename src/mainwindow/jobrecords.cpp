// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/jobrecords.h"

#include <QDataStream>
#include <QDir>
#include <QStandardPaths>

namespace {

// Texts as UTF-8, half the size of the stream's own UTF-16: a batch may keep
// a hundred thousand of these.
QByteArray serialized(const JobReport &report)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(report.id) << qint32(report.status) << report.durationMs;
    for (const QString *text : {&report.inputPath, &report.outputPath, &report.reason, &report.encoderOutput,
                                &report.commandLine, &report.decodeError})
        out << text->toUtf8();
    return bytes;
}

JobReport deserialized(const QByteArray &bytes)
{
    JobReport report;
    QDataStream in(bytes);
    qint32 id = 0, status = 0;
    in >> id >> status >> report.durationMs;
    for (QString *text : {&report.inputPath, &report.outputPath, &report.reason, &report.encoderOutput,
                          &report.commandLine, &report.decodeError}) {
        QByteArray utf8;
        in >> utf8;
        *text = QString::fromUtf8(utf8.constData(), utf8.size());
    }
    if (in.status() != QDataStream::Ok)
        return JobReport();
    report.id = id;
    report.status = JobStatus::ConvertStatus(status);
    return report;
}

} // namespace

// Handles above 0 are one more than the record's place in the file; below 0,
// the negated place in memory, plus one.
JobRecords::Handle JobRecords::add(const JobReport &report)
{
    const QByteArray bytes = serialized(report);
    if (openFile()) {
        const qint64 at = end;
        QByteArray record;
        QDataStream out(&record, QIODevice::WriteOnly);
        out << bytes;
        if (file.seek(at) && file.write(record) == record.size()) {
            end += record.size();
            return at + 1;
        }
        // Whatever part of it was written is never read.
        fileFailed = true;
    }
    inMemory.append(bytes);
    return -qint64(inMemory.size());
}

JobReport JobRecords::read(Handle handle) const
{
    if (handle < 0) {
        const qint64 index = -handle - 1;
        return index < inMemory.size() ? deserialized(inMemory.at(int(index))) : JobReport();
    }
    if (handle == 0 || !file.isOpen())
        return JobReport();
    auto &reader = const_cast<RecordFile &>(file);
    if (!reader.seek(handle - 1))
        return JobReport();
    QByteArray bytes;
    QDataStream in(&reader);
    in >> bytes;
    return in.status() == QDataStream::Ok ? deserialized(bytes) : JobReport();
}

void JobRecords::clear()
{
    inMemory.clear();
    if (file.isOpen())
        file.resize(0);
    end = 0;
    fileFailed = false;
}

bool JobRecords::openFile()
{
    if (fileFailed)
        return false;
    if (file.isOpen())
        return true;
    // Where the system allows, the file has no name at all, so that nothing
    // of it outlives the process, even after a crash. The cache rather than
    // the temporary folder, which is often kept in memory.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    for (const QString &folder : {cache, QDir::tempPath()}) {
        if (folder.isEmpty() || !QDir().mkpath(folder))
            continue;
        file.setFileTemplate(folder + QStringLiteral("/jobs-XXXXXX"));
        if (file.openUnbuffered())
            return true;
    }
    fileFailed = true;
    return false;
}
