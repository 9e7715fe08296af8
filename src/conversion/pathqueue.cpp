// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/pathqueue.h"

namespace {

constexpr int blockSize = 64 * 1024;

} // namespace

void PathQueue::push(const QByteArray &path, int folderLength)
{
    const QByteArray length = QByteArray::number(folderLength) + ':';
    const int size = length.size() + path.size() + 1;
    if (blocks.empty() || blocks.back().size() + size > blockSize) {
        blocks.emplace_back();
        blocks.back().reserve(qMax(blockSize, size));
    }
    blocks.back().append(length).append(path).append('\0');
}

PathQueue::Entry PathQueue::take()
{
    const QByteArray &first = blocks.front();
    const int colon = first.indexOf(':', taken);
    const int end = first.indexOf('\0', colon);
    Entry entry;
    entry.folderLength = QByteArray(first.constData() + taken, colon - taken).toInt();
    entry.path = QByteArray(first.constData() + colon + 1, end - colon - 1);
    taken = end + 1;
    if (taken == first.size()) {
        blocks.pop_front();
        taken = 0;
    }
    return entry;
}

void PathQueue::clear()
{
    blocks.clear();
    taken = 0;
}
