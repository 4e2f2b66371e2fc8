// Memory a hostile value can make a reader take, counted through operator new: a
// text of millions of line breaks must cost what the shown rows cost, not a view per
// line break.
#include "table/LineItemTable.h"
#include "table/TableCsv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

// AddressSanitizer keeps its own operator new; counting is done in the plain build.
#if defined(__SANITIZE_ADDRESS__)
#define LEDORA_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LEDORA_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef LEDORA_COUNT_ALLOCATIONS
#define LEDORA_COUNT_ALLOCATIONS 1
#endif

namespace {

thread_local bool counting = false;
thread_local std::size_t allocated = 0;

struct CountAllocations {
    CountAllocations() {
        allocated = 0;
        counting = true;
    }
    ~CountAllocations() { counting = false; }
};

} // namespace

#if LEDORA_COUNT_ALLOCATIONS
void* operator new(std::size_t size) {
    if (counting)
        allocated += size;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#endif

namespace {

TEST(AllocationLimits, SumTextOfMillionsOfLineBreaksCostsOnlyTheShownRows) {
    if (!LEDORA_COUNT_ALLOCATIONS)
        GTEST_SKIP() << "allocations are counted only without AddressSanitizer";
    const QByteArray sum = "a,b\r\n" + QByteArray(32 << 20, '\n'); // 32 MB of empty lines
    LineItemTable grid(20);
    {
        CountAllocations scope;
        GridLoadCSV(grid, sum);
    }
    EXPECT_LT(allocated, 64u * 1024) << "bytes allocated while loading";
    EXPECT_EQ(grid.cell(0, 1), "b");
    EXPECT_TRUE(grid.isRowBlank(19));
}

} // namespace
