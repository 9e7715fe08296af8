// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/inputkind.h"

#include <QMimeDatabase>

namespace {

// Lists and cue sheets name audio files and say so in their types, but are
// no audio themselves.
bool isPlaylist(const QMimeType &type)
{
    static const char *const playlists[] = {
        "audio/x-mpegurl", "application/vnd.apple.mpegurl", "audio/x-scpls", "application/xspf+xml",
        "application/x-cue", "audio/x-ms-asx", "application/vnd.ms-wpl",
    };
    for (const char *playlist : playlists) {
        if (type.inherits(QLatin1String(playlist)))
            return true;
    }
    return false;
}

} // namespace

bool isAudioOrVideo(const QString &path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (isPlaylist(type))
        return false;
    // An unknown type, or a file gone since it was added, goes to the
    // encoder, which reads what it can and fails on the rest.
    if (type.isDefault())
        return true;
    const QString topLevel = type.name().section(QLatin1Char('/'), 0, 0);
    return topLevel.isEmpty() || topLevel == QLatin1String("audio") || topLevel == QLatin1String("video");
}
