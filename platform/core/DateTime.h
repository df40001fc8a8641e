#pragma once
// TDateTime: days since 30 December 1899, the fraction being the time of day.

#include "platform/core/AnsiString.h"

struct TDateTime {
    double Val = 0.0;
    TDateTime() = default;
    TDateTime(double v) : Val(v) {}
    operator double() const { return Val; }
};

// Raise EConvertError for an invalid date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool IsLeapYear(int year);
TDateTime Date(); // today, no time
TDateTime Now();

// Patterns: d dd m mm (month after a day, minutes after an hour) yy yyyy h hh
// n nn s ss, "/" the date separator, ":" the time separator, quoted text kept.
AnsiString FormatDateTime(const AnsiString& pattern, TDateTime value);
AnsiString DateToStr(TDateTime value);     // short date format
AnsiString DateTimeToStr(TDateTime value); // short date, and the time when not midnight
// Parses text in the short date format (day, month and year order taken from it).
TDateTime StrToDate(const AnsiString& text);
bool TryStrToDate(const AnsiString& text, TDateTime& result);

// ISO forms used by the archive.
AnsiString DateToISO(TDateTime value);     // YYYY-MM-DD
AnsiString DateTimeToISO(TDateTime value); // YYYY-MM-DD HH:MM:SS
bool TryISOToDateTime(const std::string& text, TDateTime& result);
