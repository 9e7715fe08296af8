// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Keeps the auto-repeat of a held key from acting as a shortcut. A key held
// down since before a window became active (the Ctrl+Q that closed another
// program, left down by a tool that sent it) repeats into that window, which
// would otherwise take each repeat as a fresh press: Quit in the middle of a batch.
class RepeatedKeyFilter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    quint32 releasedKey = 0;
    ulong releasedAt = 0;
};
