// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The output directory setting is a template: "{sourcedir}" in it stands for
// the folder of each input, so that a tree keeps its shape below the outputs'
// folder.
namespace OutputLocation {

// The template that mirrors every input's folder below `folder`.
QString belowSources(const QString &folder);

// The folder the output of `inputPath` goes to.
QString folderFor(const QString &directoryTemplate, const QString &inputPath);

// Whether `folder` is a writable folder, or could be made as one: the
// nearest of it and its parents that exists is.
bool canBeMade(const QString &folder);

} // namespace OutputLocation

enum class OutputFolder { Make, LookOnly };

// Whether outputs can be written where the template says: the part before
// "{sourcedir}" is made if missing and must be a writable folder; only looked
// at, the nearest folder of it that exists must be writable. A template that
// starts with "{sourcedir}" writes beside each input, which every job checks
// for itself.
bool isValidOutputDirectory(QString outputDirectory, OutputFolder folder = OutputFolder::Make);
