#pragma once
// TStrings: an ordered list of lines, as the platform's memo and query text.

#include "platform/core/AnsiString.h"

#include <vector>

class TStrings {
public:
    virtual ~TStrings() = default;
    int Count() const { return static_cast<int>(lines_.size()); }
    const AnsiString& operator[](int index) const; // ERangeError outside 0..Count()-1
    void Add(const AnsiString& line);
    void Insert(int index, const AnsiString& line);
    void Delete(int index);
    void Clear();
    int IndexOf(const AnsiString& line) const;
    // Lines joined, each followed by CR LF (as the platform does); setting
    // splits at CR LF, LF or CR.
    AnsiString Text() const;
    void SetText(const AnsiString& text);

protected:
    // Called after every change, so that an owner (a query) can react.
    virtual void Changed() {}

private:
    std::vector<AnsiString> lines_;
};
