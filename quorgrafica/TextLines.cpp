#include "quorgrafica/TextLines.h"

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

int BlockLength(const clsConfig& lines, int start) {
    int depth = 0;
    int length = 0;
    for (int i = start < 0 ? lines.GetCount() : start; i < lines.GetCount(); ++i) {
        const clsString* line = lines.GetItem(i);
        if (!line) break;
        if (line->Equals(lines.BeginMark()))
            ++depth;
        else if (line->Equals(lines.EndMark()))
            --depth;
        ++length;
        if (depth == 0) break;
    }
    return length;
}

BorrowedBlock::BorrowedBlock(const clsConfig& source, int start, int count) {
    Resize(count + 1);
    for (int i = 0; i < count; ++i)
        Insert(const_cast<clsString*>(source.GetItem(start + i)));
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
