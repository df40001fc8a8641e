// The chart editor's alignment of the selected boxes.

#include "tools/charteditor/ChartEditor.h"

#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/EditorChart.h"

#include <algorithm>

namespace charteditor {

using quorgrafica::clsBox;

bool ChartEditor::AlignSelected(quorgrafica::AlignKind kind) {
    const std::vector<clsBox*> boxes = chart_.SelectedBoxes();
    if (boxes.size() < 2 || !Idle()) return false;
    SetPageOfGraf();
    std::vector<TRect> frames;
    for (const clsBox* box : boxes)
        frames.push_back(box->Frame);
    // Sizes come from the selected box, the one clicked last.
    const auto reference = std::find(boxes.begin(), boxes.end(), chart_.SelectedBox());
    const std::vector<TRect> aligned =
        quorgrafica::AlignFrames(frames, kind, static_cast<int>(reference - boxes.begin()),
                                 *chart_.CurrentGraf());
    if (aligned == frames) return false;
    EndTyping();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->Frame = aligned[i];
    chart_.Invalidate();
    const BoxPlace place = PlaceOf(chart_.SelectedBox());
    Record(std::string(), place, place);
    SelectionChanged();
    return true;
}

} // namespace charteditor
