// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The suffix of converted files: the output format's id, or the setting as
// it is for a format the catalogue does not know.
QString outputSuffix();

// Where the conversion of `inputPath` goes: its complete base name with the
// output suffix, in `outputFolder`.
QString conversionOutputPath(const QString &inputPath, const QString &outputFolder);

// The encoder's command line for converting `inputPath` into `outputPath`
// with the current settings; `outputPath` is its last argument.
QStringList encoderArguments(const QString &inputPath, const QString &outputPath);

// `program` and `arguments` as one line that bash would split back into them:
// for showing, and for pasting into a terminal. Control characters and
// spaces other than the plain one are written as escapes inside $'...'.
QString shellCommandLine(const QString &program, const QStringList &arguments);
