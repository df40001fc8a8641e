#pragma once
// The gallery's chart: the example chart of chartrender, copied into the
// gallery's folder afresh at every start, so that the flowchart page may
// save every change without touching the example. File names are UTF-8.

#include <string>

namespace quorgrafica {
class clsGraf;
}

namespace gallery {

// Inside the gallery's folder, and the example's own name.
constexpr const char* kChartName = "conti.chart";

// The example chart: beside the program when there is one, else in the
// source folder the program was built from. False with a message naming
// the places looked at.
bool ExampleChart(std::string& file, std::string& error);

// Copies source into folder (created when missing) as conti.chart,
// replacing an older copy; source is only read, and is refused when it is
// the copy itself. False with a message naming the file; a failure never
// leaves half a copy.
bool MakeChartCopy(const std::string& source, const std::string& folder, std::string& copy,
                   std::string& error);

// Shows the grid in every graph of the chart: a nested graph has its own,
// hidden unless set.
void ShowGridEverywhere(quorgrafica::clsGraf& graf);

} // namespace gallery
