#include "quorbase/clsCollection.h"

namespace quorbase {

namespace {

// Adds value to the list, or releases it when the list refuses it.
int Adopt(int index, clsString* value) {
    if (index < 0) delete value;
    return index;
}

} // namespace

int clsStrings::AddText(const char* text) {
    auto* value = new (std::nothrow) clsString(text);
    return value ? Adopt(Add(value), value) : -1;
}

int clsStrings::AddString(const clsString& text) {
    auto* value = new (std::nothrow) clsString(text);
    return value ? Adopt(Add(value), value) : -1;
}

int clsStrings::AddPair(const clsString& key, const clsString& value, bool replace,
                        bool keepExisting) {
    auto* copy = new (std::nothrow) clsString(value);
    if (!copy) return -1;
    if (keepExisting) {
        const int existing = Find(key);
        if (existing >= 0) {
            delete copy;
            return existing;
        }
        return Adopt(AddUnique(key, copy, false), copy);
    }
    if (replace) return Adopt(Set(key, copy), copy);
    return Adopt(Add(key, copy, false), copy);
}

clsString clsStrings::GetValueText(int index) const {
    const clsString* value = GetValue(index);
    return value ? clsString(*value) : clsString();
}

clsString clsStrings::JoinValues(const clsString& separator, bool useSeparator) const {
    clsString joined;
    for (int i = 0; i < GetCount(); ++i) {
        if (i > 0 && useSeparator) joined.Append(separator);
        if (const clsString* value = GetValue(i)) joined.Append(*value);
    }
    return joined;
}

int clsStrings::Split(const clsString& text, char separator, int mode, bool trim, bool quoteAware) {
    Clear(true);
    const int length = text.Length();
    const char* chars = text.CStr();
    bool inQuote = false;
    int start = 0;
    for (int i = 0; i <= length && start < length; ++i) {
        const char c = i < length ? chars[i] : 0;
        if (c == '\'') inQuote = !inQuote;
        const bool cut = (c == separator && !(inQuote && quoteAware)) || i == length;
        if (!cut) continue;
        clsString piece = text.Mid(start, i - start);
        if (trim) piece.Trim(' ');
        if (mode == 0) {
            AddString(piece);
        } else if (mode == 1) {
            AddPair(piece, piece);
        } else if (mode == 2) {
            int equals = 0;
            while (equals < piece.Length() && piece.CStr()[equals] != '=')
                ++equals;
            clsString key = piece.Mid(0, equals);
            clsString value = piece.Mid(equals + 1);
            if (trim) {
                key.Trim(' ');
                value.Trim(' ');
            }
            AddPair(key, value);
        }
        start = i + 1;
    }
    return GetCount();
}

} // namespace quorbase
