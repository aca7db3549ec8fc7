#pragma once

#include <cstddef>

// Memory for the large buffers that a scan of a whole archive fills (its lines, grid rows,
// an export file): asked of the system in large pages where it offers them, so filling
// hundreds of megabytes costs a few hundred page faults rather than tens of thousands.
namespace LargePages {

struct Block {
    char* data = nullptr; // null when the memory could not be had
    std::size_t size = 0; // usable bytes from data, at least those asked for
    void* base = nullptr; // what release() gives back
    std::size_t length = 0;
    bool mapped = false;
};

// Small blocks come from the ordinary heap.
Block allocate(std::size_t bytes);
void release(const Block& block);

} // namespace LargePages
