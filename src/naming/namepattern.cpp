// SPDX-License-Identifier: GPL-3.0-or-later
#include "naming/namepattern.h"

#include "naming/tracktags.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr QChar replacement = QLatin1Char('_');

bool forbidden(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f || QStringLiteral("/\\?:*\"<>|").contains(c);
}

// How much of `text`, in whole characters, fits in `maxBytes` of UTF-8.
int fittingLength(const QString &text, int maxBytes)
{
    int bytes = 0;
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        bytes += pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes > maxBytes)
            return i;
        if (pair)
            ++i;
    }
    return text.size();
}

QString number(int value, int width)
{
    return value > 0 ? QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0')) : QString();
}

QString unknownArtist()
{
    return QStringLiteral("Unknown Artist");
}

QString orElse(const QString &value, const QString &fallback)
{
    return value.trimmed().isEmpty() ? fallback : value;
}

// The placeholders that name a tag, and what each gives for `tags`; a tag
// the file lacks gives a name all the same, the same in every language.
struct TagPlaceholder
{
    const char *name;
    QString (*value)(const TrackTags &tags, const QString &baseName);
};

const TagPlaceholder tagPlaceholders[] = {
    {"title", [](const TrackTags &t, const QString &base) { return orElse(t.title, base); }},
    {"artist", [](const TrackTags &t, const QString &) { return orElse(t.artist, unknownArtist()); }},
    {"albumartist",
     [](const TrackTags &t, const QString &) { return orElse(t.albumArtist, orElse(t.artist, unknownArtist())); }},
    {"album", [](const TrackTags &t, const QString &) { return orElse(t.album, QStringLiteral("Unknown Album")); }},
    {"track", [](const TrackTags &t, const QString &) { return orElse(number(t.track, 2), QStringLiteral("00")); }},
    {"disc", [](const TrackTags &t, const QString &) { return orElse(number(t.disc, 1), QStringLiteral("1")); }},
    {"year", [](const TrackTags &t, const QString &) { return orElse(number(t.year, 4), QStringLiteral("0000")); }},
    {"genre", [](const TrackTags &t, const QString &) { return orElse(t.genre, QStringLiteral("Unknown Genre")); }},
    {"composer",
     [](const TrackTags &t, const QString &) { return orElse(t.composer, QStringLiteral("Unknown Composer")); }},
};

const QRegularExpression &placeholderExpression()
{
    static const QRegularExpression expression(QStringLiteral("\\{([a-z]+)\\}"));
    return expression;
}

// A tag's value in a name: its "/" (AC/DC) is no folder.
QString inName(QString value)
{
    return value.replace(QLatin1Char('/'), replacement);
}

} // namespace

QString NamePattern::cut(const QString &text, int maxBytes)
{
    return text.left(fittingLength(text, maxBytes));
}

QString NamePattern::cleanName(const QString &name, int maxBytes)
{
    QString clean = name;
    for (QChar &c : clean) {
        if (forbidden(c))
            c = replacement;
    }
    clean = cut(clean, maxBytes);
    for (int i = clean.size() - 1; i >= 0 && (clean.at(i) == QLatin1Char('.') || clean.at(i) == QLatin1Char(' ')); --i)
        clean[i] = replacement;
    return clean;
}

bool NamePattern::usesTags(const QString &pattern)
{
    auto matches = placeholderExpression().globalMatch(pattern);
    while (matches.hasNext()) {
        const QString name = matches.next().captured(1);
        for (const TagPlaceholder &placeholder : tagPlaceholders) {
            if (name == QLatin1String(placeholder.name))
                return true;
        }
    }
    return false;
}

QString NamePattern::expand(const QString &pattern, const TrackTags &tags, const QString &baseName,
                            const QString &subfolder, const QString &suffix)
{
    QString expanded;
    int last = 0;
    auto matches = placeholderExpression().globalMatch(pattern);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        expanded += pattern.mid(last, match.capturedStart() - last);
        last = match.capturedEnd();
        const QString name = match.captured(1);
        QString value = match.captured(0); // an unknown placeholder stays as typed
        if (name == QLatin1String("basename"))
            value = inName(baseName);
        else if (name == QLatin1String("subfolder"))
            value = subfolder;
        for (const TagPlaceholder &placeholder : tagPlaceholders) {
            if (name == QLatin1String(placeholder.name))
                value = inName(placeholder.value(tags, baseName));
        }
        expanded += value;
    }
    expanded += pattern.mid(last);

    // Empty folders (an empty {subfolder}, "//") are left out.
    QStringList names = expanded.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString fileName = names.isEmpty() || expanded.endsWith(QLatin1Char('/')) ? baseName : names.takeLast();
    QStringList clean;
    for (const QString &folder : qAsConst(names))
        clean << cleanName(folder);
    const int suffixBytes = suffix.isEmpty() ? 0 : suffix.toUtf8().size() + 1;
    clean << cleanName(fileName.isEmpty() ? QStringLiteral("_") : fileName, 255 - suffixBytes);
    return clean.join(QLatin1Char('/'));
}
