#pragma once
// Exact decimal text <-> scaled 64-bit integers, for amounts that must not
// lose a cent on their way through doubles.

#include <cstdint>
#include <string>
#include <string_view>

namespace dbengine {

// Parses "[-+]digits[sep digits][e[-+]n]" into units of 10^-scale, rounding
// half away from zero past the scale. False on malformed text or overflow.
bool ParseDecimal(std::string_view text, char separator, int scale, std::int64_t& units);
// A double to units of 10^-scale, through its shortest exact decimal text.
bool DoubleToUnits(double value, int scale, std::int64_t& units);
// Units of 10^-scale as text: at least minDecimals decimals, trailing zeros
// beyond them dropped.
std::string FormatUnits(std::int64_t units, int scale, char separator, int minDecimals);
// A double in plain notation, never with an exponent: the shortest text that
// reads back the same value, rounded half away from zero to at most
// maxDecimals decimals, trailing zeros dropped ("1000000000000000000",
// "12.5"). For amounts too large for units.
std::string FormatDouble(double value, int maxDecimals, char separator);
// Moves units from one scale to another, rounding half away from zero.
std::int64_t Rescale(std::int64_t units, int fromScale, int toScale);

} // namespace dbengine
