#pragma once
// Helpers of the text reader and writer: key=value lines, lenient numbers and
// blocks read in place rather than copied level by level.

#include "quorbase/clsConfig.h"
#include "quorbase/clsString.h"

#include <vector>

namespace quorgrafica {
struct ChartReadNotes;
}

namespace quorgrafica::detail {

// Key before the first '=', value after it; a line without '=' is all key.
void SplitKeyValue(const quorbase::clsString& line, quorbase::clsString& key,
                   quorbase::clsString& value);

// Leading blanks, an optional sign and decimal digits, as atol reads them;
// 0 without digits. Values outside 32 bits saturate.
int ReadNumber(const quorbase::clsString& text);

// Where the block starting at each line ends, found in one pass, so that a
// block is measured in constant time at any depth and nesting.
class BlockTable {
public:
    explicit BlockTable(const quorbase::clsConfig& lines);
    const quorbase::clsConfig& Lines() const { return lines_; }
    // The number of lines ExtractBlock(start) would copy, counting only the
    // lines before limit.
    int Length(int start, int limit) const;

private:
    const quorbase::clsConfig& lines_;
    // For each line, the index after the last line of the block it starts.
    std::vector<int> end_;
};

// A block of lines shared with the configuration it comes from rather than
// copied: the source must outlive the view and stay unchanged.
class BorrowedBlock : public quorbase::clsConfig {
public:
    BorrowedBlock(const BlockTable& table, int start, int count);
    ~BorrowedBlock() override;
    const BlockTable& Table() const { return table_; }
    // Index in the source of this block's first line.
    int Start() const { return start_; }

private:
    const BlockTable& table_;
    int start_;
};

// While one exists, what reading meets on this thread is noted in notes.
class ReadNotesScope {
public:
    explicit ReadNotesScope(ChartReadNotes* notes);
    ~ReadNotesScope();
    ReadNotesScope(const ReadNotesScope&) = delete;
    ReadNotesScope& operator=(const ReadNotesScope&) = delete;
    // The notes being kept, null when none.
    static ChartReadNotes* Current();

private:
    ChartReadNotes* previous_;
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
