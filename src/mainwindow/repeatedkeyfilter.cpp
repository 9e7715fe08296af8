// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/repeatedkeyfilter.h"

#include <QKeyEvent>

namespace {

// X11 repeats a held key as a release and a press of the same moment. Qt
// marks the press as a repeat only when it is already queued as the release
// is read, and misses a few in a hundred.
constexpr ulong repeatPairMs = 10;

} // namespace

bool RepeatedKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        releasedKey = key->nativeScanCode();
        releasedAt = key->timestamp();
    } else if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Events a program makes up itself carry no time.
        const bool repeated = key->isAutoRepeat()
                              || (key->timestamp() != 0 && key->nativeScanCode() == releasedKey
                                  && key->timestamp() - releasedAt < repeatPairMs);
        if (repeated) {
            // Taken as typing, the press goes on to the focused widget.
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
