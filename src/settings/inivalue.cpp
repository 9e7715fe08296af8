// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/inivalue.h"

#include "settings/settingsstore.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstring>

// The value is read again by QSettings itself, from a copy of the file in
// which the commas are escapes: they then stand for themselves, and the whole
// value comes back as one text, with the spaces around its commas.

namespace {

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

// The value of `key` in an INI file that holds `contents`.
QVariant valueIn(const QByteArray &contents, const QString &key)
{
    QTemporaryFile file;
    if (!file.open() || file.write(contents) != contents.size() || !file.flush())
        return QVariant();
    return SettingsStore(file.fileName()).value(key);
}

// `contents` with each of `characters` that no backslash escapes written as a
// hex escape, which QSettings reads as that plain character. The unknown
// escape "\z" after it stands for nothing and ends the hex digits.
QByteArray escaped(const QByteArray &contents, const char *characters)
{
    QByteArray result;
    result.reserve(contents.size());
    bool afterBackslash = false;
    for (const char ch : contents) {
        if (!afterBackslash && ch != '\0' && std::strchr(characters, ch))
            result += "\\x" + QByteArray::number(uchar(ch), 16) + "\\z";
        else
            result += ch;
        afterBackslash = !afterBackslash && ch == '\\';
    }
    return result;
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
    const QByteArray contents = file.readAll();
    // The file may have changed since the store read it.
    if (valueIn(contents, key).toStringList() != asList)
        return std::nullopt;
    const QVariant whole = valueIn(escaped(contents, ","), key);
    // Between quoted parts the spaces around a comma were never part of the
    // text: a value with quotes keeps the list's reading.
    if (whole.userType() != QMetaType::QString || valueIn(escaped(contents, ",\""), key) != whole)
        return std::nullopt;
    return whole.toString();
}
