#pragma once
// Formula records: containers only; nothing in the library parses or
// evaluates them.

#include "quorbase/clsPCollection.h"
#include "quorbase/clsString.h"

namespace quorbase {

// A formula node; deletes its child nodes with itself.
class clsOper : public clsPCollection<clsOper> {
public:
    clsOper() : clsPCollection<clsOper>(true) {}
    ~clsOper() override = default;

    int Kind = 0;
    int Priority = 0;
    int Value = 0;
    clsString Text;
};

class clsFormula {
public:
    clsString Text;
    clsOper Root;
};

} // namespace quorbase
