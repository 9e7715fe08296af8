// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/outputpreview.h"

#include "naming/outputplan.h"
#include "naming/tracktags.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// How often results are handed over while rows are being worked through.
constexpr qint64 handOverMs = 150;

struct Entry
{
    PreviewInput input;
    TrackTags tags;
    bool tagsRead = false;
    // What was last handed over, hashed: a hundred thousand rows would keep
    // their outputs twice otherwise. 0 when nothing was.
    size_t told = 0;
};

// 64 bits: a row whose change went untold would show a stale output.
size_t hashOf(const PreviewedRow &row)
{
    const auto text = [](const QString &value) {
        return std::hash<std::u16string_view>()(
            std::u16string_view(reinterpret_cast<const char16_t *>(value.utf16()), size_t(value.size())));
    };
    size_t seed = 0;
    for (const size_t part : {size_t(row.key), text(row.outputPath), text(row.reason), size_t(row.durationMs),
                              size_t(row.marks)})
        seed ^= part + 0x9e3779b97f4a7c15 + (seed << 6) + (seed >> 2);
    return seed | 1;
}

PreviewedRow rowPreview(quint64 key, const OutputPlan::Row &plan, qint64 durationMs)
{
    PreviewedRow row;
    row.key = key;
    row.outputPath = plan.outputPath;
    row.reason = plan.reason;
    row.durationMs = durationMs;
    row.marks = (plan.action == OutputPlan::Row::Replace ? PreviewedRow::Replaces : 0)
        | (plan.numberedAfter ? PreviewedRow::Renamed : 0) | (plan.ontoInput ? PreviewedRow::OntoInput : 0)
        | (plan.sameInputAs ? PreviewedRow::SameInput : 0);
    return row;
}

void count(PreviewCounts &counts, int marks)
{
    counts.replacing += bool(marks & PreviewedRow::Replaces);
    counts.renamed += bool(marks & PreviewedRow::Renamed);
    counts.ontoInput += bool(marks & PreviewedRow::OntoInput);
    counts.sameInput += bool(marks & PreviewedRow::SameInput);
}

} // namespace

QString PreviewCounts::text() const
{
    QStringList parts;
    const auto part = [&parts](int count, const char *one, const char *many) {
        if (count)
            parts << (count == 1 ? QCoreApplication::translate("PreviewCounts", one)
                                 : QCoreApplication::translate("PreviewCounts", many).arg(count));
    };
    part(replacing, QT_TRANSLATE_NOOP("PreviewCounts", "1 output replaces an existing file"),
         QT_TRANSLATE_NOOP("PreviewCounts", "%1 outputs replace existing files"));
    part(renamed, QT_TRANSLATE_NOOP("PreviewCounts", "1 row collides"),
         QT_TRANSLATE_NOOP("PreviewCounts", "%1 rows collide"));
    part(ontoInput, QT_TRANSLATE_NOOP("PreviewCounts", "1 output falls onto an input"),
         QT_TRANSLATE_NOOP("PreviewCounts", "%1 outputs fall onto inputs"));
    part(sameInput, QT_TRANSLATE_NOOP("PreviewCounts", "1 row repeats an input"),
         QT_TRANSLATE_NOOP("PreviewCounts", "%1 rows repeat an input"));
    return parts.join(QStringLiteral("; "));
}

struct OutputPreview::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<Entry> entries;
    // Rows planned in the current pass, from the first; a pass starts by
    // making every row's input known, so that an output is checked against
    // later rows' inputs too.
    size_t planned = 0;
    bool inputsKnown = false;
    PreviewCounts counts;
    // Grows with every change that makes the pass under way stale.
    quint64 generation = 0;
    bool paused = false;
    bool busy = false;
    bool quit = false;
    // Results waiting for the preview's own thread, and whether it was asked
    // to take them.
    QVector<PreviewedRow> outbox;
    PreviewCounts outboxCounts;
    bool outboxSettled = false;
    bool deliveryPosted = false;

    void restart()
    {
        ++generation;
        planned = 0;
        inputsKnown = false;
        counts = PreviewCounts();
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
            shared->entries.push_back(Entry{row, {}, false, 0});
        shared->restart();
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

void OutputPreview::deliver()
{
    std::unique_lock<std::mutex> lock(shared->mutex);
    const QVector<PreviewedRow> rows = std::exchange(shared->outbox, {});
    const PreviewCounts counts = shared->outboxCounts;
    const bool settledNow = shared->outboxSettled;
    shared->deliveryPosted = false;
    lock.unlock();
    if (!rows.isEmpty())
        emit previewed(rows, counts);
    if (settledNow)
        emit settled(counts);
}

// Runs on the preview's own thread. The tags, the settings and the disk are
// read without the lock, and the results kept under it.
void OutputPreview::work()
{
    Shared &s = *shared;
    std::unique_ptr<OutputPlan> plan;
    QVector<PreviewedRow> ready;
    QElapsedTimer sinceHandOver;
    sinceHandOver.start();
    bool settledTold = true;

    // Results of a pass that was restarted still go: each row is told again
    // only when it changes, and the later results come after. They wait under
    // the lock: handed over in the event itself, they would be written here
    // and read there with nothing a thread checker sees between.
    const auto handOver = [this, &s, &ready](const PreviewCounts &counts, bool last) {
        s.outbox += ready;
        ready.clear();
        s.outboxCounts = counts;
        s.outboxSettled = last;
        if (!s.deliveryPosted)
            QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
        s.deliveryPosted = true;
    };

    std::unique_lock<std::mutex> lock(s.mutex);
    while (!s.quit) {
        if (s.paused || s.planned >= s.entries.size()) {
            if (!s.paused && !settledTold) {
                handOver(s.counts, true);
                settledTold = true;
            }
            s.wake.wait(lock);
            continue;
        }
        settledTold = false;
        const quint64 generation = s.generation;
        if (!s.inputsKnown) {
            QStringList inputs;
            inputs.reserve(int(s.entries.size()));
            for (const Entry &entry : s.entries)
                inputs << entry.input.path;
            s.busy = true;
            lock.unlock();
            plan = std::make_unique<OutputPlan>();
            for (const QString &input : qAsConst(inputs))
                plan->addInput(input);
            lock.lock();
            s.busy = false;
            s.wake.notify_all();
            s.inputsKnown = generation == s.generation;
            continue;
        }
        const size_t row = s.planned;
        const PreviewInput input = s.entries[row].input;
        TrackTags tags = s.entries[row].tags;
        const bool tagsRead = s.entries[row].tagsRead;
        s.busy = true;
        lock.unlock();

        if (!tagsRead)
            tags = TrackTags::read(input.path);
        const PreviewedRow result = rowPreview(input.key, plan->planNext(input.path, input.addedFolder, tags),
                                               tags.durationMs);

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
        count(s.counts, result.marks);
        const size_t hash = hashOf(result);
        if (entry.told != hash)
            ready.append(result);
        entry.told = hash;
        ++s.planned;
        if (sinceHandOver.elapsed() >= handOverMs && !ready.isEmpty()) {
            handOver(s.counts, false);
            sinceHandOver.restart();
        }
    }
}
