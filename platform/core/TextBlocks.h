#pragma once
// A text too large to copy around: kept in blocks that fill one after the
// other, so that growing never copies what is already there, and handed on
// block by block, each let go of once it has been used.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TTextBlocks {
public:
    // Large blocks are mapped apart from the heap, so that the memory of
    // each goes back to the system as soon as the block is let go of.
    explicit TTextBlocks(std::size_t blockSize = 64 << 20) : blockSize_(blockSize ? blockSize : 1) {}

    void Append(std::string_view text);
    void Append(char c) { Append(std::string_view(&c, 1)); }
    std::size_t Length() const { return length_; }
    bool Empty() const { return length_ == 0; }
    const std::vector<std::string>& Blocks() const { return blocks_; }

    // Hands the blocks to use in order, freeing each one after it; the text
    // is empty afterwards.
    void Drain(const std::function<void(std::string_view)>& use);
    // The same for a text in Windows-1252 that leaves in UTF-8: handed on
    // converted, in pieces of a few hundred kilobytes. Utf8Length is the
    // length it will have.
    void DrainUtf8(const std::function<void(std::string_view)>& use);
    std::size_t Utf8Length() const;
    void Clear();

private:
    std::size_t blockSize_;
    std::size_t length_ = 0;
    std::vector<std::string> blocks_;
};
