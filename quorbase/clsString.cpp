#include "quorbase/clsString.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace quorbase {

constinit const clsString EmptyString;

namespace {

// The one allocation routine: capacity n takes n + 1 bytes, a negative
// request nothing.
char* AllocateBuffer(int capacity) noexcept {
    if (capacity < 0) return nullptr;
    return new (std::nothrow) char[static_cast<std::size_t>(capacity) + 1];
}

unsigned char FoldUpper(unsigned char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace

int StrCmpI(const char* a, const char* b, int n) noexcept {
    if (n == 0) return 0;
    if (!a) return b ? -1 : 0;
    if (!b) return 1;
    for (long long i = 0; n < 0 || i < n; ++i) {
        const unsigned char ca = FoldUpper(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldUpper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return static_cast<int>(ca) - static_cast<int>(cb);
        if (ca == 0) return 0;
    }
    return 0;
}

clsString::clsString(const char* text) noexcept {
    Assign(text, -1);
}

clsString::clsString(const char* text, int count) noexcept {
    Assign(text, count);
}

clsString::clsString(char ch) noexcept {
    Assign(&ch, ch != 0 ? 1 : 0);
}

clsString::clsString(const clsString& other) noexcept {
    Assign(other.buffer_, other.Length());
}

clsString::clsString(clsString&& other) noexcept
    : buffer_(std::exchange(other.buffer_, nullptr)), length_(std::exchange(other.length_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

clsString::clsString(const clsString* other) noexcept {
    if (other) Assign(other->buffer_, other->Length());
}

clsString::clsString(const char* text, const clsString& tail) noexcept {
    const int head = text ? static_cast<int>(std::strlen(text)) : 0;
    const int rest = tail.Length();
    if (!Reserve(head + rest + 1, false)) return;
    if (head > 0) std::memcpy(buffer_, text, static_cast<std::size_t>(head));
    if (rest > 0) std::memcpy(buffer_ + head, tail.buffer_, static_cast<std::size_t>(rest));
    length_ = head + rest;
    buffer_[length_] = 0;
}

clsString::~clsString() {
    delete[] buffer_;
}

clsString& clsString::operator=(const char* text) noexcept {
    return Assign(text, -1);
}

clsString& clsString::operator=(const clsString& other) noexcept {
    if (this != &other) Assign(other.buffer_, -1);
    return *this;
}

clsString& clsString::operator=(clsString&& other) noexcept {
    if (this != &other) {
        delete[] buffer_;
        buffer_ = std::exchange(other.buffer_, nullptr);
        length_ = std::exchange(other.length_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

bool clsString::Owns(const char* p) const noexcept {
    if (!buffer_ || !p) return false;
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer_);
    return at >= begin && at <= begin + static_cast<std::uintptr_t>(capacity_);
}

void clsString::MakeEmpty(bool release) noexcept {
    length_ = 0;
    if (buffer_) buffer_[0] = 0;
    if (release) {
        delete[] buffer_;
        buffer_ = nullptr;
        capacity_ = 0;
    }
}

bool clsString::Reserve(int size, bool keep) noexcept {
    if (size > capacity_) {
        if (!keep) {
            delete[] buffer_;
            buffer_ = nullptr;
        }
        char* grown = AllocateBuffer(size);
        if (!grown) {
            delete[] buffer_;
            buffer_ = nullptr;
            length_ = 0;
            capacity_ = 0;
            return false;
        }
        if (keep && buffer_ && Length() > 0)
            std::memcpy(grown, buffer_, static_cast<std::size_t>(length_) + 1);
        else
            grown[0] = 0;
        delete[] buffer_;
        buffer_ = grown;
        capacity_ = size;
    }
    if (!keep) {
        length_ = 0;
        if (buffer_) buffer_[0] = 0;
    }
    return buffer_ != nullptr;
}

clsString& clsString::Assign(const char* text, int count) noexcept {
    if (Owns(text)) {
        // The source lives in our own buffer, which emptying would spoil.
        const int n = count >= 0 ? count : static_cast<int>(std::strlen(text));
        char* copy = new (std::nothrow) char[static_cast<std::size_t>(n) + 1];
        if (!copy) {
            MakeEmpty(true);
            return *this;
        }
        std::memcpy(copy, text, static_cast<std::size_t>(n));
        Assign(copy, n);
        delete[] copy;
        return *this;
    }
    MakeEmpty(false);
    if (!text) return *this;
    const int n = count >= 0 ? count : static_cast<int>(std::strlen(text));
    if (n == 0) return *this;
    if (n == 0x7FFFFFFF || !Reserve(n + 1, false)) return *this;
    std::memcpy(buffer_, text, static_cast<std::size_t>(n));
    buffer_[n] = 0;
    length_ = n;
    return *this;
}

clsString& clsString::Append(const char* text) noexcept {
    if (!text) return *this;
    return Append(text, static_cast<int>(std::strlen(text)));
}

clsString& clsString::Append(const clsString& other) noexcept {
    return Append(other.buffer_, other.Length());
}

clsString& clsString::Append(const char* chars, int count) noexcept {
    if (Length() == 0) return Assign(chars, count);
    if (count < 0 || !chars) return *this;
    if (count == 0) return *this;
    const long long total = static_cast<long long>(length_) + count;
    if (total >= 0x7FFFFFFF) {
        MakeEmpty(false);
        return *this;
    }
    // Appending a piece of ourselves: the buffer may move while growing.
    const bool own = Owns(chars);
    const std::ptrdiff_t offset = own ? chars - buffer_ : 0;
    if (!Reserve(static_cast<int>(total), true)) return *this;
    const char* source = own ? buffer_ + offset : chars;
    std::memmove(buffer_ + length_, source, static_cast<std::size_t>(count));
    length_ = static_cast<int>(total);
    buffer_[length_] = 0;
    return *this;
}

int clsString::CompareAt(int offset, const char* text) const noexcept {
    if (!text || offset < 0) return 1;
    if (Length() - offset > 0) {
        if (text[0] == 0) return 1;
        return StrCmpI(buffer_ + offset, text, -1);
    }
    return text[0] != 0 ? -1 : 0;
}

int clsString::CompareAt(int offset, const clsString& other) const noexcept {
    if (offset < 0) return 1;
    if (Length() - offset > 0) {
        if (other.Length() == 0) return 1;
        return StrCmpI(buffer_ + offset, other.buffer_, -1);
    }
    return other.Length() > 0 ? -1 : 0;
}

clsString operator+(const clsString& left, const char* right) noexcept {
    clsString result(left);
    result.Append(right);
    return result;
}

clsString operator+(const clsString& left, const clsString& right) noexcept {
    clsString result(left);
    result.Append(right);
    return result;
}

clsString operator+(const char* left, const clsString& right) noexcept {
    clsString result(left);
    result.Append(right);
    return result;
}

} // namespace quorbase
