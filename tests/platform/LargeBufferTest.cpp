#include "platform/LargeBuffer.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// Writes every byte with a pattern of its position and reads them all back.
bool holdsWhatIsWritten(const LargeBuffer& buffer) {
    for (qsizetype i = 0; i < buffer.size(); ++i)
        buffer.data()[i] = char(i * 7 + i / 4096);
    for (qsizetype i = 0; i < buffer.size(); ++i)
        if (buffer.data()[i] != char(i * 7 + i / 4096))
            return false;
    return true;
}

} // namespace

TEST(LargeBuffer, HoldsEverySizeAndMovesWithoutCopying) {
    const qsizetype sizes[] = {0, 1, 4096, (qsizetype(2) << 20) - 1, qsizetype(2) << 20,
                               13326571};
    for (const qsizetype size : sizes) {
        SCOPED_TRACE(size);
        LargeBuffer buffer(size);
        EXPECT_EQ(buffer.size(), size);
        EXPECT_EQ(buffer.data() != nullptr, size > 0);
        EXPECT_TRUE(holdsWhatIsWritten(buffer));
        char* const data = buffer.data();
        LargeBuffer moved(std::move(buffer));
        EXPECT_EQ(moved.data(), data);
        EXPECT_EQ(buffer.data(), nullptr);
        LargeBuffer assigned;
        assigned = std::move(moved);
        EXPECT_EQ(assigned.data(), data);
        EXPECT_EQ(assigned.size(), size);
    }
}

TEST(LargeBuffer, AMappingGivenBackServesTheNextBufferThatFits) {
    LargeBuffer first(qsizetype(5) << 20);
    if (!first.isMapped())
        GTEST_SKIP() << "large buffers come from the heap here";
    char* const data = first.data();
    first = LargeBuffer();
    const LargeBuffer smaller(qsizetype(3) << 20); // fits in the kept six MiB
    EXPECT_EQ(smaller.data(), data);
    EXPECT_TRUE(holdsWhatIsWritten(smaller));
    const LargeBuffer larger(qsizetype(9) << 20); // does not: mapped afresh
    EXPECT_NE(larger.data(), data);
    EXPECT_TRUE(holdsWhatIsWritten(larger));
}
