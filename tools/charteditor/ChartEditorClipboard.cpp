// The chart editor's clipboard: copy, cut, paste and duplicate of the
// selected boxes as chart text.

#include "tools/charteditor/ChartEditor.h"

#include "platform/core/Application.h"
#include "quorgrafica/ChartClipboard.h"
#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/Applying.h"
#include "tools/charteditor/BoxEdits.h"
#include "tools/charteditor/EditorChart.h"
#include "tools/charteditor/EditorClipboard.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

namespace charteditor {

using quorgrafica::clsBox;
using quorgrafica::clsGraf;

namespace {

int Clamp32(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
}

} // namespace

bool ChartEditor::Copy() {
    const std::vector<clsBox*> boxes = chart_.SelectedBoxes();
    if (boxes.empty() || !Idle()) return false;
    EndTyping();
    PutChartText(quorgrafica::BoxesToChartText(*chart_.CurrentGraf(), boxes));
    return true;
}

bool ChartEditor::Cut() {
    const std::vector<clsBox*> boxes = chart_.SelectedBoxes();
    if (!Copy()) return false;
    return RemoveBoxes(boxes);
}

bool ChartEditor::Duplicate() {
    const std::vector<clsBox*> boxes = chart_.SelectedBoxes();
    if (boxes.empty() || !Idle()) return false;
    return PasteText(quorgrafica::BoxesToChartText(*chart_.CurrentGraf(), boxes));
}

bool ChartEditor::Paste(const TPoint* at) {
    if (!Idle()) return false;
    return PasteText(ClipboardText(), at);
}

bool ChartEditor::PasteText(const std::string& text, const TPoint* at) {
    if (!Idle()) return false;
    std::unique_ptr<clsGraf> pasted = quorgrafica::ChartTextToBoxes(text);
    if (!pasted) {
        Ask("Gli appunti non contengono box di un diagramma da incollare.",
            MB_OK | MB_ICONWARNING);
        return false;
    }
    EndTyping();
    SetPageOfGraf();
    clsGraf& graf = *chart_.CurrentGraf();
    std::int64_t left = std::numeric_limits<int>::max(), top = std::numeric_limits<int>::max();
    for (int i = 0; i < pasted->GetCount(); ++i) {
        if (const clsBox* box = pasted->GetValue(i)) {
            left = std::min<std::int64_t>({left, box->Frame.Left, box->Frame.Right});
            top = std::min<std::int64_t>({top, box->Frame.Top, box->Frame.Bottom});
        }
    }
    const int from = Clamp32(left), fromTop = Clamp32(top);
    const std::int64_t dx = (at ? graf.AlignX(at->x) : GridStepX(graf, from, 1)) - left;
    const std::int64_t dy = (at ? graf.AlignY(at->y) : GridStepY(graf, fromTop, 1)) - top;
    std::vector<clsBox*> added;
    {
        Applying applying(applying_);
        while (pasted->GetCount() > 0) {
            clsBox* box = pasted->GetValue(0);
            if (!box) {
                pasted->RemoveAt(0);
                continue;
            }
            // A name taken in the graph, or none, gives way to a new one;
            // the links hold the box itself and follow.
            if (box->Name.Length() == 0 || graf.GetBox(box->Name))
                RenameBox(*pasted, *box, UniqueBoxName(graf, box->TypeName()));
            const TRect f = box->Frame;
            box->Frame = TRect{Clamp32(f.Left + dx), Clamp32(f.Top + dy), Clamp32(f.Right + dx),
                               Clamp32(f.Bottom + dy)};
            if (clsBox* moved = quorgrafica::MoveBoxTo(*pasted, 0, graf)) added.push_back(moved);
        }
        chart_.SelectBoxes(added, added.empty() ? nullptr : added.front());
        chart_.Invalidate();
    }
    if (added.empty()) return false;
    Record(std::string(), BoxPlace{}, PlaceOf(added.front()));
    SelectionChanged();
    return true;
}

} // namespace charteditor
