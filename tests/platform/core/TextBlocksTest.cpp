#include "platform/core/TextBlocks.h"

#include "platform/core/Encoding.h"
#include "platform/core/Memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

TEST(TextBlocks, GrowsInBlocksAndHandsTheTextOnInOrder) {
    TTextBlocks text(8);
    EXPECT_TRUE(text.Empty());
    std::string expected;
    // Pieces that fill a block exactly, cross into the next, and outgrow one.
    for (const std::string piece : {"abc", "defgh", "ijklmnopqrstuvwxyz0123", "", "!"}) {
        text.Append(piece);
        expected += piece;
    }
    text.Append('\t');
    expected += '\t';
    EXPECT_EQ(text.Length(), expected.size());
    ASSERT_GE(text.Blocks().size(), 3u);
    std::string joined;
    for (const std::string& block : text.Blocks()) {
        EXPECT_LE(block.size(), block.capacity());
        EXPECT_FALSE(block.empty());
        joined += block;
    }
    EXPECT_EQ(joined, expected);

    const std::size_t blocks = text.Blocks().size();
    std::string drained;
    std::size_t calls = 0;
    text.Drain([&](std::string_view block) {
        drained += block;
        ++calls;
    });
    EXPECT_EQ(drained, expected);
    EXPECT_EQ(calls, blocks);
    EXPECT_TRUE(text.Empty());
    EXPECT_TRUE(text.Blocks().empty());
    text.Append("again");
    EXPECT_EQ(text.Blocks().front(), "again");
}

TEST(TextBlocks, LeaveInUtf8WithTheirLengthKnownBefore) {
    TTextBlocks text(5);
    std::string whole;
    for (int i = 0; i < 1000; ++i) {
        const std::string piece = "Caff\xE8 \x80" + std::to_string(i) + "\t'\x81'\r\n";
        text.Append(piece);
        whole += piece;
    }
    const std::string expected = Cp1252ToUtf8(whole);
    EXPECT_EQ(text.Utf8Length(), expected.size());
    std::string drained;
    text.DrainUtf8([&drained](std::string_view piece) { drained += piece; });
    EXPECT_EQ(drained, expected);
    EXPECT_TRUE(text.Empty());
}

TEST(Memory, PeakUseCountsWhatWasTouched) {
    const long long before = PeakMemoryUse();
    ASSERT_GT(before, 0);
    constexpr std::size_t size = 64u << 20;
    {
        std::unique_ptr<char[]> block(new char[size]);
        std::memset(block.get(), 1, size);
        EXPECT_EQ(block[size - 1], 1);
    }
    ReturnFreeMemory();
    EXPECT_GE(PeakMemoryUse(), static_cast<long long>(size));
}
