#pragma once

#include <cstddef>

// Memory for the large buffers that a scan of a whole archive fills (its lines, grid rows,
// an export file): mapped whole, and made ready for writing a few megabytes at a time as it
// fills, so filling hundreds of megabytes costs a few hundred calls rather than a page fault
// per page. Not in huge pages: where the file cache has fragmented the memory (after reading
// a large archive, that is), each huge page first waits for the system to compact it, which
// makes a million cards several times slower than ten times a hundred thousand.
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

// How far ahead of what is written prepare() is called.
constexpr std::size_t kPrepareStep = std::size_t(4) << 20;
// Makes the bytes [from, to) of `block` ready for writing at once, where the system can;
// only a wish: memory not prepared works the same.
void prepare(const Block& block, std::size_t from, std::size_t to);

} // namespace LargePages
