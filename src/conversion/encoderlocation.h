// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program the encoder setting names. A name without "/" is looked up on
// PATH, as the shell and QProcess do, so that the check before a batch and
// the start of each job find the same program; any other path is taken as
// it is, relative to the working folder.
QString encoderProgram(const QString &setting);

// Whether the setting names an executable file.
bool isValidFFmpegBinary(const QString &setting);
