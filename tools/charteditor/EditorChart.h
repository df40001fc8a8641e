#pragma once
// The flowchart component as the editor shows it: it tells the editor when
// the user selects a box or double-clicks into or out of a group, and frames
// the preview of the parent graph so that it stands apart from the boxes.

#include "quorgrafica/QuorFlowChart.h"

#include <functional>

namespace charteditor {

class TEditorChart : public quorgrafica::TQuorFlowChart {
public:
    explicit TEditorChart(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TEditorChart)

    // The selection changed.
    std::function<void()> OnSelect;
    // A double click has been handled: another graph may be on show.
    std::function<void()> OnNavigate;

    void DblClick() override;

protected:
    void BoxSelected(quorgrafica::clsBox* box) override;
    void Paint() override;
};

} // namespace charteditor
