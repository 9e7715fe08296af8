// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "conversion/jobreport.h"

#include <QByteArray>
#include <QTemporaryFile>
#include <QVector>

// What each finished job reported, for showing on request. Reports hold the
// encoder's output, a few kilobytes a job; a batch of a hundred thousand
// files would keep hundreds of megabytes of them, so they are written to a
// temporary file and only a number is kept per row. Where that file cannot be
// written they are kept in memory instead.
class JobRecords
{
public:
    // Refers to one kept report; 0 refers to none.
    using Handle = qint64;

    Handle add(const JobReport &report);
    // An empty report for a handle this store did not give.
    JobReport read(Handle handle) const;
    // Forgets every report: no row refers to one any more.
    void clear();

private:
    bool openFile();

    // Unbuffered, so that a write the disk refuses fails in add() rather
    // than later, in the middle of another record.
    class RecordFile : public QTemporaryFile
    {
    public:
        bool openUnbuffered() { return open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
    };

    RecordFile file;
    qint64 end = 0;
    bool fileFailed = false;
    QVector<QByteArray> inMemory;
};
