#pragma once
// Chart files: a graph's configuration lines as a UTF-8 text file, one line
// per configuration line. A line break or backslash inside a line is written
// as \n, \r or \\ so that every line comes back as it was.

#include "platform/core/AnsiString.h"
#include "quorbase/clsConfig.h"

#include <string>
#include <string_view>

namespace quorgrafica {

class clsGraf;

// What reading met that the graph cannot show: groups nested past
// MaxReadNesting (read empty) and "{" blocks that never close (read to the
// end of the text).
struct ChartReadNotes {
    bool NestingCapped = false;
    bool UnclosedBlocks = false;
};

// Windows-1252 lines to UTF-8 file text, each line ended by a line feed.
std::string ChartLinesToText(const quorbase::clsConfig& lines);
// UTF-8 file text to Windows-1252 lines, appended to lines. Accepts a byte
// order mark and CR LF line ends.
void ChartTextToLines(std::string_view text, quorbase::clsConfig& lines);

// Writes graf (DataTo) to the file. On failure answers false and, when error
// is given, an Italian message naming the file; the old file is then intact.
bool SaveChartFile(clsGraf& graf, const AnsiString& fileName, AnsiString* error = nullptr);
// Reads the file into graf (DataFrom). A missing or unreadable file, or one
// that does not hold a chart, answers false with a message and leaves graf
// unchanged. Time and memory grow with the file's size alone, at any depth.
bool LoadChartFile(clsGraf& graf, const AnsiString& fileName, AnsiString* error = nullptr,
                   ChartReadNotes* notes = nullptr);

} // namespace quorgrafica
