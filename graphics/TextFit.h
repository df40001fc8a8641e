#pragma once
// The line-fitting step of TextDraw. Prefix widths only grow with length, so
// the longest prefix that fits is found by search instead of by measuring
// every shorter prefix; the one-character-at-a-time version stays for
// comparison.

#include "graphics/TextLayout.h"

#include <string>
#include <string_view>
#include <vector>

enum class TextFitMethod { Search, OneByOne };

// Characters of text to put on a line avail pixels wide: the longest prefix
// not wider than avail, at least 1 (0 for an empty text).
int FitPrefix(TCanvas* canvas, std::string_view text, int avail, TextFitMethod method);

// The lines TextDraw's paragraph form makes of text in a line avail pixels
// wide (fit, then the syllable correction), paragraph by paragraph.
std::vector<std::string> WrapText(TCanvas* canvas, std::string_view text, int avail,
                                  TextFitMethod method = TextFitMethod::Search);

// TextDraw with the chosen fitting step.
int TextDraw(const clsTextOut& args, TextFitMethod method);
