// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QPair>

#include <algorithm>
#include <vector>

// 16-byte keys, each with the row that named it first, in about 24 bytes a
// key where a hash takes several times that for a list of a million: a sorted
// run, and a hashed tail folded into it once it has grown by an eighth.
class KeyedRows
{
public:
    using Key = QPair<quint64, quint64>;

    // The row of `key`; 0 when it has none.
    int value(const Key &key) const
    {
        if (const int row = recent.value(key))
            return row;
        const auto found = std::lower_bound(sorted.begin(), sorted.end(), key,
                                            [](const Entry &entry, const Key &k) { return entry.key < k; });
        return found != sorted.end() && found->key == key ? found->row : 0;
    }

    // For a key without a row; `row` above 0.
    void insert(const Key &key, int row)
    {
        recent.insert(key, row);
        if (size_t(recent.size()) > 4096 + sorted.size() / 8)
            fold();
    }

private:
    struct Entry
    {
        Key key;
        int row;
    };

    void fold()
    {
        const auto middle = sorted.size();
        for (auto entry = recent.cbegin(); entry != recent.cend(); ++entry)
            sorted.push_back({entry.key(), entry.value()});
        recent.clear();
        const auto byKey = [](const Entry &a, const Entry &b) { return a.key < b.key; };
        std::sort(sorted.begin() + middle, sorted.end(), byKey);
        std::inplace_merge(sorted.begin(), sorted.begin() + middle, sorted.end(), byKey);
    }

    std::vector<Entry> sorted;
    QHash<Key, int> recent;
};
