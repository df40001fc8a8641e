#include "quorbase/clsPCollection.h"

namespace quorbase {

void Add(clsPCollection<clsString>& list, const char* text, int times) {
    for (int i = 0; i < times; ++i) {
        auto* copy = new (std::nothrow) clsString(text);
        if (!copy) return;
        if (list.Insert(copy, -1) < 0) {
            delete copy;
            return;
        }
    }
}

void Add(clsPCollection<clsString>& list, const clsString& text, int times) {
    Add(list, text.CStr(), times);
}

clsString Join(const clsPCollection<clsString>& list, const char* separator) {
    clsString joined;
    for (int i = 0; i < list.GetCount(); ++i) {
        if (i > 0) joined.Append(separator);
        if (const clsString* item = list.GetItem(i)) joined.Append(*item);
    }
    return joined;
}

clsString Join(const clsPCollection<clsString>& list, const clsString& separator) {
    clsString joined;
    for (int i = 0; i < list.GetCount(); ++i) {
        if (i > 0) joined.Append(separator);
        if (const clsString* item = list.GetItem(i)) joined.Append(*item);
    }
    return joined;
}

} // namespace quorbase
