#include "tools/charteditor/BoxEdits.h"

#include "quorgrafica/Clsgraf.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

namespace charteditor {

using quorbase::clsString;
using quorgrafica::clsBox;
using quorgrafica::clsBoxList;
using quorgrafica::clsGraf;

namespace {

struct KindWords {
    const char* kind;
    const char* caption;
    const char* word;
};

constexpr KindWords Kinds[] = {
    {"clsBoxRectangle", "Rettangolo", "Box"},
    {"clsBoxGroup", "Gruppo", "Gruppo"},
    {"clsBoxLine", "Linea", "Linea"},
    {"clsBoxPicture", "Immagine", "Immagine"},
};

const KindWords* Known(const clsString& kindName) {
    for (const KindWords& k : Kinds)
        if (kindName.Equals(k.kind)) return &k;
    return nullptr;
}

std::string Text(const clsString& s) {
    return std::string(s.CStr() ? s.CStr() : "", static_cast<std::size_t>(s.Length()));
}

// Sets the key under which list holds box.
void Rekey(clsBoxList& list, const clsBox* box, const clsString& name) {
    for (int i = 0; i < list.GetCount(); ++i)
        if (list.GetValue(i) == box) list.GetNode(i)->SetKey(name);
}

// The first edge of the grid past x in the direction of steps.
int Step(int x, int steps, int cellPixels, bool align, const std::function<int(int)>& toCell,
         const std::function<int(int)>& toPixel) {
    if (!align) {
        const std::int64_t moved = static_cast<std::int64_t>(x) + steps * std::max(1, cellPixels);
        return static_cast<int>(std::clamp<std::int64_t>(moved, INT32_MIN, INT32_MAX));
    }
    int cell = toCell(x);
    // A few cells either way cover the truncation of the conversions.
    if (steps > 0) {
        for (int i = 0; i < 4 && toPixel(cell) <= x; ++i)
            ++cell;
    } else {
        ++cell;
        for (int i = 0; i < 4 && toPixel(cell) >= x; ++i)
            --cell;
    }
    return toPixel(cell);
}

} // namespace

AnsiString KindCaption(const clsString& kindName) {
    if (const KindWords* k = Known(kindName)) return AnsiString(k->caption);
    return AnsiString(Text(kindName));
}

clsString UniqueBoxName(clsGraf& graf, const clsString& kindName) {
    const KindWords* k = Known(kindName);
    const std::string word = k ? k->word : "Box";
    for (int n = 1;; ++n) {
        const std::string name = word + std::to_string(n);
        if (!graf.GetBox(clsString(name.c_str()))) return clsString(name.c_str());
    }
}

void RenameBox(clsGraf& graf, clsBox& box, const clsString& name) {
    box.Name = name;
    for (int i = 0; i < graf.GetCount(); ++i)
        if (graf.GetValue(i) == &box) graf.GetNode(i)->SetKey(name);
    // Each link is held on both sides, under the other box's name.
    for (int i = 0; i < box.LinksOut.GetCount(); ++i)
        if (clsBox* target = box.LinksOut.GetValue(i)) Rekey(target->LinksIn, &box, name);
    for (int i = 0; i < box.LinksIn.GetCount(); ++i)
        if (clsBox* source = box.LinksIn.GetValue(i)) Rekey(source->LinksOut, &box, name);
}

std::vector<AnsiString> KeepableScript(const std::vector<AnsiString>& lines) {
    std::vector<AnsiString> kept;
    for (const AnsiString& line : lines) {
        std::string text = line.str();
        std::replace(text.begin(), text.end(), '\t', ' ');
        kept.emplace_back(std::move(text));
    }
    while (!kept.empty() && kept.back().IsEmpty())
        kept.pop_back();
    return kept;
}

std::vector<AnsiString> KeepableVariables(const std::vector<AnsiString>& lines) {
    std::vector<AnsiString> kept;
    for (const AnsiString& line : lines) {
        if (line.IsEmpty()) continue;
        kept.push_back(line.str().find('=') == std::string::npos ? line + "=" : line);
    }
    return kept;
}

bool SetScriptLines(clsBox& box, const std::vector<AnsiString>& lines) {
    const std::vector<AnsiString> kept = KeepableScript(lines);
    if (kept == ScriptLines(box)) return false;
    box.Script.Clear();
    for (const AnsiString& line : kept)
        box.Script.AddString(clsString(line.c_str(), static_cast<int>(line.str().size())));
    return true;
}

bool SetVariableLines(clsBox& box, const std::vector<AnsiString>& lines) {
    const std::vector<AnsiString> kept = KeepableVariables(lines);
    if (kept == VariableLines(box)) return false;
    box.Variables.Clear();
    for (const AnsiString& line : kept) {
        const std::string& text = line.str();
        const std::size_t eq = text.find('=');
        box.Variables.AddPair(
            clsString(text.c_str(), static_cast<int>(eq)),
            clsString(text.c_str() + eq + 1, static_cast<int>(text.size() - eq - 1)));
    }
    return true;
}

std::vector<AnsiString> ScriptLines(const clsBox& box) {
    std::vector<AnsiString> lines;
    for (int i = 0; i < box.Script.GetCount(); ++i)
        lines.emplace_back(Text(box.Script.GetValueText(i)));
    return lines;
}

std::vector<AnsiString> VariableLines(const clsBox& box) {
    std::vector<AnsiString> lines;
    for (int i = 0; i < box.Variables.GetCount(); ++i)
        lines.emplace_back(Text(box.Variables.GetKey(i)) + "=" +
                           Text(box.Variables.GetValueText(i)));
    return lines;
}

std::vector<AnsiString> SplitLines(const AnsiString& text) {
    std::vector<AnsiString> lines;
    const std::string& s = text.str();
    if (s.empty()) return lines;
    std::string line;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.emplace_back(line);
            line.clear();
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            line += s[i];
        }
    }
    lines.emplace_back(line);
    return lines;
}

AnsiString JoinLines(const std::vector<AnsiString>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i].str();
    }
    return AnsiString(text);
}

int GridStepX(const clsGraf& graf, int x, int steps) {
    const int cell = graf.Columns != 0 ? graf.PageWidth / graf.Columns : 0;
    return Step(
        x, steps, cell, graf.GridAlign && graf.Columns != 0, [&](int v) { return graf.X2Chars(v); },
        [&](int c) { return graf.Chars2X(c); });
}

int GridStepY(const clsGraf& graf, int y, int steps) {
    const int cell = graf.Rows != 0 ? graf.PageHeight / graf.Rows : 0;
    return Step(
        y, steps, cell, graf.GridAlign && graf.Columns != 0 && graf.Rows != 0,
        [&](int v) { return graf.Y2Chars(v); }, [&](int r) { return graf.Chars2Y(r); });
}

} // namespace charteditor
