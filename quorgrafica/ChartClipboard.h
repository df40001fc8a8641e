#pragma once
// Boxes as chart text, for the clipboard: some boxes of a graph written as a
// graph of their own, with the links among them and the graphs nested in
// group boxes, and such text read back as boxes. The text is the chart
// file's (UTF-8, one configuration line per line), so that a text editor
// shows it and a chart file's text pastes as boxes.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorgrafica {

class clsBox;
class clsGraf;

// The boxes of graf among boxes, in graf's order, as the text of a graph
// holding only them: links to boxes left out are left out.
std::string BoxesToChartText(clsGraf& graf, const std::vector<clsBox*>& boxes);

// The boxes the text describes, in a graph of their own; null when the text
// describes no box (it is no chart text, or names only unknown kinds).
std::unique_ptr<clsGraf> ChartTextToBoxes(std::string_view text);

// Moves the box at index of from to the end of to: the box then belongs to
// to, its links (within from) go with it. Null when there is no such box.
clsBox* MoveBoxTo(clsGraf& from, int index, clsGraf& to);

} // namespace quorgrafica
