#include "platform/core/Strings.h"

#include "platform/core/Exception.h"

const AnsiString& TStrings::operator[](int index) const {
    if (index < 0 || index >= Count())
        throw ERangeError("Indice di riga " + IntToStr(index) + " fuori dai limiti (" +
                          IntToStr(Count()) + " righe)");
    return lines_[static_cast<std::size_t>(index)];
}

void TStrings::Add(const AnsiString& line) {
    lines_.push_back(line);
    Changed();
}

void TStrings::Insert(int index, const AnsiString& line) {
    if (index < 0 || index > Count())
        throw ERangeError("Indice di riga " + IntToStr(index) + " fuori dai limiti (" +
                          IntToStr(Count()) + " righe)");
    lines_.insert(lines_.begin() + index, line);
    Changed();
}

void TStrings::Delete(int index) {
    if (index < 0 || index >= Count())
        throw ERangeError("Indice di riga " + IntToStr(index) + " fuori dai limiti (" +
                          IntToStr(Count()) + " righe)");
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TStrings::Clear() {
    lines_.clear();
    Changed();
}

int TStrings::IndexOf(const AnsiString& line) const {
    for (int i = 0; i < Count(); ++i)
        if (lines_[static_cast<std::size_t>(i)].EqualsIC(line)) return i;
    return -1;
}

AnsiString TStrings::Text() const {
    std::string out;
    for (const AnsiString& line : lines_) {
        out += line.str();
        out += "\r\n";
    }
    return AnsiString(std::move(out));
}

void TStrings::SetText(const AnsiString& text) {
    lines_.clear();
    const std::string& s = text.str();
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines_.emplace_back(s.substr(start, i - start));
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < s.size()) lines_.emplace_back(s.substr(start));
    Changed();
}
