#include "platform/core/TextBlocks.h"

#include "platform/core/Encoding.h"

#include <algorithm>
#include <array>

namespace {

// The UTF-8 of each byte above 0x7F; ASCII stays as it is, so a large text
// is copied in runs rather than converted byte by byte.
const std::array<std::string, 128>& HighBytes() {
    static const std::array<std::string, 128> table = [] {
        std::array<std::string, 128> t;
        for (int c = 0x80; c < 0x100; ++c) {
            const char byte = static_cast<char>(c);
            t[static_cast<std::size_t>(c - 0x80)] = Cp1252ToUtf8(std::string_view(&byte, 1));
        }
        return t;
    }();
    return table;
}

void AppendUtf8(std::string& out, std::string_view text) {
    const auto& high = HighBytes();
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t run = i + AsciiPrefix(text.substr(i));
        out.append(text.data() + i, run - i);
        if (run < text.size()) out += high[static_cast<unsigned char>(text[run]) - 0x80u];
        i = run + 1;
    }
}

} // namespace

void TTextBlocks::Append(std::string_view text) {
    while (!text.empty()) {
        if (blocks_.empty() || blocks_.back().size() == blocks_.back().capacity()) {
            blocks_.emplace_back();
            blocks_.back().reserve(std::max(blockSize_, text.size()));
        }
        std::string& last = blocks_.back();
        const std::size_t room = last.capacity() - last.size();
        const std::size_t n = std::min(room, text.size());
        last.append(text.data(), n);
        text.remove_prefix(n);
        length_ += n;
    }
}

void TTextBlocks::Drain(const std::function<void(std::string_view)>& use) {
    for (std::string& block : blocks_) {
        use(block);
        std::string().swap(block);
    }
    Clear();
}

void TTextBlocks::DrainUtf8(const std::function<void(std::string_view)>& use) {
    constexpr std::size_t kPiece = 256 << 10;
    std::string utf8;
    for (std::string& block : blocks_) {
        const std::string_view whole(block);
        for (std::size_t at = 0; at < whole.size(); at += kPiece) {
            const std::string_view piece = whole.substr(at, kPiece);
            // All ASCII, as most text is: already UTF-8.
            if (AsciiPrefix(piece) == piece.size()) {
                use(piece);
                continue;
            }
            utf8.clear();
            AppendUtf8(utf8, piece);
            use(utf8);
        }
        std::string().swap(block);
    }
    Clear();
}

std::size_t TTextBlocks::Utf8Length() const {
    const auto& high = HighBytes();
    std::size_t length = 0;
    for (const std::string& block : blocks_)
        for (char c : block)
            length += static_cast<unsigned char>(c) < 0x80
                          ? 1
                          : high[static_cast<unsigned char>(c) - 0x80u].size();
    return length;
}

void TTextBlocks::Clear() {
    std::vector<std::string>().swap(blocks_);
    length_ = 0;
}
