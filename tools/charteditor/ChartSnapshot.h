#pragma once
// The whole chart as text and back: an undo step, the chart as saved. Text is
// the chart file's (UTF-8, one configuration line per line).
//
// The text format reads no graph's name or title back. The editor keeps them,
// so that a chart read anew, from a snapshot or from a file, writes again
// what it read.

#include "quorbase/clsConfig.h"

#include <string>

namespace quorgrafica {
class clsGraf;
}

namespace charteditor {

std::string TakeSnapshot(quorgrafica::clsGraf& root);
// Replaces every box of root, nested graphs included, by the snapshot's.
void RestoreSnapshot(quorgrafica::clsGraf& root, const std::string& snapshot);

// Gives the graphs of root's tree the names and titles of lines, which root
// was read from: the graph headers of lines, in order, belong to root and
// then to the nested graphs depth first. When the counts differ (blocks of
// unknown kinds, nesting cut short) the graphs keep what they have.
void CopyGrafTitles(quorgrafica::clsGraf& root, const quorbase::clsConfig& lines);

} // namespace charteditor
