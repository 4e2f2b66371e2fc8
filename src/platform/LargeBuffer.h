#pragma once
// Memory for one large array that is written once and then read, such as a data file's
// bytes. Fresh memory costs a fault at the first touch of every 4 KiB page, and for a
// file of 13 MB those faults were most of its load. A large buffer is therefore mapped
// in 2 MiB-aligned blocks the kernel may back with huge pages: a few faults instead of
// thousands. A small one comes from the heap.
#include <QtGlobal>

#include <cstddef>

class LargeBuffer {
public:
    LargeBuffer() = default;
    // `size` bytes, not cleared. Throws std::bad_alloc when there is no memory for them.
    explicit LargeBuffer(qsizetype size);
    ~LargeBuffer() { release(); }
    LargeBuffer(LargeBuffer&& other) noexcept;
    LargeBuffer& operator=(LargeBuffer&& other) noexcept;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    char* data() const { return data_; }
    qsizetype size() const { return size_; }
    // Whether the memory is a mapping of its own rather than heap memory.
    bool isMapped() const { return mappedLength_ > 0; }

private:
    void release();

    char* data_ = nullptr;
    qsizetype size_ = 0;
    std::size_t mappedLength_ = 0; // 0: data_ is from malloc
};
