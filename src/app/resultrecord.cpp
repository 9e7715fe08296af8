// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/resultrecord.h"

QByteArray escapedResultField(const QByteArray &path)
{
    QByteArray escaped;
    escaped.reserve(path.size());
    for (const char byte : path) {
        switch (byte) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            escaped += byte;
        }
    }
    return escaped;
}

QByteArray explanationLine(const QByteArray &input, const QString &why)
{
    return escapedResultField(input) + ": " + escapedResultField(why.toUtf8()) + '\n';
}

QByteArray resultRecord(const char *status, const QByteArray &input, const QByteArray &output, bool nulSeparated)
{
    if (nulSeparated)
        return QByteArray(status) + '\0' + input + '\0' + output + '\0';
    return QByteArray(status) + '\t' + escapedResultField(input) + '\t' + escapedResultField(output) + '\n';
}
