// The flowchart component's editing of several boxes at once, turned on by
// MultiSelect: the set of selected boxes, Shift+click, the selection band,
// moving the selected boxes together, and the selected link.

#include "quorgrafica/QuorFlowChart.h"

#include "platform/graphics/Canvas.h"
#include "quorgrafica/Arith.h"
#include "quorgrafica/ChartAlign.h"
#include "quorgrafica/ChartSelection.h"
#include "quorgrafica/ChartView.h"
#include "quorgrafica/PaintArea.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_set>

namespace quorgrafica {

namespace {

// Colours of what the selection adds to the drawing.
constexpr TColor OtherSelectedColor = 0xD77800; // blue
constexpr TColor SelectedLinkColor = 0x00A5FF;  // orange
constexpr TColor GuideColor = 0xFF00FF;         // magenta
// How near, in pixels, a dragged box's edge snaps to another's.
constexpr int GuideReach = 5;

TRect Normalised(const TRect& r) {
    return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom)};
}

TRect Grown(const TRect& r, int by) {
    return TRect{detail::PaintCoord(static_cast<std::int64_t>(r.Left) - by),
                 detail::PaintCoord(static_cast<std::int64_t>(r.Top) - by),
                 detail::PaintCoord(static_cast<std::int64_t>(r.Right) + by + 1),
                 detail::PaintCoord(static_cast<std::int64_t>(r.Bottom) + by + 1)};
}

bool Contains(const std::vector<clsBox*>& boxes, const clsBox* box) {
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end();
}

bool InGraf(const clsGraf& graf, const clsBox* box) {
    for (int i = 0; i < graf.GetCount(); ++i)
        if (graf.GetValue(i) == box) return true;
    return false;
}

} // namespace

void TQuorFlowChart::SetMultiSelect(bool value) {
    if (value == multiSelect_) return;
    multiSelect_ = value;
    selection_->Forget();
    TPaintBox::Invalidate();
}

std::vector<clsBox*> TQuorFlowChart::SelectedBoxes() const {
    clsBox* primary = currentGraf_->Selected;
    if (!primary) return {};
    const ChartSelection& sel = *selection_;
    if (!multiSelect_ || sel.graf != currentGraf_ || !Contains(sel.boxes, primary))
        return {primary};
    // Only boxes the graph still holds, in its order.
    const std::unordered_set<const clsBox*> wanted(sel.boxes.begin(), sel.boxes.end());
    std::vector<clsBox*> boxes;
    for (int i = 0; i < currentGraf_->GetCount(); ++i) {
        clsBox* box = currentGraf_->GetValue(i);
        if (box && wanted.count(box)) boxes.push_back(box);
    }
    return boxes;
}

bool TQuorFlowChart::IsBoxSelected(const clsBox* box) const {
    if (!box) return false;
    if (box == currentGraf_->Selected) return true;
    const std::vector<clsBox*> boxes = SelectedBoxes();
    return Contains(boxes, box);
}

void TQuorFlowChart::SelectBoxes(const std::vector<clsBox*>& boxes, clsBox* primary) {
    ChartSelection& sel = *selection_;
    const std::unordered_set<const clsBox*> wanted(boxes.begin(), boxes.end());
    std::vector<clsBox*> chosen;
    for (int i = 0; i < currentGraf_->GetCount(); ++i) {
        clsBox* box = currentGraf_->GetValue(i);
        if (box && wanted.count(box) && !Contains(chosen, box)) chosen.push_back(box);
    }
    if (!Contains(chosen, primary)) primary = chosen.empty() ? nullptr : chosen.front();
    sel.graf = currentGraf_;
    sel.boxes = multiSelect_ ? chosen : std::vector<clsBox*>{};
    sel.link = LinkRef{};
    sel.keep = true;
    try {
        SetSelectedBox(primary);
    } catch (...) {
        sel.keep = false;
        throw;
    }
    sel.keep = false;
    SelectionChanged();
}

void TQuorFlowChart::SelectAll() {
    std::vector<clsBox*> boxes;
    for (int i = 0; i < currentGraf_->GetCount(); ++i)
        if (clsBox* box = currentGraf_->GetValue(i)) boxes.push_back(box);
    SelectBoxes(boxes, SelectedBox());
}

