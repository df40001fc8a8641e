#include "quorbase/clsConfig.h"

#include <new>

namespace quorbase {

clsConfig::clsConfig() : beginMark_("{"), endMark_("}") {}

clsConfig::~clsConfig() = default;

clsConfig& clsConfig::AddBegin() {
    Add(*this, beginMark_);
    return *this;
}

clsConfig& clsConfig::AddEnd() {
    Add(*this, endMark_);
    return *this;
}

clsConfig* clsConfig::ExtractBlock(int start) const {
    auto* block = new (std::nothrow) clsConfig;
    if (!block) return nullptr;
    int depth = 0;
    for (int i = start; i < GetCount(); ++i) {
        const clsString* line = GetItem(i);
        if (!line) break;
        if (line->Equals(beginMark_))
            ++depth;
        else if (line->Equals(endMark_))
            --depth;
        Add(*block, *line);
        if (depth == 0) break;
    }
    return block;
}

} // namespace quorbase
