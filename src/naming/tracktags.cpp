// SPDX-License-Identifier: GPL-3.0-or-later
#include "naming/tracktags.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

namespace {

QString text(const TagLib::String &value)
{
    return QString::fromStdString(value.to8Bit(true));
}

QString first(const TagLib::PropertyMap &properties, const char *key)
{
    const auto found = properties.find(key);
    return found == properties.end() || found->second.isEmpty() ? QString() : text(found->second.front());
}

// "3/12" counts as 3.
int number(const QString &value)
{
    return value.section(QLatin1Char('/'), 0, 0).trimmed().toInt();
}

} // namespace

TrackTags TrackTags::read(const QString &path)
{
    TrackTags tags;
    // A named pipe or a device would block the reader, or never end.
    if (!QFileInfo(path).isFile())
        return tags;
    const QByteArray name = QFile::encodeName(path);
    const TagLib::FileRef file(name.constData(), true, TagLib::AudioProperties::Fast);
    if (file.isNull())
        return tags;
    if (const TagLib::AudioProperties *audio = file.audioProperties())
        tags.durationMs = audio->lengthInMilliseconds();
    const TagLib::PropertyMap properties = file.file()->properties();
    tags.title = first(properties, "TITLE");
    tags.artist = first(properties, "ARTIST");
    tags.albumArtist = first(properties, "ALBUMARTIST");
    tags.album = first(properties, "ALBUM");
    tags.genre = first(properties, "GENRE");
    tags.composer = first(properties, "COMPOSER");
    tags.track = number(first(properties, "TRACKNUMBER"));
    tags.disc = number(first(properties, "DISCNUMBER"));
    tags.year = first(properties, "DATE").left(4).toInt();
    return tags;
}
