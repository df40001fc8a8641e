#include "quorgrafica/TextLines.h"

#include "quorgrafica/ChartFile.h"

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
    : lines_(lines), end_(static_cast<std::size_t>(lines.GetCount()), 0) {
    // With depth(m) the count of "{" less "}" before line m, the block that
    // starts at line s ends after the first line past which the depth is
    // depth(s) again (a plain line is a block of one), or at the end; a
    // missing line stops it, as ExtractBlock stops there.
    const int count = lines.GetCount();
    int depth = 0, lowest = 0, highest = 0;
    for (int m = 0; m < count; ++m) {
        end_[static_cast<std::size_t>(m)] = depth;
        const clsString* line = lines.GetItem(m);
        if (line && IsMark(*line, lines.BeginMark()))
            ++depth;
        else if (line && IsMark(*line, lines.EndMark()))
            --depth;
        lowest = depth < lowest ? depth : lowest;
        highest = depth > highest ? depth : highest;
    }
    // The nearest later position of each depth, walking backwards.
    std::vector<int> nextAt(static_cast<std::size_t>(highest - lowest) + 1, -1);
    nextAt[static_cast<std::size_t>(depth - lowest)] = count;
    int missing = count;
    bool unclosed = false;
    for (int m = count - 1; m >= 0; --m) {
        const int here = end_[static_cast<std::size_t>(m)];
        const clsString* line = lines.GetItem(m);
        if (!line) missing = m;
        int& next = nextAt[static_cast<std::size_t>(here - lowest)];
        if (next < 0 && line && IsMark(*line, lines.BeginMark()) && missing == count)
            unclosed = true;
        const int end = next < 0 ? count : next;
        end_[static_cast<std::size_t>(m)] = end < missing ? end : missing;
        next = m;
    }
    if (unclosed)
        if (ChartReadNotes* notes = ReadNotesScope::Current()) notes->UnclosedBlocks = true;
}

int BlockTable::Length(int start, int limit) const {
    if (limit > lines_.GetCount()) limit = lines_.GetCount();
    if (start < 0 || start >= limit) return 0;
    const int end = end_[static_cast<std::size_t>(start)];
    return (end < limit ? end : limit) - start;
}

BorrowedBlock::BorrowedBlock(const BlockTable& table, int start, int count)
    : table_(table), start_(start) {
    Borrow(table.Lines(), start, count);
}

BorrowedBlock::~BorrowedBlock() = default;

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

namespace {
thread_local ChartReadNotes* currentNotes = nullptr;
}

ReadNotesScope::ReadNotesScope(ChartReadNotes* notes) : previous_(currentNotes) {
    currentNotes = notes;
}
ReadNotesScope::~ReadNotesScope() {
    currentNotes = previous_;
}
ChartReadNotes* ReadNotesScope::Current() {
    return currentNotes;
}

} // namespace quorgrafica::detail
