#pragma once
// Helpers of the text reader and writer: key=value lines, lenient numbers and
// blocks read in place.

#include "quorbase/clsConfig.h"
#include "quorbase/clsString.h"

namespace quorgrafica::detail {

// Key before the first '=', value after it; a line without '=' is all key.
void SplitKeyValue(const quorbase::clsString& line, quorbase::clsString& key,
                   quorbase::clsString& value);

// Leading blanks, an optional sign and decimal digits, as atol reads them;
// 0 without digits. Values outside 32 bits saturate.
int ReadNumber(const quorbase::clsString& text);

// The number of lines ExtractBlock(start) would copy.
int BlockLength(const quorbase::clsConfig& lines, int start);

// The lines [start, start + count) of another configuration, shared rather
// than copied: the source must outlive the view and stay unchanged.
class BorrowedBlock : public quorbase::clsConfig {
public:
    BorrowedBlock(const quorbase::clsConfig& source, int start, int count);
    ~BorrowedBlock() override;
};

// Counts how deeply nested graphs are being read on this thread.
class ReadNestingGuard {
public:
    ReadNestingGuard();
    ~ReadNestingGuard();
    ReadNestingGuard(const ReadNestingGuard&) = delete;
    ReadNestingGuard& operator=(const ReadNestingGuard&) = delete;
    static int Depth();
};

} // namespace quorgrafica::detail
