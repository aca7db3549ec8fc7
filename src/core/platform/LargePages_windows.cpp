#include "LargePages.h"

#include <cstdlib>

// The C runtime's heap already hands a large block to the system's own allocation, which
// commits its pages as they are first touched; there is nothing to prepare ahead.
namespace LargePages {

Block allocate(std::size_t bytes) {
    void* base = std::malloc(bytes > 0 ? bytes : 1);
    if (!base)
        return {};
    return {static_cast<char*>(base), bytes, base, bytes, false};
}

void release(const Block& block) {
    std::free(block.base);
}

void prepare(const Block&, std::size_t, std::size_t) {}

} // namespace LargePages
