// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/inivalue.h"

#include <QFile>
#include <QSettings>

// The file is read by the rules of Qt 5's own INI reader, so that the line
// found is the one the store took the value from, and the list the line makes
// here can be checked against the store's.

namespace {

struct Line
{
    int start = 0;
    int end = 0;
    int equals = -1;
};

bool isLineSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

// A backslash joins the next line, quotes may span lines, and an unquoted
// semicolon starts a comment.
bool readLine(const QByteArray &data, int &pos, Line &line)
{
    const int size = data.size();
    bool inQuotes = false;
    int start = pos;
    while (start < size && isLineSpace(data.at(start)))
        ++start;
    line.equals = -1;
    int i = start;
    while (i < size) {
        const char ch = data.at(i++);
        if (ch == '=') {
            if (!inQuotes && line.equals == -1)
                line.equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < size) {
                const char escaped = data.at(i++);
                if (i < size) {
                    const char next = data.at(i);
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (ch == ';') {
            if (i == start + 1) {
                while (i < size && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < size && isLineSpace(data.at(i)))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line.start = start;
    line.end = i;
    return i > start;
}

// Keys are Latin-1 with percent escapes, and a backslash stands for a slash.
QString unescapedKey(const QByteArray &raw)
{
    QString key;
    int i = 0;
    while (i < raw.size()) {
        const char ch = raw.at(i);
        if (ch == '\\') {
            key += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != '%' || i == raw.size() - 1) {
            key += QLatin1Char(ch);
            ++i;
            continue;
        }
        const bool wide = raw.at(i + 1) == 'U';
        const int first = i + (wide ? 2 : 1);
        const int digits = wide ? 4 : 2;
        bool ok = false;
        const ushort code =
            first + digits <= raw.size() ? raw.mid(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            key += QLatin1Char('%');
            ++i;
            continue;
        }
        key += QChar(code);
        i = first + digits;
    }
    return key;
}

// The raw text after the '=' of the last line for `key` at the top level.
std::optional<QByteArray> rawValue(const QByteArray &data, const QString &key)
{
    std::optional<QByteArray> found;
    bool topLevel = true;
    int pos = 0;
    Line line;
    while (readLine(data, pos, line)) {
        if (data.at(line.start) == '[') {
            const int close = data.indexOf(']', line.start);
            const int nameEnd = close == -1 || close >= line.end ? line.end : close;
            const QByteArray name = data.mid(line.start + 1, nameEnd - line.start - 1).trimmed();
            topLevel = name.compare("general", Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!topLevel || line.equals == -1)
            continue;
        int keyEnd = line.equals;
        while (keyEnd > line.start && (data.at(keyEnd - 1) == ' ' || data.at(keyEnd - 1) == '\t'))
            --keyEnd;
        if (unescapedKey(data.mid(line.start, keyEnd - line.start)) == key)
            found = data.mid(line.equals + 1, line.end - line.equals - 1);
    }
    return found;
}

// What a backslash and `code` stand for in a value, or 0 when `code` is not
// one of the one-letter escapes.
char simpleEscape(char code)
{
    switch (code) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\': return code;
    default: return 0;
    }
}

int digitValue(char ch, int base)
{
    const int value = ch >= '0' && ch <= '9'   ? ch - '0'
                      : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                      : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                               : base;
    return value < base ? value : -1;
}

// Undoes the escapes of an unquoted value and trims it; split at commas it
// gives what the store makes of it. Nothing for a value with quotes, which
// the store reads by other rules.
std::optional<QStringList> unescapedValue(const QByteArray &raw, bool splitAtCommas)
{
    const int size = raw.size();
    QStringList parts;
    QString current;
    // Spaces that an escape produced are kept.
    int chopLimit = 0;
    int i = 0;
    const auto skipSpaces = [&] {
        while (i < size && (raw.at(i) == ' ' || raw.at(i) == '\t'))
            ++i;
    };
    const auto chopSpaces = [&] {
        while (current.size() > chopLimit
               && (current.back() == QLatin1Char(' ') || current.back() == QLatin1Char('\t')))
            current.chop(1);
    };
    const auto isSpecial = [&](char ch) {
        return ch == '\\' || ch == '"' || (splitAtCommas && ch == ',');
    };

    skipSpaces();
    while (i < size) {
        const char ch = raw.at(i);
        if (ch == '"')
            return std::nullopt;
        if (ch == ',' && splitAtCommas) {
            chopSpaces();
            parts.append(current);
            current.clear();
            chopLimit = 0;
            ++i;
            skipSpaces();
            continue;
        }
        if (ch != '\\') {
            int end = i + 1;
            while (end < size && !isSpecial(raw.at(end)))
                ++end;
            current += QString::fromUtf8(raw.constData() + i, end - i);
            i = end;
            continue;
        }
        if (++i == size) {
            chopLimit = current.size();
            break;
        }
        const char code = raw.at(i++);
        if (const char plain = simpleEscape(code)) {
            current += QLatin1Char(plain);
        } else if (code == 'x' || (code >= '0' && code <= '7')) {
            // As many digits as follow; the character is the low 16 bits.
            const int base = code == 'x' ? 16 : 8;
            bool any = code != 'x';
            uint value = any ? uint(code - '0') : 0;
            for (int digit; i < size && (digit = digitValue(raw.at(i), base)) >= 0; ++i) {
                value = value * uint(base) + uint(digit);
                any = true;
            }
            if (any)
                current += QChar(ushort(value & 0xffff));
        } else if (code == '\n' || code == '\r') {
            if (i < size && (raw.at(i) == '\n' || raw.at(i) == '\r') && raw.at(i) != code)
                ++i;
        }
        chopLimit = current.size();
    }
    chopSpaces();
    parts.append(current);
    return parts;
}

bool isIniStore(const QSettings &store)
{
    if (store.format() == QSettings::IniFormat)
        return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return store.format() == QSettings::NativeFormat;
#else
    return false;
#endif
}

} // namespace

std::optional<QString> writtenIniValue(const QSettings &store, const QString &key,
                                       const QStringList &asList)
{
    if (!isIniStore(store) || !store.group().isEmpty())
        return std::nullopt;
    QFile file(store.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    // A byte-order mark is no part of the first line.
    if (data.startsWith("\xef\xbb\xbf"))
        data.remove(0, 3);
    const std::optional<QByteArray> raw = rawValue(data, key);
    if (!raw)
        return std::nullopt;
    std::optional<QStringList> parts = unescapedValue(*raw, true);
    if (!parts)
        return std::nullopt;
    // A doubled '@' at the start of an item stands for one.
    for (QString &part : *parts)
        if (part.startsWith(QLatin1String("@@")))
            part.remove(0, 1);
    // The file may have changed since the store read it.
    if (*parts != asList)
        return std::nullopt;
    QString whole = unescapedValue(*raw, false)->constFirst();
    if (whole.startsWith(QLatin1String("@@")))
        whole.remove(0, 1);
    return whole;
}
