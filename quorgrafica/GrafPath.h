#pragma once
// A graph of a chart's tree named by the group boxes that lead to it from
// the root, as programs take it on their command line: "G1/G2" is the graph
// of the group box G2 inside the graph of the group box G1; "" is the root.

#include <string>

namespace quorgrafica {

class clsGraf;

// Null when a name finds no group box (names compare without case, the
// first box of a name counts); missing then holds that name.
clsGraf* GrafAtPath(clsGraf* root, const std::string& path, std::string* missing = nullptr);

} // namespace quorgrafica
