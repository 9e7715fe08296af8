// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <variant>

// Every setting stated once: its key, which is also the name of its
// AppSettings field, the values it takes and its default. Loading, saving,
// the dialog and the command line all go through this table.
class SettingsTable
{
public:
    SettingsTable() = delete;

    using Field = std::variant<QString *, int *, bool *>;
    enum class Kind { Text, FormatId, WholeNumber, Flag };

    struct Setting
    {
        const char *key;
        Field field;
        Kind kind;
        // Called after the settings above it are loaded: a default may
        // follow them.
        QVariant (*defaultValue)();

        QVariant value() const;
        void assign(const QVariant &value) const;
        // The value `text` gives this setting, or nothing, with `problem`
        // naming what it takes instead.
        std::optional<QVariant> parse(const QString &text, QString *problem) const;
    };

    struct Assignment
    {
        const Setting *setting;
        QVariant value;
    };

    // In the order the record declares them.
    static const QList<Setting> &settings();
    static const Setting *find(const QString &key);
    static const Setting &of(Field field);
    static QStringList keys();
    static QStringList formatIds();

    // In the order given, over what was loaded. A format given without a
    // quality takes the format's default quality, as choosing it in the
    // dialog does.
    static void apply(const QList<Assignment> &assignments);
    // What the first value of the record that its setting cannot take is
    // wrong with, or an empty text.
    static QString recordProblem();
};
