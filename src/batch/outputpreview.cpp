// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/outputpreview.h"

#include "conversion/outputclaims.h"
#include "naming/outputnaming.h"
#include "naming/tracktags.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

#include <vector>

namespace {

// How often results are handed over while rows are being worked through.
constexpr qint64 handOverMs = 150;

struct Entry
{
    PreviewInput input;
    TrackTags tags;
    bool tagsRead = false;
    PreviewedRow told; // what was last handed over; key 0 when nothing was
};

// One pass over the rows in order, as a batch would claim its outputs.
struct Plan
{
    QHash<OutputKey, int> outputs; // output -> the row writing it
    QHash<OutputKey, int> inputs;  // input -> the first row naming it
    PreviewCounts counts;

    void count(int marks, int sign)
    {
        counts.replacing += sign * bool(marks & PreviewedRow::Replaces);
        counts.renamed += sign * bool(marks & PreviewedRow::Renamed);
        counts.ontoInput += sign * bool(marks & PreviewedRow::OntoInput);
        counts.sameInput += sign * bool(marks & PreviewedRow::SameInput);
    }
};

} // namespace

QString PreviewCounts::text() const
{
    QStringList parts;
    if (replacing)
        parts << (replacing == 1 ? QCoreApplication::translate("PreviewCounts", "1 output replaces an existing file")
                                 : QCoreApplication::translate("PreviewCounts", "%1 outputs replace existing files")
                                       .arg(replacing));
    if (renamed)
        parts << (renamed == 1 ? QCoreApplication::translate("PreviewCounts", "1 row collides")
                               : QCoreApplication::translate("PreviewCounts", "%1 rows collide").arg(renamed));
    if (ontoInput)
        parts << (ontoInput == 1 ? QCoreApplication::translate("PreviewCounts", "1 output falls onto an input")
                                 : QCoreApplication::translate("PreviewCounts", "%1 outputs fall onto inputs")
                                       .arg(ontoInput));
    if (sameInput)
        parts << (sameInput == 1 ? QCoreApplication::translate("PreviewCounts", "1 row repeats an input")
                                 : QCoreApplication::translate("PreviewCounts", "%1 rows repeat an input")
                                       .arg(sameInput));
    return parts.join(QStringLiteral("; "));
}

struct OutputPreview::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<Entry> entries;
    // Rows planned in the current pass, from the first.
    size_t planned = 0;
    Plan plan;
    // Grows with every change that makes the row being worked on stale.
    quint64 generation = 0;
    bool paused = false;
    bool busy = false;
    bool quit = false;

    void restart()
    {
        ++generation;
        planned = 0;
        plan = Plan();
    }
};

OutputPreview::OutputPreview(QObject *parent)
    : QObject(parent)
    , shared(std::make_shared<Shared>())
{
    qRegisterMetaType<PreviewCounts>();
    worker = std::thread([this] { work(); });
}

OutputPreview::~OutputPreview()
{
    {
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->quit = true;
    }
    shared->wake.notify_all();
    worker.join();
}

void OutputPreview::append(const QVector<PreviewInput> &rows)
{
    {
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->entries.reserve(shared->entries.size() + size_t(rows.size()));
        for (const PreviewInput &row : rows)
            shared->entries.push_back(Entry{row, {}, false, {}});
    }
    shared->wake.notify_all();
}

void OutputPreview::keepOnly(const QVector<quint64> &keys)
{
    {
        const std::lock_guard<std::mutex> lock(shared->mutex);
        std::vector<Entry> kept;
        kept.reserve(size_t(keys.size()));
        // Both in row order: one walk.
        auto entry = shared->entries.begin();
        for (const quint64 key : keys) {
            while (entry != shared->entries.end() && entry->input.key != key)
                ++entry;
            if (entry == shared->entries.end())
                break;
            kept.push_back(std::move(*entry++));
        }
        shared->entries.swap(kept);
        shared->restart();
    }
    shared->wake.notify_all();
}

void OutputPreview::clear()
{
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->entries.clear();
    shared->restart();
}

void OutputPreview::refresh()
{
    {
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->paused = false;
        shared->restart();
    }
    shared->wake.notify_all();
}

void OutputPreview::pause()
{
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->paused = true;
    shared->wake.wait(lock, [this] { return !shared->busy; });
}

