#pragma once
// The platform's 8-bit string: Windows-1252 bytes, positions counted from 1.

#include <compare>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* text); // a null pointer gives the empty string
    AnsiString(const char* text, int length);
    AnsiString(std::string_view text) : data_(text) {}
    AnsiString(const std::string& text) : data_(text) {}
    AnsiString(std::string&& text) : data_(std::move(text)) {}
    explicit AnsiString(char ch) : data_(1, ch) {}
    AnsiString(int value);
    AnsiString(long long value);
    AnsiString(double value); // general number form with the locale's decimal separator

    int Length() const { return static_cast<int>(data_.size()); }
    bool IsEmpty() const { return data_.empty(); }
    const char* c_str() const { return data_.c_str(); }
    const std::string& str() const { return data_; }
    std::string_view view() const { return data_; }

    // 1-based; raises ERangeError outside 1..Length().
    char operator[](int index) const;
    char& operator[](int index);

    // Characters from start (1-based) for count characters, cut at both ends.
    AnsiString SubString(int start, int count) const;
    // 1-based position of the first occurrence of sub, 0 when absent or sub is empty.
    int Pos(const AnsiString& sub) const;
    int LastDelimiter(const AnsiString& delimiters) const;

    AnsiString UpperCase() const;
    AnsiString LowerCase() const;
    AnsiString Trim() const;
    AnsiString TrimLeft() const;
    AnsiString TrimRight() const;

    // Decimal (or 0x hex) integer; ToInt raises EConvertError on bad text.
    int ToInt() const;
    int ToIntDef(int fallback) const;
    double ToDouble() const; // uses the locale's decimal separator; raises EConvertError

    AnsiString& Insert(const AnsiString& text, int index);
    AnsiString& Delete(int index, int count);
    void SetLength(int length);

    AnsiString& operator+=(const AnsiString& other) {
        data_ += other.data_;
        return *this;
    }
    AnsiString& operator+=(const char* other);
    AnsiString& operator+=(char ch) {
        data_ += ch;
        return *this;
    }

    friend AnsiString operator+(const AnsiString& a, const AnsiString& b) {
        return AnsiString(a.data_ + b.data_);
    }
    friend AnsiString operator+(const AnsiString& a, const char* b) { return a + AnsiString(b); }
    friend AnsiString operator+(const char* a, const AnsiString& b) { return AnsiString(a) + b; }
    friend AnsiString operator+(const AnsiString& a, char b) { return AnsiString(a.data_ + b); }

    friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.data_ == b.data_; }
    friend bool operator==(const AnsiString& a, const char* b) { return a == AnsiString(b); }
    // Byte-wise, as unsigned characters.
    friend std::strong_ordering operator<=>(const AnsiString& a, const AnsiString& b);

    // Case-insensitive for the ASCII letters only.
    int CompareIC(const AnsiString& other) const;
    bool EqualsIC(const AnsiString& other) const {
        // Names looked up are mostly spelt alike: bytes equal first.
        return data_.size() == other.data_.size() && (data_ == other.data_ || CompareIC(other) == 0);
    }

private:
    std::string data_;
};

// Writes the bytes as they are (test output, diagnostics).
std::ostream& operator<<(std::ostream& out, const AnsiString& text);

AnsiString IntToStr(long long value);
int StrToInt(const AnsiString& text);
int StrToIntDef(const AnsiString& text, int fallback);

struct AnsiStringHashIC {
    std::size_t operator()(const AnsiString& s) const noexcept;
};
