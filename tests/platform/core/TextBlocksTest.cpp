#include "platform/core/TextBlocks.h"

#include "platform/core/Encoding.h"
#include "platform/core/Memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#if defined(__linux__)
#include <unistd.h>
#endif

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

TEST(TextBlocks, FillOneAfterAnotherAndNeverMoveAnEarlierBlock) {
    // Blocks larger than a string's inline buffer, so that each has storage of its own.
    constexpr std::size_t kBlock = 100;
    TTextBlocks text(kBlock);
    std::vector<const char*> where;
    std::vector<std::string> seen;
    for (int i = 0; i < 300; ++i) {
        text.Append("riga " + std::to_string(i) + "\r\n");
        const auto& blocks = text.Blocks();
        // Every block but the last is full: a new one starts only when the last has no room.
        for (std::size_t b = 0; b + 1 < blocks.size(); ++b)
            ASSERT_GE(blocks[b].size(), kBlock) << "block " << b << " after piece " << i;
        // What was written stays where it was, however many blocks follow.
        for (std::size_t b = 0; b < where.size(); ++b) {
            ASSERT_EQ(static_cast<const void*>(blocks[b].data()), where[b]) << "block " << b;
            ASSERT_EQ(blocks[b].compare(0, seen[b].size(), seen[b]), 0) << "block " << b;
        }
        where.clear();
        seen.clear();
        for (const std::string& block : blocks) {
            where.push_back(block.data());
            seen.push_back(block);
        }
    }
    ASSERT_GE(where.size(), 20u);
}

TEST(TextBlocks, EachBlockIsGivenBackOnceUsed) {
    constexpr std::size_t kBlock = 1000;
    TTextBlocks text(kBlock);
    for (int i = 0; i < 10000; ++i)
        text.Append("Acqua e luce\t");
    const std::size_t blocks = text.Blocks().size();
    ASSERT_GE(blocks, 100u);
    std::size_t used = 0;
    text.Drain([&](std::string_view block) {
        EXPECT_GE(block.size(), std::size_t{1});
        // Those handed on before this one hold no memory any more.
        for (std::size_t b = 0; b < used; ++b)
            ASSERT_LT(text.Blocks()[b].capacity(), kBlock) << "block " << b << " still held";
        ++used;
    });
    EXPECT_EQ(used, blocks);
    EXPECT_EQ(text.Blocks().capacity(), 0u);
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
// Pages the process holds now, from the kernel's own count.
long long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

TEST(TextBlocks, DrainedMemoryGoesBackToTheSystem) {
    // Three blocks of a size the heap always maps apart.
    constexpr std::size_t kBlock = 40u << 20;
    TTextBlocks text(kBlock);
    const std::string piece(1 << 20, 'x');
    const long long before = ResidentBytes();
    for (int i = 0; i < 120; ++i)
        text.Append(piece);
    const long long full = ResidentBytes();
    ASSERT_GE(full - before, 110ll << 20);
    std::size_t seen = 0;
    long long lowest = full;
    text.Drain([&](std::string_view block) {
        seen += block.size();
        lowest = std::min(lowest, ResidentBytes());
    });
    EXPECT_EQ(seen, std::size_t{120} << 20);
    // While the last block was handed on, the first two were already gone.
    EXPECT_LT(lowest, full - (70ll << 20));
    EXPECT_LT(ResidentBytes(), before + (16ll << 20));
}
#endif

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
    // More than the peak so far, so that touching it all must raise the peak by at least 64 MB
    // whatever part of that peak is still held.
    const std::size_t size = static_cast<std::size_t>(before) + (64u << 20);
    {
        std::unique_ptr<char[]> block(new char[size]);
        std::memset(block.get(), 1, size);
        EXPECT_EQ(block[size - 1], 1);
    }
    ReturnFreeMemory();
    const long long after = PeakMemoryUse();
    EXPECT_GE(after, before + (64ll << 20)) << "before " << before;
    // The peak stays where it was once the memory is gone.
    EXPECT_GE(PeakMemoryUse(), after);
}
