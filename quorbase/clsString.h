#pragma once
// clsString: an owned, NUL-terminated 8-bit string with an explicit length and
// an exact-size capacity. Value semantics, case-insensitive comparison, and no
// operation ever raises: a failing operation leaves the string empty.

namespace quorbase {

class clsString {
public:
    constexpr clsString() noexcept = default;
    // A null text gives the empty string.
    clsString(const char* text) noexcept;
    // Exactly count characters of text; a negative count reads up to the
    // terminator. The source must hold count readable characters.
    clsString(const char* text, int count) noexcept;
    explicit clsString(int value) noexcept;
    // The character 0 gives the empty string.
    explicit clsString(char ch) noexcept;
    clsString(const clsString& other) noexcept;
    clsString(clsString&& other) noexcept;
    // As the copy; a null pointer gives the empty string.
    explicit clsString(const clsString* other) noexcept;
    // text followed by tail, sized once for the whole result.
    clsString(const char* text, const clsString& tail) noexcept;
    ~clsString();

    clsString& operator=(const char* text) noexcept;
    clsString& operator=(const clsString& other) noexcept;
    clsString& operator=(clsString&& other) noexcept;

    int Length() const noexcept { return buffer_ && length_ > 0 ? length_ : 0; }
    int Capacity() const noexcept { return capacity_; }
    // The buffer itself: null while the string has no buffer.
    const char* CStr() const noexcept { return buffer_; }
    char* CStr() noexcept { return buffer_; }

    void MakeEmpty(bool release = false) noexcept;
    // Makes room for size characters. Without keep the text is emptied.
    // True when a buffer exists afterwards.
    bool Reserve(int size, bool keep = false) noexcept;

    clsString& Assign(const char* text, int count = -1) noexcept;
    clsString& Append(const char* text) noexcept;
    clsString& Append(const clsString& other) noexcept;
    clsString& Append(const char* chars, int count) noexcept;

    void SetInt(int value) noexcept;
    // Lenient number reading: "1.234,5" and "1,234.5" both give 1234.5.
    double ToDouble(double fallback = 0.0) const noexcept;

    int Compare(const char* text) const noexcept { return CompareAt(0, text); }
    int Compare(const clsString& other) const noexcept { return CompareAt(0, other); }
    int CompareAt(int offset, const char* text) const noexcept;
    int CompareAt(int offset, const clsString& other) const noexcept;
    bool Equals(const char* text) const noexcept { return Compare(text) == 0; }
    bool Equals(const clsString& other) const noexcept { return Compare(other) == 0; }

    // The piece from position up to the next separator; position moves past
    // it and becomes -1 when nothing is left.
    clsString Token(char separator, int& position) const noexcept;
    // Cuts the text at its first separator; answers the new length.
    int CutAt(char separator) noexcept;
    clsString& Trim(char ch = ' ') noexcept;
    void Fill(char ch, int count) noexcept;
    // A negative count reads to the end; a count past the end is cut there.
    clsString Mid(int start, int count) const noexcept;
    clsString Mid(int start) const noexcept { return Mid(start, -1); }
    clsString& DeleteFirst(int count) noexcept;
    // Never null: outside 0..Length() it points at a shared empty text.
    const char* CharAt(int index) const noexcept;
    char SetChar(int index, char ch) noexcept;
    // q, the text with every q doubled, q.
    clsString Quote(char q) const noexcept;

private:
    bool Owns(const char* p) const noexcept;

    char* buffer_ = nullptr;
    int length_ = 0;
    int capacity_ = 0;
};

clsString operator+(const clsString& left, const char* right) noexcept;
clsString operator+(const clsString& left, const clsString& right) noexcept;
clsString operator+(const char* left, const clsString& right) noexcept;

// The shared empty string, never modified.
extern const clsString EmptyString;

// Case-insensitive comparison (ASCII letters only) of at most n characters,
// of the whole texts when n < 0. Null texts sort first.
int StrCmpI(const char* a, const char* b, int n) noexcept;

} // namespace quorbase
