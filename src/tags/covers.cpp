// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/covers.h"

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

namespace {

using Cover = Covers::Cover;

// Takes the first picture offered, and a front cover over it.
struct CoverChoice
{
    Cover chosen;
    bool front = false;

    void offer(bool isFront, const TagLib::ByteVector &data, const TagLib::String &mimeType)
    {
        if (!front && (isFront || chosen.data.isEmpty()))
            chosen = {data, mimeType};
        front = front || isFront;
    }
};

Cover id3Cover(TagLib::ID3v2::Tag *tag)
{
    CoverChoice choice;
    for (TagLib::ID3v2::Frame *frame : tag ? tag->frameList("APIC") : TagLib::ID3v2::FrameList()) {
        if (auto *picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame *>(frame))
            choice.offer(picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover, picture->picture(),
                         picture->mimeType());
    }
    return choice.chosen;
}

Cover flacCover(const TagLib::List<TagLib::FLAC::Picture *> &pictures)
{
    CoverChoice choice;
    for (const TagLib::FLAC::Picture *picture : pictures)
        choice.offer(picture->type() == TagLib::FLAC::Picture::FrontCover, picture->data(), picture->mimeType());
    return choice.chosen;
}

void setId3Cover(TagLib::ID3v2::Tag *tag, const Cover &cover)
{
    tag->removeFrames("APIC");
    auto *frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType(cover.mimeType);
    frame->setPicture(cover.data);
    tag->addFrame(frame);
}

TagLib::FLAC::Picture *flacPicture(const Cover &cover)
{
    auto *picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(cover.mimeType);
    picture->setData(cover.data);
    return picture;
}

} // namespace

Covers::Cover Covers::front(TagLib::File *file)
{
    if (auto *flac = dynamic_cast<TagLib::FLAC::File *>(file)) {
        const Cover cover = flacCover(flac->pictureList());
        return cover.data.isEmpty() && flac->hasXiphComment() ? flacCover(flac->xiphComment()->pictureList())
                                                               : cover;
    }
    if (auto *mpeg = dynamic_cast<TagLib::MPEG::File *>(file))
        return id3Cover(mpeg->hasID3v2Tag() ? mpeg->ID3v2Tag() : nullptr);
    if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(file))
        return id3Cover(wav->hasID3v2Tag() ? wav->ID3v2Tag() : nullptr);
    if (auto *aiff = dynamic_cast<TagLib::RIFF::AIFF::File *>(file))
        return id3Cover(aiff->hasID3v2Tag() ? aiff->tag() : nullptr);
    if (auto *mp4 = dynamic_cast<TagLib::MP4::File *>(file)) {
        // MP4 pictures have no type: the first is the cover.
        const TagLib::MP4::CoverArtList covers = mp4->tag()->item("covr").toCoverArtList();
        if (covers.isEmpty())
            return {};
        const TagLib::MP4::CoverArt &cover = covers.front();
        return {cover.data(), cover.format() == TagLib::MP4::CoverArt::PNG ? "image/png" : "image/jpeg"};
    }
    if (auto *xiph = dynamic_cast<TagLib::Ogg::XiphComment *>(file->tag()))
        return flacCover(xiph->pictureList());
    return {};
}

void Covers::setFront(TagLib::File *file, const Cover &given)
{
    // Players go by the type a picture is said to have; an untyped one is
    // named by its first bytes.
    const bool png = given.data.startsWith("\x89PNG");
    const Cover cover{given.data, given.mimeType.isEmpty() ? (png ? "image/png" : "image/jpeg") : given.mimeType};
    if (auto *flac = dynamic_cast<TagLib::FLAC::File *>(file)) {
        flac->removePictures();
        flac->addPicture(flacPicture(cover));
    } else if (auto *mpeg = dynamic_cast<TagLib::MPEG::File *>(file)) {
        setId3Cover(mpeg->ID3v2Tag(true), cover);
    } else if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(file)) {
        setId3Cover(wav->ID3v2Tag(), cover);
    } else if (auto *mp4 = dynamic_cast<TagLib::MP4::File *>(file)) {
        const auto format = png ? TagLib::MP4::CoverArt::PNG : TagLib::MP4::CoverArt::JPEG;
        mp4->tag()->setItem("covr", TagLib::MP4::CoverArtList().append(TagLib::MP4::CoverArt(format, cover.data)));
    } else if (auto *xiph = dynamic_cast<TagLib::Ogg::XiphComment *>(file->tag())) {
        xiph->removeAllPictures();
        xiph->addPicture(flacPicture(cover));
    }
}
