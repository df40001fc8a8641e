#pragma once
// Edits of boxes the model leaves to its users: names that stay the keys the
// graph and the links find boxes by, script lines and named values as the
// text format can keep them, and steps along the character grid.

#include "platform/core/AnsiString.h"
#include "quorbase/clsString.h"

#include <vector>

namespace quorgrafica {
class clsBox;
class clsGraf;
} // namespace quorgrafica

namespace charteditor {

// "Rettangolo", "Gruppo", "Linea", "Immagine" for the registered kinds of the
// library; any other kind by its own name.
AnsiString KindCaption(const quorbase::clsString& kindName);
// "Box1", "Gruppo2", "Linea1"...: the kind's word and the first number no
// box of graf has (names compare without case).
quorbase::clsString UniqueBoxName(quorgrafica::clsGraf& graf, const quorbase::clsString& kindName);

// Gives box a new name, and with it its key in graf and in the link lists of
// the boxes it is linked with.
void RenameBox(quorgrafica::clsGraf& graf, quorgrafica::clsBox& box,
               const quorbase::clsString& name);

// Script lines as the text format can keep them: a TAB would cut a line in
// two and empty lines at the end would be lost, so TABs become spaces and
// the empty lines at the end go.
std::vector<AnsiString> KeepableScript(const std::vector<AnsiString>& lines);
// Named values as "name=value" lines: empty lines go, a line without "="
// is a name with an empty value.
std::vector<AnsiString> KeepableVariables(const std::vector<AnsiString>& lines);
// Each sets what is keepable of lines; true when the box changed.
bool SetScriptLines(quorgrafica::clsBox& box, const std::vector<AnsiString>& lines);
bool SetVariableLines(quorgrafica::clsBox& box, const std::vector<AnsiString>& lines);
std::vector<AnsiString> ScriptLines(const quorgrafica::clsBox& box);
std::vector<AnsiString> VariableLines(const quorgrafica::clsBox& box);

// Lines of a memo's text (CR LF, CR or LF between them), and back with CR LF.
std::vector<AnsiString> SplitLines(const AnsiString& text);
AnsiString JoinLines(const std::vector<AnsiString>& lines);

// The next left (or top) edge one grid step away from x (steps is +1 or -1):
// the next column's line when the graph aligns to its grid, else x moved by
// the width of a column (at least a pixel).
int GridStepX(const quorgrafica::clsGraf& graf, int x, int steps);
int GridStepY(const quorgrafica::clsGraf& graf, int y, int steps);

} // namespace charteditor
