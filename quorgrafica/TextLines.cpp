#include "quorgrafica/TextLines.h"

#include <cstddef>
#include <cstdint>

namespace quorgrafica::detail {

using quorbase::clsConfig;
using quorbase::clsString;

void SplitKeyValue(const clsString& line, clsString& key, clsString& value) {
    int position = 0;
    key = line.Token('=', position);
    if (position >= 0)
        value = line.Mid(position);
    else
        value.MakeEmpty();
}

int ReadNumber(const clsString& text) {
    const char* p = text.CStr();
    if (!p) return 0;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    constexpr std::int64_t limit = static_cast<std::int64_t>(INT32_MAX) + 1;
    std::int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) value = limit;
    }
    if (negative) value = -value;
    return value > INT32_MAX ? INT32_MAX : static_cast<int>(value);
}

namespace {

bool IsMark(const clsString& line, const clsString& mark) {
    // Marks are one character long: most lines are told apart by length.
    return line.Length() == mark.Length() && line.Equals(mark);
}

} // namespace

BlockTable::BlockTable(const clsConfig& lines)
    : lines_(lines), end_(static_cast<std::size_t>(lines.GetCount()), -1) {
    std::vector<int> open;
    const int count = lines.GetCount();
    for (int i = 0; i < count; ++i) {
        const clsString* line = lines.GetItem(i);
        if (!line) {
            // Reading stops at a missing line, whatever is still open.
            for (int k : open)
                end_[static_cast<std::size_t>(k)] = i;
            open.clear();
        } else if (IsMark(*line, lines.BeginMark())) {
            open.push_back(i);
        } else if (IsMark(*line, lines.EndMark()) && !open.empty()) {
            end_[static_cast<std::size_t>(open.back())] = i + 1;
            open.pop_back();
        }
    }
    for (int k : open)
        end_[static_cast<std::size_t>(k)] = count;
}

int BlockTable::Length(int start, int limit) const {
    if (limit > lines_.GetCount()) limit = lines_.GetCount();
    if (start < 0 || start >= limit) return 0;
    const clsString* line = lines_.GetItem(start);
    if (!line) return 0;
    if (IsMark(*line, lines_.BeginMark())) {
        const int end = end_[static_cast<std::size_t>(start)];
        return (end < limit ? end : limit) - start;
    }
    if (!IsMark(*line, lines_.EndMark())) return 1;
    // A block that starts with "}" runs until a "{" balances it: rare
    // enough to be counted line by line.
    int depth = 0;
    int length = 0;
    for (int i = start; i < limit; ++i) {
        const clsString* l = lines_.GetItem(i);
        if (!l) break;
        if (IsMark(*l, lines_.BeginMark()))
            ++depth;
        else if (IsMark(*l, lines_.EndMark()))
            --depth;
        ++length;
        if (depth == 0) break;
    }
    return length;
}

BorrowedBlock::BorrowedBlock(const BlockTable& table, int start, int count)
    : table_(table), start_(start) {
    Resize(count + 1);
    for (int i = 0; i < count; ++i)
        Insert(const_cast<clsString*>(table.Lines().GetItem(start + i)));
}

BorrowedBlock::~BorrowedBlock() {
    // The lines belong to the source.
    Clear(false);
}

namespace {
thread_local int readNesting = 0;
}

ReadNestingGuard::ReadNestingGuard() {
    ++readNesting;
}
ReadNestingGuard::~ReadNestingGuard() {
    --readNesting;
}
int ReadNestingGuard::Depth() {
    return readNesting;
}

} // namespace quorgrafica::detail
