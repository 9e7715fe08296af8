// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <taglib/tfile.h>

// The pictures of a file's tags, as each format keeps them: FLAC picture
// blocks, ID3v2 APIC frames (MP3, WAV, AIFF), MP4 "covr" and the Vorbis
// comments' METADATA_BLOCK_PICTURE (Ogg Vorbis, Opus).
class Covers
{
public:
    Covers() = delete;

    struct Cover
    {
        TagLib::ByteVector data;
        TagLib::String mimeType;
    };

    // The file's front cover, else its first picture; no data when it has none.
    static Cover front(TagLib::File *file);
    // Makes `cover`, byte for byte, the file's only picture, as its front cover.
    static void setFront(TagLib::File *file, const Cover &cover);
};
