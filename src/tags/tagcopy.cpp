// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/tagcopy.h"

#include "settings/outputformat.h"
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
std::unique_ptr<TagLib::File> openOutput(const QString &path, OutputFormat::TagFile kind)
{
    const QByteArray name = QFile::encodeName(path);
    const bool noAudioProperties = false;
    switch (kind) {
    case OutputFormat::MpegFile:
        return std::make_unique<TagLib::MPEG::File>(name.constData(), noAudioProperties);
    case OutputFormat::Mp4File:
        return std::make_unique<TagLib::MP4::File>(name.constData(), noAudioProperties);
    case OutputFormat::VorbisFile:
        return std::make_unique<TagLib::Ogg::Vorbis::File>(name.constData(), noAudioProperties);
    case OutputFormat::OpusFile:
        return std::make_unique<TagLib::Ogg::Opus::File>(name.constData(), noAudioProperties);
    case OutputFormat::FlacFile:
        return std::make_unique<TagLib::FLAC::File>(name.constData(), noAudioProperties);
    case OutputFormat::WavFile:
        return std::make_unique<TagLib::RIFF::WAV::File>(name.constData(), noAudioProperties);
    }
    return nullptr;
}

// TagLib guesses by content when a name's suffix is none of its own, and
// takes Matroska holding FLAC for a FLAC file without tags: the encoder,
// which reads more containers, keeps its tags then. The guess also costs up
// to a third of a millisecond a file.
bool readsTagsOf(const QString &path)
{
    static const TagLib::StringList suffixes = TagLib::FileRef::defaultFileExtensions();
    const QString suffix = QFileInfo(path).suffix().toLower();
    return !suffix.isEmpty() && suffixes.contains(TagLib::String(suffix.toStdString(), TagLib::String::UTF8));
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
    const OutputFormat *format = OutputFormat::find(formatId);
    if (!format)
        return {tr("tags and cover not copied: the output's tags could not be written")};
    const QByteArray inputName = QFile::encodeName(inputPath);
    const TagLib::FileRef input = readsTagsOf(inputPath) ? TagLib::FileRef(inputName.constData(), false)
                                                         : TagLib::FileRef();
    if (input.isNull())
        return {tr("tags and cover not copied: the input's tags could not be read")};
    const std::unique_ptr<TagLib::File> output = openOutput(outputPath, format->tagFile);
    if (!output || !output->isValid())
        return {tr("tags and cover not copied: the output's tags could not be written")};

    TagLib::PropertyMap properties = input.file()->properties();
    // TagLib may read a file but not where it keeps its tags, such as the
    // NAME and AUTH chunks of AIFF: what the encoder found there stays.
    if (properties.isEmpty())
        properties = output->properties();
    dropContainerKeys(properties);
    ReplayGain::readFreeform(input.file(), properties);
    ReplayGain::adapt(properties, formatId, loudness);
    foldTotal(properties, "TRACKNUMBER", "TRACKTOTAL", format->totalInNumber);
    foldTotal(properties, "DISCNUMBER", "DISCTOTAL", format->totalInNumber);
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
    const OutputFormat *format = OutputFormat::find(formatId);
    const std::unique_ptr<TagLib::File> file = format ? openOutput(path, format->tagFile) : nullptr;
    if (!file || !file->isValid())
        return false;
    TagLib::PropertyMap properties = file->properties();
    ReplayGain::readFreeform(file.get(), properties);
    ReplayGain::addAlbum(properties, formatId, album);
    file->setProperties(properties);
    ReplayGain::writeFreeform(file.get(), properties);
    return save(file.get());
}
