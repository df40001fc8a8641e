#include "quorbase/clsString.h"

#include <cstring>

namespace quorbase {

namespace {

const char kEmptyText[] = "";

} // namespace

clsString clsString::Token(char separator, int& position) const noexcept {
    if (position < 0) return clsString();
    clsString piece(*this);
    if (piece.Length() != Length()) return EmptyString; // could not copy
    piece.DeleteFirst(position);
    piece.CutAt(separator);
    const long long next = static_cast<long long>(position) + piece.Length() + 1;
    position = Length() <= next ? -1 : static_cast<int>(next);
    return piece;
}

int clsString::CutAt(char separator) noexcept {
    const int length = Length();
    for (int i = 0; i < length; ++i) {
        if (buffer_[i] == separator) {
            buffer_[i] = 0;
            length_ = i;
            break;
        }
    }
    return Length();
}

clsString& clsString::Trim(char ch) noexcept {
    const int length = Length();
    int first = 0;
    while (first < length && buffer_[first] == ch)
        ++first;
    int last = length;
    while (last > first && buffer_[last - 1] == ch)
        --last;
    if (first == 0 && last == length) return *this;
    const int kept = last - first;
    if (kept > 0 && first > 0)
        std::memmove(buffer_, buffer_ + first, static_cast<std::size_t>(kept));
    buffer_[kept] = 0;
    length_ = kept;
    return *this;
}

void clsString::Fill(char ch, int count) noexcept {
    if (count <= 0 || !Reserve(count, false)) {
        MakeEmpty(false);
        return;
    }
    std::memset(buffer_, static_cast<unsigned char>(ch), static_cast<std::size_t>(count));
    buffer_[count] = 0;
    length_ = count;
}

clsString clsString::Mid(int start, int count) const noexcept {
    const int length = Length();
    if (start < 0 || start >= length) return clsString();
    const int rest = length - start;
    const int n = count < 0 || count > rest ? rest : count;
    return clsString(buffer_ + start, n);
}

clsString& clsString::DeleteFirst(int count) noexcept {
    const int length = Length();
    if (count < 0 || count >= length) {
        MakeEmpty(false);
        return *this;
    }
    if (count == 0) return *this;
    std::memmove(buffer_, buffer_ + count, static_cast<std::size_t>(length - count) + 1);
    length_ = length - count;
    return *this;
}

const char* clsString::CharAt(int index) const noexcept {
    if (buffer_ && index >= 0 && index <= Length()) return buffer_ + index;
    return kEmptyText;
}

char clsString::SetChar(int index, char ch) noexcept {
    if (index >= 0 && index < Length()) buffer_[index] = ch;
    return ch;
}

clsString clsString::Quote(char q) const noexcept {
    clsString quoted;
    const int length = Length();
    if (length > (0x7FFFFFFF - 2) / 2 || !quoted.Reserve(2 * length + 2, false)) return quoted;
    int out = 0;
    quoted.buffer_[out++] = q;
    for (int i = 0; i < length; ++i) {
        if (buffer_[i] == q) quoted.buffer_[out++] = q;
        quoted.buffer_[out++] = buffer_[i];
    }
    quoted.buffer_[out++] = q;
    quoted.buffer_[out] = 0;
    quoted.length_ = out;
    return quoted;
}

} // namespace quorbase