LinkRef TQuorFlowChart::SelectedLink() const {
    const ChartSelection& sel = *selection_;
    if (!sel.link || sel.graf != currentGraf_ || !InGraf(*currentGraf_, sel.link.Source) ||
        !InGraf(*currentGraf_, sel.link.Target))
        return LinkRef{};
    for (int i = 0; i < sel.link.Source->LinksOut.GetCount(); ++i)
        if (sel.link.Source->LinksOut.GetValue(i) == sel.link.Target) return sel.link;
    return LinkRef{};
}

void TQuorFlowChart::SelectLink(const LinkRef& link) {
    SelectBoxes({});
    selection_->graf = currentGraf_;
    selection_->link = link;
    SelectionChanged();
}

void TQuorFlowChart::SelectionChanged() {
    // The graph is as it was: the spatial index stays.
    TPaintBox::Invalidate();
    if (OnSelectionChange) OnSelectionChange(this);
}

LinkRef TQuorFlowChart::LinkAt(int x, int y) {
    constexpr int Tolerance = 4;
    if (ChartIndex* index = ViewIndex())
        return FindLinkAmong(*currentGraf_,
                             index->LinkSourcesMeeting(TRect{x - Tolerance, y - Tolerance,
                                                             x + Tolerance + 1, y + Tolerance + 1}),
                             x, y, Tolerance);
    return FindLinkAt(*currentGraf_, x, y, Tolerance);
}

std::vector<clsBox*> TQuorFlowChart::BoxesNear(const TRect& pageArea) {
    std::vector<clsBox*> boxes;
    if (ChartIndex* index = ViewIndex()) {
        const TRect area = Grown(Normalised(pageArea), 1);
        for (int i : index->BoxesMeeting(area))
            if (clsBox* box = currentGraf_->GetValue(i)) boxes.push_back(box);
        return boxes;
    }
    for (int i = 0; i < currentGraf_->GetCount(); ++i)
        if (clsBox* box = currentGraf_->GetValue(i)) boxes.push_back(box);
    return boxes;
}

// The mouse.

bool TQuorFlowChart::SelectionMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    lastPointer_ = TPoint{x, y};
    ChartSelection& sel = *selection_;
    if (button != mbLeft || inputState_ != qfcNothing || shift.Contains(ssAlt)) return false;
    clsBox* hit = FindBoxAt(x, y);
    if (hit && shift.Contains(ssShift)) {
        std::vector<clsBox*> boxes = SelectedBoxes();
        const auto at = std::find(boxes.begin(), boxes.end(), hit);
        clsBox* primary = hit;
        if (at != boxes.end()) {
            boxes.erase(at);
            primary =
                hit == SelectedBox() ? (boxes.empty() ? nullptr : boxes.back()) : SelectedBox();
        } else {
            boxes.push_back(hit);
        }
        SelectBoxes(boxes, primary);
        return true;
    }
    if (hit) {
        std::vector<clsBox*> boxes = SelectedBoxes();
        const bool several = boxes.size() > 1 && Contains(boxes, hit);
        if (!several) {
            if (boxes != std::vector<clsBox*>{hit} || SelectedLink()) SelectBoxes({hit}, hit);
        } else if (SelectedBox() != hit) {
            SelectBoxes(boxes, hit);
        }
        const InputStates part = CheckBoxMargin(x, y);
        if (part != qfcMoveBox || readOnly_) {
            // A resize is the single box's, as without the set.
            if (several) SelectBoxes({hit}, hit);
            return false;
        }
        sel.moving = true;
        sel.collapseOnClick = several;
        sel.pressFrames.clear();
        for (clsBox* box : SelectedBoxes())
            sel.pressFrames.emplace_back(box, box->Frame);
        inputState_ = qfcMoveBox;
        FAnchor = FMovePoint = TPoint{currentGraf_->AlignX(x), currentGraf_->AlignY(y)};
        return true;
    }
    if (const LinkRef link = LinkAt(x, y)) {
        SelectLink(link);
        return true;
    }
    if (SelectedLink()) {
        sel.link = LinkRef{};
        SelectionChanged();
    }
    if (!pointerTool_) return false;
    SelectBoxes({});
    inputState_ = qfcSelectBand;
    sel.bandAnchor = sel.bandPoint = TPoint{x, y};
    sel.bandArea = TRect{};
    return true;
}

