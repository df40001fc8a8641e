#include "platform/core/TextBlocks.h"

#include <algorithm>

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

void TTextBlocks::Clear() {
    std::vector<std::string>().swap(blocks_);
    length_ = 0;
}