// Runs on the preview's own thread. The tags and the disk are read without
// the lock; the plan is made under it, in row order.
void OutputPreview::work()
{
    Shared &s = *shared;
    QVector<PreviewedRow> ready;
    QElapsedTimer sinceHandOver;
    sinceHandOver.start();
    bool settledTold = true;

    // Results of a pass that was restarted still go: each row is told again
    // only when it changes, and the later results come after.
    const auto handOver = [this, &ready](const PreviewCounts &counts, bool last) {
        QMetaObject::invokeMethod(
            this,
            [this, rows = std::move(ready), counts, last] {
                if (!rows.isEmpty())
                    emit previewed(rows, counts);
                if (last)
                    emit settled(counts);
            },
            Qt::QueuedConnection);
        ready.clear();
    };

    std::unique_lock<std::mutex> lock(s.mutex);
    while (!s.quit) {
        if (s.paused || s.planned >= s.entries.size()) {
            if (!s.paused && !settledTold) {
                handOver(s.plan.counts, true);
                settledTold = true;
            }
            s.wake.wait(lock);
            continue;
        }
        settledTold = false;
        const size_t row = s.planned;
        Entry &taken = s.entries[row];
        const PreviewInput input = taken.input;
        TrackTags tags = taken.tags;
        const bool tagsRead = taken.tagsRead;
        const quint64 generation = s.generation;
        s.busy = true;
        lock.unlock();

        if (!tagsRead)
            tags = TrackTags::read(input.path);
        const QString output = QDir::cleanPath(OutputNaming::convertedPath(input.path, input.addedFolder, tags));
        const OutputKey inputKey = OutputKey::of(input.path);
        OutputKey outputKey = OutputKey::of(output);
        const bool outputExists = QFileInfo::exists(output);

        lock.lock();
        s.busy = false;
        s.wake.notify_all();
        if (generation != s.generation) {
            // Rows may have moved; the tags are still the file's.
            if (row < s.entries.size() && s.entries[row].input.key == input.key && !tagsRead) {
                s.entries[row].tags = tags;
                s.entries[row].tagsRead = true;
            }
            continue;
        }
        Entry &entry = s.entries[row];
        entry.tags = tags;
        entry.tagsRead = true;

        PreviewedRow result;
        result.key = input.key;
        result.durationMs = tags.durationMs;
        const auto repeated = s.plan.inputs.constFind(inputKey);
        if (repeated != s.plan.inputs.constEnd()) {
            result.marks = PreviewedRow::SameInput;
            result.sameAsRow = repeated.value();
            result.outputPath = s.entries[size_t(repeated.value())].told.outputPath;
        } else {
            QString path = output;
            bool exists = outputExists;
            for (int n = 2; s.plan.outputs.contains(outputKey); ++n) {
                path = OutputNaming::numbered(output, n);
                outputKey = OutputKey::of(path);
                exists = QFileInfo::exists(path);
                result.marks |= PreviewedRow::Renamed;
            }
            result.outputPath = path;
            if (exists)
                result.marks |= PreviewedRow::Replaces;
            if (s.plan.inputs.contains(outputKey) || outputKey == inputKey)
                result.marks |= PreviewedRow::OntoInput;
            s.plan.outputs.insert(outputKey, int(row));
            s.plan.inputs.insert(inputKey, int(row));
            // An earlier row may write over this row's input.
            const auto writer = s.plan.outputs.constFind(inputKey);
            if (writer != s.plan.outputs.constEnd() && size_t(writer.value()) != row) {
                PreviewedRow &earlier = s.entries[size_t(writer.value())].told;
                if (!(earlier.marks & PreviewedRow::OntoInput)) {
                    earlier.marks |= PreviewedRow::OntoInput;
                    s.plan.count(PreviewedRow::OntoInput, 1);
                    ready.append(earlier);
                }
            }
        }
        s.plan.count(result.marks, 1);
        if (entry.told.key != result.key || entry.told.outputPath != result.outputPath
            || entry.told.marks != result.marks || entry.told.sameAsRow != result.sameAsRow
            || entry.told.durationMs != result.durationMs)
            ready.append(result);
        entry.told = result;
        ++s.planned;
        if (sinceHandOver.elapsed() >= handOverMs && !ready.isEmpty()) {
            handOver(s.plan.counts, false);
            sinceHandOver.restart();
        }
    }
}
