// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// What standard output says of one finished job: its status word, its input
// path and its output path.
//
// As lines, the fields are joined by tabs and the line ends in a line break;
// a backslash, line break, carriage return or tab inside a path is written
// `\\`, `\n`, `\r` or `\t`, so that each job is one line of three fields
// whatever its names hold, and a path without them comes out as it is.
// With `nulSeparated`, each field ends in a NUL byte and nothing is escaped.
QByteArray resultRecord(const char *status, const QByteArray &input, const QByteArray &output,
                        bool nulSeparated);

// A path or a reason as the lines of standard output and error write it.
QByteArray escapedResultField(const QByteArray &path);

// What standard error says of why a job failed, or of what to know about
// its output: "input: reason", one line.
QByteArray explanationLine(const QByteArray &input, const QString &why);
