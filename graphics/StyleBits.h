#pragma once
// The style word read by DrawSmartFrame and TextDraw: independent bits for
// frame lines, shadows, bevel, alignment and text options.

// Frame lines: outer ring and inner ring (inset by the spacing).
constexpr int tsTop = 0x00000004;
constexpr int tsTop2 = 0x00000008;
constexpr int tsRight = 0x00000010;
constexpr int tsRight2 = 0x00000020;
constexpr int tsBottom = 0x00000040;
constexpr int tsBottom2 = 0x00000080;
constexpr int tsLeft = 0x00000100;
constexpr int tsLeft2 = 0x00000200;

// Text.
constexpr int tsAlignLeft = 0x00000400;
constexpr int tsAlignCenter = 0x00000800;
constexpr int tsAlignRight = 0x00001000;
constexpr int tsThreeParts = 0x00002000;
constexpr int tsAlternateHalf = 0x00004000;
constexpr int tsAlternate = 0x00008000;
constexpr int tsIndentRight = 0x00020000;
constexpr int tsBarCode = 0x00080000;

// Shadow strips outside the edges.
constexpr int tsShadowLeft = 0x00100000;
constexpr int tsShadowRight = 0x00200000;
constexpr int tsShadowTop = 0x00400000;
constexpr int tsShadowBottom = 0x00800000;

constexpr int tsClipBottom = 0x01000000;
constexpr int tsRaised = 0x02000000;
constexpr int tsBlankZero = 0x04000000;
constexpr int tsNoThreeParts = static_cast<int>(0x80000000u);

// A single frame on all four sides.
constexpr int tsFrame = tsTop | tsRight | tsBottom | tsLeft;
// Everything DrawSmartFrame draws.
constexpr int tsFrameMask = 0x02F003FC;
