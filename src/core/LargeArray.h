#pragma once

#include "platform/LargePages.h"

#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

// A growable array of plain values (bytes, offsets, sort entries) for the large results of
// a scan of a whole archive. Its memory comes in large pages where the system offers them;
// reserving keeps it from moving, and growing doubles it.
template <typename T> class LargeArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    LargeArray() = default;
    ~LargeArray() { LargePages::release(m_block); }
    LargeArray(LargeArray&& other) noexcept
        : m_block(std::exchange(other.m_block, {})), m_size(std::exchange(other.m_size, 0)),
          m_ready(std::exchange(other.m_ready, 0)) {}
    LargeArray& operator=(LargeArray&& other) noexcept {
        if (this != &other) {
            LargePages::release(m_block);
            m_block = std::exchange(other.m_block, {});
            m_size = std::exchange(other.m_size, 0);
            m_ready = std::exchange(other.m_ready, 0);
        }
        return *this;
    }
    LargeArray(const LargeArray&) = delete;
    LargeArray& operator=(const LargeArray&) = delete;

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    qsizetype capacity() const { return qsizetype(m_block.size / sizeof(T)); }
    T* data() { return reinterpret_cast<T*>(m_block.data); }
    const T* data() const { return reinterpret_cast<const T*>(m_block.data); }
    T* begin() { return data(); }
    T* end() { return data() + m_size; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + m_size; }
    T& operator[](qsizetype i) { return data()[i]; }
    const T& operator[](qsizetype i) const { return data()[i]; }

    void reserve(qsizetype n) {
        if (n > capacity())
            regrow(n);
    }
    // Room for `n` more values at the end, counted in the size; their values are unset.
    T* extend(qsizetype n) {
        if (m_size + n > capacity())
            regrow(std::max(m_size + n, capacity() * 2));
        T* at = data() + m_size;
        m_size += n;
        if (std::size_t(m_size) * sizeof(T) > m_ready)
            prepareUpTo(std::size_t(m_size) * sizeof(T));
        return at;
    }
    void append(const T& value) { *extend(1) = value; }
    void append(const T* values, qsizetype n) {
        if (n > 0)
            std::memcpy(extend(n), values, std::size_t(n) * sizeof(T));
    }
    // Keeps the first `n` values (n <= size).
    void truncate(qsizetype n) { m_size = n; }

private:
    void regrow(qsizetype n) {
        const LargePages::Block block = LargePages::allocate(std::size_t(n) * sizeof(T));
        if (!block.data)
            throw std::bad_alloc();
        const std::size_t used = std::size_t(m_size) * sizeof(T);
        if (m_size > 0) {
            LargePages::prepare(block, 0, used);
            std::memcpy(block.data, m_block.data, used);
        }
        LargePages::release(m_block);
        m_block = block;
        m_ready = used;
    }
    // The memory up to `bytes`, and a step beyond, made ready before it is written.
    void prepareUpTo(std::size_t bytes) {
        const std::size_t to = bytes + LargePages::kPrepareStep;
        LargePages::prepare(m_block, m_ready, to);
        m_ready = to;
    }

    LargePages::Block m_block;
    qsizetype m_size = 0;
    std::size_t m_ready = 0; // bytes from the start already made ready
};
