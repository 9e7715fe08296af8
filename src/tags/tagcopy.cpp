// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/tagcopy.h"

#include "tags/coverfile.h"
#include "tags/covers.h"
#include "tags/replaygain.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include <memory>

namespace {

using Cover = Covers::Cover;

// The output is opened by its format, whatever its hidden name ends in.
std::unique_ptr<TagLib::File> openOutput(const QString &path, const QString &formatId)
{
    const QByteArray name = QFile::encodeName(path);
    const bool noAudioProperties = false;
    if (formatId == QLatin1String("mp3"))
        return std::make_unique<TagLib::MPEG::File>(name.constData(), noAudioProperties);
    if (formatId == QLatin1String("m4a"))
        return std::make_unique<TagLib::MP4::File>(name.constData(), noAudioProperties);
    if (formatId == QLatin1String("ogg"))
        return std::make_unique<TagLib::Ogg::Vorbis::File>(name.constData(), noAudioProperties);
    if (formatId == QLatin1String("opus"))
        return std::make_unique<TagLib::Ogg::Opus::File>(name.constData(), noAudioProperties);
    if (formatId == QLatin1String("flac"))
        return std::make_unique<TagLib::FLAC::File>(name.constData(), noAudioProperties);
    if (formatId == QLatin1String("wav"))
        return std::make_unique<TagLib::RIFF::WAV::File>(name.constData(), noAudioProperties);
    return nullptr;
}

// What a container or an encoder says of itself is no tag of the music.
void dropContainerKeys(TagLib::PropertyMap &properties)
{
    for (const char *key : {"MAJOR_BRAND", "MINOR_VERSION", "COMPATIBLE_BRANDS", "HANDLER_NAME", "VENDOR_ID",
                            "LANGUAGE", "ENCODER", "ENCODING", "ENCODEDBY"})
        properties.erase(key);
}

// ID3 and MP4 hold a number and its total in one field ("3/12"), Vorbis
// comments in two.
void foldTotal(TagLib::PropertyMap &properties, const char *numberKey, const char *totalKey, bool together)
{
    const TagLib::String number = properties[numberKey].toString();
    if (together) {
        const TagLib::String total = properties[totalKey].toString();
        if (!number.isEmpty() && !total.isEmpty() && number.find("/") < 0)
            properties.replace(numberKey, TagLib::StringList(number + "/" + total));
        properties.erase(totalKey);
    } else {
        const int slash = number.find("/");
        if (slash >= 0) {
            properties.replace(numberKey, TagLib::StringList(number.substr(0, slash)));
            const TagLib::String total = number.substr(slash + 1);
            if (!total.isEmpty() && !properties.contains(totalKey))
                properties.replace(totalKey, TagLib::StringList(total));
        }
    }
    if (properties.contains(numberKey) && properties[numberKey].toString().isEmpty())
        properties.erase(numberKey);
}

Cover folderCover(const QString &inputPath)
{
    QFile picture(CoverFile::inFolder(QFileInfo(inputPath).path()));
    if (picture.fileName().isEmpty() || !picture.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = picture.readAll();
    const bool png = picture.fileName().endsWith(QLatin1String(".png"), Qt::CaseInsensitive);
    return {TagLib::ByteVector(bytes.constData(), uint(bytes.size())), png ? "image/png" : "image/jpeg"};
}

// TagLib names the MusicBrainz TXXX frames in capitals ("MUSICBRAINZ ALBUM
// ID"); players look for the spelling MusicBrainz itself writes.
void spellMusicBrainz(TagLib::ID3v2::Tag *tag)
{
    for (TagLib::ID3v2::Frame *frame : tag->frameList("TXXX")) {
        auto *text = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame *>(frame);
        if (!text || !text->description().startsWith("MUSICBRAINZ "))
            continue;
        QStringList words = QString::fromStdString(text->description().to8Bit(true)).split(QLatin1Char(' '));
        words.first() = QStringLiteral("MusicBrainz");
        for (int i = 1; i < words.size(); ++i)
            words[i] = words[i].left(1) + words[i].mid(1).toLower();
        text->setDescription(TagLib::String(words.join(QLatin1Char(' ')).toStdString(), TagLib::String::UTF8));
    }
}

bool save(TagLib::File *file)
{
    // Only the ID3v2 tag: an ID3v1 or APE tag the encoder wrote would keep
    // its old, shorter values.
    if (auto *mpeg = dynamic_cast<TagLib::MPEG::File *>(file)) {
        spellMusicBrainz(mpeg->ID3v2Tag(true));
        return mpeg->save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers);
    }
    if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(file))
        spellMusicBrainz(wav->ID3v2Tag());
    return file->save();
}

} // namespace

TagCopy::Result TagCopy::copy(const QString &inputPath, const QString &outputPath, const QString &formatId,
                              bool withCover, const ReplayGain::Source &loudness)
{
    const QByteArray inputName = QFile::encodeName(inputPath);
    const TagLib::FileRef input(inputName.constData(), false);
    if (input.isNull())
        return {tr("tags and cover not copied: the input's tags could not be read")};
    const std::unique_ptr<TagLib::File> output = openOutput(outputPath, formatId);
    if (!output || !output->isValid())
        return {tr("tags and cover not copied: the output's tags could not be written")};

    TagLib::PropertyMap properties = input.file()->properties();
    dropContainerKeys(properties);
    ReplayGain::readFreeform(input.file(), properties);
    ReplayGain::adapt(properties, formatId, loudness);
    const bool together = formatId == QLatin1String("mp3") || formatId == QLatin1String("m4a")
        || formatId == QLatin1String("wav");
    foldTotal(properties, "TRACKNUMBER", "TRACKTOTAL", together);
    foldTotal(properties, "DISCNUMBER", "DISCTOTAL", together);
    // Cleared first: what the encoder wrote in another spelling would stay
    // beside the copy.
    output->setProperties(TagLib::PropertyMap());
    output->setProperties(properties);
    ReplayGain::writeFreeform(output.get(), properties);
    if (withCover) {
        Cover cover = Covers::front(input.file());
        if (cover.data.isEmpty())
            cover = folderCover(inputPath);
        if (!cover.data.isEmpty())
            Covers::setFront(output.get(), cover);
    }
    // TagLib rewrites the file in place, so a save that failed may have left
    // it half written.
    if (!save(output.get()))
        return {tr("tags and cover not copied: the output's tags could not be written"), true};
    return {{}, false, QString::fromStdString(properties["ALBUM"].toString().to8Bit(true))};
}

bool TagCopy::addAlbumGain(const QString &path, const QString &formatId, const Loudness &album)
{
    const std::unique_ptr<TagLib::File> file = openOutput(path, formatId);
    if (!file || !file->isValid())
        return false;
    TagLib::PropertyMap properties = file->properties();
    ReplayGain::readFreeform(file.get(), properties);
    ReplayGain::addAlbum(properties, formatId, album);
    file->setProperties(properties);
    ReplayGain::writeFreeform(file.get(), properties);
    return save(file.get());
}
