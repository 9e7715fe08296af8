// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// One row of a window's batch, as the preview is given it. Keys grow with the
// rows appended and name a row however many rows before it go.
struct PreviewInput
{
    quint64 key = 0;
    QString path;
    QString addedFolder; // empty for a file added alone
};

// Where a row's conversion will go, as a batch would plan it, and what is
// worth a word about it.
struct PreviewedRow
{
    enum Mark {
        Replaces = 1,  // an existing file would be replaced
        Renamed = 2,   // an earlier row has the same output: this one is numbered
        OntoInput = 4, // the output is one of the batch's inputs
        SameInput = 8, // an earlier row names the same input: converted once
    };

    quint64 key = 0;
    QString outputPath; // empty when nothing would be written
    QString reason;     // why the row would be skipped or fail
    qint64 durationMs = -1;
    int marks = 0;
};

// How many rows carry each mark, over every row previewed so far.
struct PreviewCounts
{
    int replacing = 0;
    int renamed = 0;
    int ontoInput = 0;
    int sameInput = 0;

    bool operator==(const PreviewCounts &other) const
    {
        return replacing == other.replacing && renamed == other.renamed && ontoInput == other.ontoInput
            && sameInput == other.sameInput;
    }
    // "2 outputs replace existing files; 1 row collides"; empty when nothing
    // is marked.
    QString text() const;
};

// Works out, on a thread of its own, where each row of a window's batch will
// go: its tags are read once, and the rows planned in order by OutputPlan with
// the current settings, as a batch will run them. Results come in batches on
// the thread the preview lives on, a few times a second at most.
class OutputPreview : public QObject
{
    Q_OBJECT

public:
    explicit OutputPreview(QObject *parent = nullptr);
    // Waits for the file being read.
    ~OutputPreview() override;

    // Rows after those given before.
    void append(const QVector<PreviewInput> &rows);
    // The rows kept, in order, after some were removed.
    void keepOnly(const QVector<quint64> &keys);
    void clear();
    // Names every row's output again, with the settings as they are now; the
    // tags already read are kept.
    void refresh();
    // Stops reading the settings until refresh(): returns once no output is
    // being named, so the settings may change meanwhile.
    void pause();

signals:
    // Rows whose output or marks are new since they were last told.
    void previewed(const QVector<PreviewedRow> &rows, const PreviewCounts &counts);
    // Every row given so far is previewed.
    void settled(const PreviewCounts &counts);

private slots:
    // Takes what the preview's thread left for this one, and tells it.
    void deliver();

private:
    struct Shared;
    void work();

    std::shared_ptr<Shared> shared;
    std::thread worker;
};

Q_DECLARE_METATYPE(PreviewCounts)
