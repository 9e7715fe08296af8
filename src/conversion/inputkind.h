// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// True for audio and video files, and for files whose type is unknown;
// false for playlists and cue sheets, which are other files.
bool isAudioOrVideo(const QString &path);