// A move ended from outside (the graph shown changed or went away) leaves
// its boxes alone.
void TQuorFlowChart::DropStaleMove() {
    ChartSelection& sel = *selection_;
    if (sel.moving && (inputState_ != qfcMoveBox || sel.graf != currentGraf_)) {
        sel.moving = false;
        sel.collapseOnClick = false;
        sel.pressFrames.clear();
        sel.guides.clear();
    }
}

bool TQuorFlowChart::SelectionMouseMove(TShiftState shift, int x, int y) {
    lastPointer_ = TPoint{x, y};
    DropStaleMove();
    ChartSelection& sel = *selection_;
    if (inputState_ == qfcSelectBand) {
        SetCursor(crCross);
        sel.bandPoint = TPoint{x, y};
        const TRect area = Grown(Normalised(TRect{sel.bandAnchor.x, sel.bandAnchor.y, x, y}), 2);
        InvalidateRect(ViewArea(AreaUnion(sel.bandArea, area)));
        sel.bandArea = area;
        return true;
    }
    if (sel.moving) {
        clsBox* primary = SelectedBox();
        const auto grabbed = std::find_if(sel.pressFrames.begin(), sel.pressFrames.end(),
                                          [&](const auto& p) { return p.first == primary; });
        if (grabbed == sel.pressFrames.end()) return true;
        const std::int64_t left =
            currentGraf_->AlignX(detail::Wrap32(static_cast<std::int64_t>(x) - FGrabOffset.x));
        const std::int64_t top =
            currentGraf_->AlignY(detail::Wrap32(static_cast<std::int64_t>(y) - FGrabOffset.y));
        std::int64_t dx = left - grabbed->second.Left, dy = top - grabbed->second.Top;
        // Guides where the dragged box lines up with the others, which it
        // snaps to when near; on the grid only exact line-ups count. Ctrl
        // turns them off.
        std::vector<ChartGuide> guides;
        if (!shift.Contains(ssCtrl)) {
            std::unordered_set<const clsBox*> moving;
            for (const auto& pressed : sel.pressFrames)
                moving.insert(pressed.first);
            std::vector<TRect> others;
            for (const clsBox* box : BoxesNear(ViewEnabled() ? ViewPageArea() : TRect{}))
                if (!moving.count(box)) others.push_back(box->Frame);
            const TRect& f = grabbed->second;
            const GuideSnap snap =
                FindGuides(TRect{detail::Wrap32(f.Left + dx), detail::Wrap32(f.Top + dy),
                                 detail::Wrap32(f.Right + dx), detail::Wrap32(f.Bottom + dy)},
                           others, currentGraf_->GridAlign ? 0 : GuideReach);
            dx += snap.Dx;
            dy += snap.Dy;
            guides = snap.Guides;
        }
        if (guides != sel.guides) {
            sel.guides = guides;
            TPaintBox::Invalidate();
        }
        const int fontPixels = FontPixelsOfGraf();
        // The frames of the set are drawn a few widget pixels out, however
        // small the zoom.
        const int reach = static_cast<int>(std::ceil(6 / Zoom()));
        for (const auto& [box, frame] : sel.pressFrames) {
            AddDamage(AreaOf(box, fontPixels));
            AddDamage(Grown(Normalised(box->Frame), reach));
            box->Frame = TRect{detail::Wrap32(frame.Left + dx), detail::Wrap32(frame.Top + dy),
                               detail::Wrap32(frame.Right + dx), detail::Wrap32(frame.Bottom + dy)};
            ViewBoxMoved(box);
            AddDamage(AreaOf(box, fontPixels));
            AddDamage(Grown(Normalised(box->Frame), reach));
        }
        if (dx != 0 || dy != 0) sel.collapseOnClick = false;
        SetCursor(crHandPoint);
        RepaintEdit();
        return true;
    }
    if (inputState_ == qfcNothing && !FindBoxAt(x, y) && LinkAt(x, y)) {
        SetCursor(crHandPoint);
        return true;
    }
    return false;
}

