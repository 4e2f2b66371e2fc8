#include "platform/LargeBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
#define LEDORA_MAPPED_BUFFERS 1
#endif

namespace {

#if defined(LEDORA_MAPPED_BUFFERS)

constexpr std::size_t kHugePage = std::size_t(2) << 20;

// `length` bytes (a multiple of kHugePage) on a kHugePage boundary, or nullptr.
char* mapAligned(std::size_t length) {
    // Map one block more than needed and give back the parts outside the aligned span.
    const std::size_t spare = length + kHugePage;
    void* mapped = mmap(nullptr, spare, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto base = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t start = (base + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
    const std::size_t head = start - base;
    if (head > 0)
        munmap(mapped, head);
    if (spare - head - length > 0)
        munmap(reinterpret_cast<char*>(start) + length, spare - head - length);
    char* const data = reinterpret_cast<char*>(start);
    madvise(data, length, MADV_HUGEPAGE); // a hint: without huge pages it is plain memory
    return data;
}

// The last mapping given back, kept for the next buffer as the heap keeps freed memory:
// a file opened after another one then fills pages already there instead of faulting
// in and clearing new ones. Only mappings of ordinary files' sizes are kept.
class SpareMapping {
public:
    static constexpr std::size_t kLargestKept = std::size_t(64) << 20;

    // A kept mapping of at least `length` bytes, or nullptr; `kept` gets its length.
    char* take(std::size_t length, std::size_t& kept) {
        const std::lock_guard lock(mutex_);
        if (!data_ || length_ < length)
            return nullptr;
        kept = std::exchange(length_, 0);
        return std::exchange(data_, nullptr);
    }
    // Keeps a mapping given back, or unmaps it when it is too large to keep; the one
    // kept before is unmapped.
    void giveBack(char* data, std::size_t length) {
        if (length > kLargestKept) {
            munmap(data, length);
            return;
        }
        char* dropped = nullptr;
        std::size_t droppedLength = 0;
        {
            const std::lock_guard lock(mutex_);
            dropped = std::exchange(data_, data);
            droppedLength = std::exchange(length_, length);
        }
        if (dropped)
            munmap(dropped, droppedLength);
    }

private:
    std::mutex mutex_;
    char* data_ = nullptr;
    std::size_t length_ = 0;
};

SpareMapping& spareMapping() {
    static SpareMapping spare;
    return spare;
}

#endif

} // namespace

LargeBuffer::LargeBuffer(qsizetype size) : size_(size) {
    if (size <= 0) {
        size_ = 0;
        return;
    }
#if defined(LEDORA_MAPPED_BUFFERS)
    if (std::size_t(size) >= kHugePage) {
        const std::size_t length = (std::size_t(size) + kHugePage - 1) & ~(kHugePage - 1);
        std::size_t kept = 0;
        data_ = spareMapping().take(length, kept);
        mappedLength_ = kept;
        if (!data_) {
            data_ = mapAligned(length);
            mappedLength_ = data_ ? length : 0;
        }
        if (data_)
            return;
    }
#endif
    data_ = static_cast<char*>(std::malloc(std::size_t(size)));
    if (!data_)
        throw std::bad_alloc();
}

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mappedLength_(std::exchange(other.mappedLength_, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mappedLength_ = std::exchange(other.mappedLength_, 0);
    }
    return *this;
}

void LargeBuffer::release() {
#if defined(LEDORA_MAPPED_BUFFERS)
    if (mappedLength_ > 0) {
        spareMapping().giveBack(data_, std::exchange(mappedLength_, 0));
        data_ = nullptr;
        return;
    }
#endif
    std::free(data_);
    data_ = nullptr;
}
