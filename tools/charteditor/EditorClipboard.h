#pragma once
// The system clipboard as the chart editor uses it: chart text, both as
// plain text (for text editors) and under a type of its own (for another
// chart editor, which then knows it is a chart without guessing).

#include <string>

namespace charteditor {

// The type under which the clipboard holds chart text.
inline constexpr const char* ChartMimeType = "application/x-quor-chart";

// Puts UTF-8 chart text on the clipboard in both forms.
void PutChartText(const std::string& text);
// The clipboard's chart text when it holds one under its type, else its
// plain text (UTF-8); empty when it holds neither.
std::string ClipboardText();

} // namespace charteditor
