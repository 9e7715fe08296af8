// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/albumgain.h"

#include "conversion/filetimes.h"
#include "conversion/outputfile.h"
#include "logging/logging.h"
#include "settings/appsettings.h"
#include "tags/tagcopy.h"

#include <QFileInfo>

namespace {

bool retagOne(const QString &outputPath, const Loudness &album, const std::atomic<bool> *stop)
{
    OutputFile file(outputPath);
    // The copy would otherwise lose the input's time the output was given.
    return file.copyFrom(outputPath, stop)
        && TagCopy::addAlbumGain(file.temporaryPath(), QFileInfo(outputPath).suffix(), album)
        && (!AppSettings::KeepFileTimes || copyModificationTime(outputPath, file.temporaryPath()))
        && file.commit(true) == OutputFile::Committed;
}

} // namespace

void AlbumGain::add(const JobReport &report)
{
    if (report.status != JobStatus::Done || !report.loudness)
        return;
    ++writers[report.outputPath];
    if (report.album.isEmpty())
        return;
    albums[{QFileInfo(report.inputPath).path(), report.album}].append({report.outputPath, *report.loudness});
}

void AlbumGain::retag(const std::atomic<bool> *stop) const
{
    for (auto album = albums.cbegin(); album != albums.cend(); ++album) {
        QVector<Track> tracks;
        QVector<Loudness> figures;
        for (const Track &track : album.value()) {
            if (writers.value(track.outputPath) == 1) {
                tracks.append(track);
                figures.append(track.loudness);
            } else {
                qCWarning(lcEngine) << "Album gain not added, as several rows wrote:" << track.outputPath;
            }
        }
        const Loudness whole = Loudness::album(figures);
        for (const Track &track : qAsConst(tracks)) {
            if (stop && stop->load())
                return;
            if (!retagOne(track.outputPath, whole, stop))
                qCWarning(lcEngine) << "Album gain could not be added, the track gain stays:" << track.outputPath;
        }
    }
}
