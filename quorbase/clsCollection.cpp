#include "quorbase/clsCollection.h"

namespace quorbase {

clsNodoBase::~clsNodoBase() {
    delete key_;
}

void clsNodoBase::SetKey(const clsString& text) {
    if (text.Length() == 0) {
        delete key_;
        key_ = nullptr;
    } else if (key_) {
        *key_ = text;
    } else {
        key_ = new (std::nothrow) clsString(text);
    }
}

} // namespace quorbase
