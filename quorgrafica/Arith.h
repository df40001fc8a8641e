#pragma once
// Integer helpers for geometry read from text: values may be anything a file
// holds, so sums and products are done wide and brought back to 32 bits.

#include <cstdint>

namespace quorgrafica::detail {

// Two's-complement wrap, as 32-bit arithmetic would give without overflow traps.
constexpr int Wrap32(std::int64_t v) {
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

constexpr int Clamp32(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}

// Coordinates handed to the drawing layer: far enough for any page, small
// enough that the layer's own sums of a few of them cannot overflow.
constexpr std::int64_t PaintLimit = 1 << 24;
constexpr int PaintCoord(std::int64_t v) {
    return Clamp32(v, -PaintLimit, PaintLimit);
}

// (a + b) / 2 truncating toward zero, without overflow.
constexpr std::int64_t Mid(int a, int b) {
    return (static_cast<std::int64_t>(a) + b) / 2;
}

} // namespace quorgrafica::detail