bool TQuorFlowChart::SelectionMouseUp(TMouseButton, TShiftState, int x, int y) {
    lastPointer_ = TPoint{x, y};
    DropStaleMove();
    ChartSelection& sel = *selection_;
    if (inputState_ == qfcSelectBand) {
        inputState_ = qfcNothing;
        const TRect band = Normalised(TRect{sel.bandAnchor.x, sel.bandAnchor.y, x, y});
        InvalidateRect(ViewArea(sel.bandArea));
        sel.bandArea = TRect{};
        std::vector<clsBox*> inside;
        for (clsBox* box : BoxesNear(band)) {
            const TRect f = Normalised(box->Frame);
            if (f.Left >= band.Left && f.Right <= band.Right && f.Top >= band.Top &&
                f.Bottom <= band.Bottom)
                inside.push_back(box);
        }
        SelectBoxes(inside);
        return true;
    }
    if (!sel.moving) return false;
    sel.moving = false;
    inputState_ = qfcNothing;
    if (!sel.guides.empty()) {
        sel.guides.clear();
        TPaintBox::Invalidate();
    }
    bool changed = false;
    for (const auto& [box, frame] : sel.pressFrames)
        if (box->Frame != frame) changed = true;
    if (changed) ViewDragEnded(nullptr);
    sel.pressFrames.clear();
    if (changed) {
        if (OnBoxFrameChanged && SelectedBox()) OnBoxFrameChanged(this, SelectedBox());
        Changed();
    } else if (sel.collapseOnClick) {
        SelectBoxes({SelectedBox()}, SelectedBox());
    }
    sel.collapseOnClick = false;
    RepaintEdit();
    return true;
}

// Painting.

void TQuorFlowChart::PaintSelection() {
    // Drawn over the view in widget pixels, whatever the zoom: the page
    // coordinates of the set, the link, the guides and the band mapped.
    TCanvas* canvas = Canvas();
    TPen* pen = canvas->Pen();
    const TColor color = pen->Color();
    const int width = pen->Width();
    const TPenStyle style = pen->Style();
    const TBrushStyle brush = canvas->Brush()->Style();
    canvas->Brush()->SetStyle(bsClear);
    const ChartSelection& sel = *selection_;
    const auto widgetRect = [this](const TRect& page) {
        const TRect r = Normalised(page);
        const TPoint a = PageToWidget(r.Left, r.Top), b = PageToWidget(r.Right, r.Bottom);
        return TRect{a.x, a.y, b.x, b.y};
    };
    clsBox* primary = SelectedBox();
    // Of thousands selected, only those in the repainted part.
    const bool clipped = canvas->KeepsOnlyClipRect();
    const TRect clip = canvas->ClipRect();
    for (clsBox* box : SelectedBoxes()) {
        if (box == primary) continue;
        const TRect f = Grown(widgetRect(box->Frame), 2);
        if (clipped && !AreasMeet(Grown(f, 2), clip)) continue;
        pen->SetColor(OtherSelectedColor);
        pen->SetWidth(2);
        canvas->Rectangle(f.Left, f.Top, f.Right - 1, f.Bottom - 1);
    }
    if (const LinkRef link = SelectedLink()) {
        const TRect line = LinkLine(*currentGraf_, *link.Source, *link.Target);
        const TPoint a = PageToWidget(line.Left, line.Top),
                     b = PageToWidget(line.Right, line.Bottom);
        pen->SetColor(SelectedLinkColor);
        pen->SetWidth(3);
        canvas->MoveTo(a.x, a.y);
        canvas->LineTo(b.x, b.y);
    }
    // Across the part of the page in view, short of the scroll bars.
    for (const ChartGuide& guide : sel.guides) {
        pen->SetColor(GuideColor);
        pen->SetWidth(1);
        pen->SetStyle(psDash);
        const TPoint at = PageToWidget(guide.At, guide.At);
        if (guide.Vertical) {
            canvas->MoveTo(at.x, 0);
            canvas->LineTo(at.x, ViewHeight());
        } else {
            canvas->MoveTo(0, at.y);
            canvas->LineTo(ViewWidth(), at.y);
        }
    }
    pen->SetStyle(style);
    if (inputState_ == qfcSelectBand) {
        const TRect band =
            widgetRect(TRect{sel.bandAnchor.x, sel.bandAnchor.y, sel.bandPoint.x, sel.bandPoint.y});
        pen->SetColor(0);
        pen->SetWidth(1);
        pen->SetStyle(psDot);
        canvas->Rectangle(band.Left, band.Top, band.Right + 1, band.Bottom + 1);
    }
    pen->SetStyle(style);
    pen->SetWidth(width);
    pen->SetColor(color);
    canvas->Brush()->SetStyle(brush);
}

} // namespace quorgrafica
