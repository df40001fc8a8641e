// The chart editor's box panel: the selected box's name, text, colours,
// font, script and named values, each change shown at once and undoable.

#include "tools/charteditor/ChartEditor.h"

#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/BoxEdits.h"
#include "tools/charteditor/EditorChart.h"

#include <string>

namespace charteditor {

using quorbase::clsString;
using quorgrafica::clsBox;

namespace {

clsString ToCls(const AnsiString& text) {
    return clsString(text.c_str(), static_cast<int>(text.str().size()));
}

bool SameText(const clsString& a, const AnsiString& b) {
    return std::string_view(a.CStr() ? a.CStr() : "", static_cast<std::size_t>(a.Length())) ==
           b.view();
}

// The key that makes the changes of one field of one box one step.
std::string MergeKey(const char* field, const GrafPlace& graf, const BoxPlace& box) {
    std::string key = field;
    for (const BoxPlace& step : graf)
        key += "/" + std::to_string(step.index);
    return key + "/" + std::to_string(box.index);
}

template <class T> bool Assign(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}

} // namespace

template <class Change> bool ChartEditor::EditBox(const char* field, Change change) {
    clsBox* box = chart_.SelectedBox();
    if (!box || !Idle()) return false;
    const BoxPlace before = PlaceOf(box);
    // The panel edits what the selected boxes share: a change goes to each.
    bool changed = false;
    for (clsBox* each : chart_.SelectedBoxes())
        if (change(*each)) changed = true;
    if (!changed) return false;
    chart_.Invalidate();
    // A choice made in a dialog is a step of its own; typing merges.
    Record(field ? MergeKey(field, PlaceOf(chart_.CurrentGraf()), before) : std::string(), before,
           PlaceOf(box));
    // The panel shows the box again: the fields being typed into keep
    // their text, which says what the box now holds.
    SelectionChanged();
    return true;
}

bool ChartEditor::SetBoxName(const AnsiString& name) {
    // A name is one box's own.
    if (chart_.SelectedBoxes().size() > 1) return false;
    return EditBox("Name", [&](clsBox& box) {
        if (SameText(box.Name, name)) return false;
        RenameBox(*chart_.CurrentGraf(), box, ToCls(name));
        return true;
    });
}

bool ChartEditor::SetBoxText(const AnsiString& text) {
    // The box breaks its text at line feeds.
    std::string lines;
    const std::string& s = text.str();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            lines += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            lines += s[i];
        }
    }
    return EditBox("Text", [&](clsBox& box) {
        if (SameText(box.Text, AnsiString(lines))) return false;
        box.Text = clsString(lines.c_str(), static_cast<int>(lines.size()));
        return true;
    });
}

bool ChartEditor::SetFillColor(TColor color) {
    return EditBox(nullptr, [&](clsBox& box) { return Assign(box.FillColor, color); });
}

bool ChartEditor::SetFontColor(TColor color) {
    return EditBox(nullptr, [&](clsBox& box) { return Assign(box.FontColor, color); });
}

bool ChartEditor::SetShadowColor(TColor color) {
    return EditBox(nullptr, [&](clsBox& box) { return Assign(box.ShadowColor, color); });
}

bool ChartEditor::SetBoxFont(const AnsiString& name, int size) {
    return EditBox(nullptr, [&](clsBox& box) {
        if (SameText(box.FontName, name) && box.FontSize == size) return false;
        box.FontName = ToCls(name);
        box.FontSize = size;
        return true;
    });
}

bool ChartEditor::SetScript(const AnsiString& lines) {
    return EditBox("Script", [&](clsBox& box) { return SetScriptLines(box, SplitLines(lines)); });
}

bool ChartEditor::SetVariables(const AnsiString& lines) {
    return EditBox("Variables",
                   [&](clsBox& box) { return SetVariableLines(box, SplitLines(lines)); });
}

} // namespace charteditor
