#include "LargePages.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <sys/mman.h>

namespace LargePages {

namespace {

// Blocks from this size on are mapped.
constexpr std::size_t kLarge = std::size_t(2) << 20;
constexpr std::size_t kPage = 4096;

} // namespace

Block allocate(std::size_t bytes) {
    if (bytes < kLarge) {
        void* base = std::malloc(bytes > 0 ? bytes : 1);
        if (!base)
            return {};
        return {static_cast<char*>(base), bytes, base, bytes, false};
    }
    const std::size_t length = (bytes + kPage - 1) / kPage * kPage;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return {};
    return {static_cast<char*>(base), length, base, length, true};
}

void release(const Block& block) {
    if (block.mapped)
        munmap(block.base, block.length);
    else
        std::free(block.base);
}

void prepare(const Block& block, std::size_t from, std::size_t to) {
#if defined(Q_OS_LINUX)
#ifndef MADV_POPULATE_WRITE
    constexpr int MADV_POPULATE_WRITE = 23; // Linux 5.14; older systems refuse it
#endif
    if (!block.mapped)
        return;
    from = from / kPage * kPage;
    to = std::min(block.size, (to + kPage - 1) / kPage * kPage);
    if (from < to)
        madvise(block.data + from, to - from, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(block);
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
}

} // namespace LargePages
