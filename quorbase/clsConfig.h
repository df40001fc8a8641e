#pragma once
// clsConfig: configuration text as a list of lines, in which a "{" line opens
// a block and a "}" line closes it. Blocks nest.

#include "quorbase/clsPCollection.h"
#include "quorbase/clsString.h"

namespace quorbase {

class clsConfig : public clsCStrings {
public:
    clsConfig();
    ~clsConfig() override;

    const clsString& BeginMark() const { return beginMark_; }
    const clsString& EndMark() const { return endMark_; }

    clsConfig& AddBegin();
    clsConfig& AddEnd();

    // The block that starts at line start, braces and nested blocks included;
    // a start line that is not "{" is copied alone, a block that never closes
    // runs to the end. The caller owns and deletes the result (null only when
    // memory runs out); readers move past the block by its line count.
    clsConfig* ExtractBlock(int start) const;

private:
    const clsString beginMark_;
    const clsString endMark_;
};

} // namespace quorbase
