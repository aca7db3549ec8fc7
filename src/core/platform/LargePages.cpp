#include "LargePages.h"

#include <QtGlobal>
#include <cstdint>
#include <cstdlib>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

namespace LargePages {

namespace {

constexpr std::size_t kHuge = std::size_t(2) << 20;

Block fromHeap(std::size_t bytes) {
    void* base = std::malloc(bytes > 0 ? bytes : 1);
    if (!base)
        return {};
    return {static_cast<char*>(base), bytes, base, bytes, false};
}

} // namespace

#if defined(Q_OS_LINUX)

Block allocate(std::size_t bytes) {
    if (bytes < kHuge)
        return fromHeap(bytes);
    // A huge page must start on a 2 MB boundary: ask for one more and start there.
    const std::size_t length = (bytes + kHuge - 1) / kHuge * kHuge + kHuge;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return {};
    const std::uintptr_t start =
        (reinterpret_cast<std::uintptr_t>(base) + kHuge - 1) / kHuge * kHuge;
    char* data = reinterpret_cast<char*>(start);
    const std::size_t size = length - (start - reinterpret_cast<std::uintptr_t>(base));
    // Only a wish: without transparent huge pages the memory works the same, slower.
    madvise(data, size / kHuge * kHuge, MADV_HUGEPAGE);
    return {data, size, base, length, true};
}

void release(const Block& block) {
    if (block.mapped)
        munmap(block.base, block.length);
    else
        std::free(block.base);
}

#else

Block allocate(std::size_t bytes) {
    return fromHeap(bytes);
}

void release(const Block& block) {
    std::free(block.base);
}

#endif

} // namespace LargePages
