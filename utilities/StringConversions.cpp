#include "utilities/StringConversions.h"

quorbase::clsString ToClsString(const AnsiString& text) {
    if (text.IsEmpty()) return quorbase::clsString();
    return quorbase::clsString(text.c_str(), text.Length());
}

AnsiString ToAnsiString(const quorbase::clsString& text) {
    return text.CStr() ? AnsiString(text.CStr()) : AnsiString();
}
