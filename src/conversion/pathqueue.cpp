// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/pathqueue.h"

namespace {

constexpr int blockSize = 64 * 1024;

} // namespace

void PathQueue::push(const QByteArray &path)
{
    if (blocks.empty() || blocks.back().size() + path.size() >= blockSize) {
        blocks.emplace_back();
        blocks.back().reserve(qMax(blockSize, path.size() + 1));
    }
    blocks.back().append(path).append('\0');
}

QByteArray PathQueue::take()
{
    const QByteArray &first = blocks.front();
    const int end = first.indexOf('\0', taken);
    QByteArray path(first.constData() + taken, end - taken);
    taken = end + 1;
    if (taken == first.size()) {
        blocks.pop_front();
        taken = 0;
    }
    return path;
}

void PathQueue::clear()
{
    blocks.clear();
    taken = 0;
}
