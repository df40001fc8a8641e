// Mouse editing of the flowchart component: the press chooses what the drag
// will do, the moves show it with an inverted band (and move or resize the
// box at once), the release commits: a new box, a new link, or the news that
// a box's frame has changed. Coordinates snap to the current graph's grid.

#include "quorgrafica/QuorFlowChart.h"

#include "platform/graphics/Canvas.h"
#include "quorgrafica/Arith.h"
#include "quorgrafica/LineDrag.h"
#include "quorgrafica/PaintArea.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace quorgrafica {

using quorbase::clsString;

namespace {

int Narrow(std::int64_t v) {
    return detail::Wrap32(v);
}

bool IsFrameDrag(InputStates state) {
    return state >= qfcMoveBox && state <= qfcResizeW;
}

TCursor CursorFor(InputStates state) {
    switch (state) {
    case qfcMoveBox:
        return crHandPoint;
    case qfcResizeNW:
    case qfcResizeSE:
        return crSizeNWSE;
    case qfcResizeN:
    case qfcResizeS:
        return crSizeNS;
    case qfcResizeNE:
    case qfcResizeSW:
        return crSizeNESW;
    case qfcResizeE:
    case qfcResizeW:
        return crSizeWE;
    default:
        return crArrow;
    }
}

} // namespace

InputStates TQuorFlowChart::CheckBoxMargin(int x, int y) {
    clsBox* box = SelectedBox();
    if (!currentGraf_ || !box) return inputState_;
    const TRect& f = box->Frame;
    const std::int64_t ox = static_cast<std::int64_t>(x) - f.Left;
    const std::int64_t oy = static_cast<std::int64_t>(y) - f.Top;
    FGrabOffset = TPoint{Narrow(ox), Narrow(oy)};
    if (IsLineBox(box)) {
        const InputStates part = LineMargin(*box, x, y, resizeBorderWidth_);
        return part == qfcNothing ? inputState_ : part;
    }
    // The box counts as holding its right and bottom edges here.
    if (ox < 0 || oy < 0 || x > f.Right || y > f.Bottom) return inputState_;
    const std::int64_t b = resizeBorderWidth_;
    const bool top = oy < b;
    const bool bottom = !top && y + b >= f.Bottom;
    const bool left = ox < b;
    const bool right = !left && x + b >= f.Right;
    if (left) return top ? qfcResizeNW : bottom ? qfcResizeSW : qfcResizeW;
    if (right) return top ? qfcResizeNE : bottom ? qfcResizeSE : qfcResizeE;
    return top ? qfcResizeN : bottom ? qfcResizeS : qfcMoveBox;
}

clsBox* TQuorFlowChart::CreateBox(const clsString& name, const TRect& rect, bool inChars) {
    std::unique_ptr<clsBox> box(
        NewBox(currentGraf_, clsString(boxStyle_.c_str(), boxStyle_.Length())));
    if (!box) return nullptr;
    box->Name = name;
    box->Frame = rect;
    if (inChars) {
        box->Frame.Left = currentGraf_->Chars2X(rect.Left);
        box->Frame.Right = currentGraf_->Chars2X(rect.Right);
        box->Frame.Top = currentGraf_->Chars2Y(rect.Top);
        box->Frame.Bottom = currentGraf_->Chars2Y(rect.Bottom);
    }
    box->ShadowWidth = shadowWidth_;
    box->ShadowColor = shadowColor_;
    box->FillColor = boxFillColor_;
    const TRect& f = box->Frame;
    bool cancel = static_cast<std::int64_t>(f.Right) - f.Left <= 0 ||
                  static_cast<std::int64_t>(f.Bottom) - f.Top <= 0;
    if (!cancel && OnAfterNewBox) OnAfterNewBox(this, box.get(), cancel);
    if (cancel) return nullptr;
    clsBox* made = box.get();
    // The handler may have renamed it: it goes in under its name as it is now.
    if (currentGraf_->Add(made->Name, made) < 0) return nullptr;
    box.release();
    ++boxId_;
    return made;
}

void TQuorFlowChart::Selezione() {
    TCanvas* canvas = Canvas();
    TPen* pen = canvas->Pen();
    const TColor color = pen->Color();
    const TPenMode mode = pen->Mode();
    // A black pen in this mode inverts what it covers: drawn twice, nothing.
    pen->SetColor(0);
    pen->SetMode(pmNotMerge);
    try {
        const TPoint a = PageToWidget(FAnchor.x, FAnchor.y);
        const TPoint m = PageToWidget(FMovePoint.x, FMovePoint.y);
        if (a.x == m.x || a.y == m.y || inputState_ == qfcConnect) {
            const TPoint line[] = {a, m};
            canvas->Polyline(line, 2);
        } else {
            const TPoint band[] = {a, {m.x, a.y}, m, {a.x, m.y}, a};
            canvas->Polyline(band, 5);
        }
    } catch (...) {
        pen->SetMode(mode);
        pen->SetColor(color);
        throw;
    }
    pen->SetMode(mode);
    pen->SetColor(color);
    const std::int64_t w = pen->Width() + 1;
    AddDamage(TRect{detail::PaintCoord(std::min(FAnchor.x, FMovePoint.x) - w),
                    detail::PaintCoord(std::min(FAnchor.y, FMovePoint.y) - w),
                    detail::PaintCoord(std::max(FAnchor.x, FMovePoint.x) + w + 1),
                    detail::PaintCoord(std::max(FAnchor.y, FMovePoint.y) + w + 1)});
}

clsBox* TQuorFlowChart::PressedBox(int x, int y) {
    // The ends of the selected line are grabbed also just past them, where
    // the line itself is not hit.
    clsBox* selected = SelectedBox();
    if (IsLineBox(selected)) {
        const InputStates part = LineMargin(*selected, x, y, resizeBorderWidth_);
        if (part == qfcResizeNW || part == qfcResizeSE) return selected;
    }
    return FindBoxAt(x, y);
}

void TQuorFlowChart::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    ViewToPage(x, y);
    if (multiSelect_ && !FBusy && SelectionMouseDown(button, shift, x, y)) {
        TPaintBox::MouseDown(button, shift, x, y);
        return;
    }
    if (!FBusy) {
        FAnchor = FMovePoint = TPoint{currentGraf_->AlignX(x), currentGraf_->AlignY(y)};
        if (inputState_ == qfcNothing) {
            if (button == mbLeft) {
                SetSelectedBox(shift.Contains(ssAlt) ? nullptr : PressedBox(x, y));
                inputState_ = SelectedBox() ? CheckBoxMargin(x, y) : qfcCreateBox;
                Selezione();
                RepaintEdit();
                // The box as it stands at the press, for the release.
                pressBox_ = IsFrameDrag(inputState_) ? SelectedBox() : nullptr;
                if (pressBox_) {
                    pressFrame_ = pressBox_->Frame;
                    AddBoxDamage(pressBox_);
                }
            } else if (button == mbRight) {
                if (SelectedBox()) inputState_ = connectBoxes_ ? qfcConnect : qfcNothing;
            } else {
                inputState_ = qfcNothing;
            }
        }
    }
    TPaintBox::MouseDown(button, shift, x, y);
}

void TQuorFlowChart::MouseMove(TShiftState shift, int x, int y) {
    ViewAutoScroll(x, y);
    ViewToPage(x, y);
    if (multiSelect_ && !FBusy && SelectionMouseMove(shift, x, y)) {
        TPaintBox::MouseMove(shift, x, y);
        return;
    }
    if (!FBusy) {
        SetCursor(crArrow);
        const int ax = currentGraf_->AlignX(x), ay = currentGraf_->AlignY(y);
        switch (inputState_) {
        case qfcNothing:
            if (selectOnMouseMove_) {
                if (clsBox* box = FindBoxAt(x, y)) SetSelectedBox(box);
            }
            if (const InputStates part = CheckBoxMargin(x, y);
                IsLineBox(SelectedBox()) && (part == qfcResizeNW || part == qfcResizeSE))
                SetCursor(crSizeAll);
            else
                SetCursor(CursorFor(part));
            break;
        case qfcCreateBox:
            FBusy = true;
            try {
                SetCursor(crCross);
                Selezione();
                FMovePoint = TPoint{ax, ay};
                Selezione();
            } catch (...) {
                FBusy = false;
                throw;
            }
            break;
        case qfcConnect:
            Selezione();
            FMovePoint = TPoint{ax, ay};
            Selezione();
            break;
        default:
            if (clsBox* box = SelectedBox()) {
                Selezione();
                const TRect f = box->Frame;
                const std::int64_t w = static_cast<std::int64_t>(f.Right) - f.Left;
                const std::int64_t h = static_cast<std::int64_t>(f.Bottom) - f.Top;
                const std::int64_t dx = static_cast<std::int64_t>(ax) - f.Left;
                const std::int64_t dy = static_cast<std::int64_t>(ay) - f.Top;
                // Each dragged edge follows the aligned pointer; the others stay.
                const bool lineEnd =
                    IsLineBox(box) && (inputState_ == qfcResizeNW || inputState_ == qfcResizeSE);
                if (lineEnd) DragLineEnd(*box, inputState_, ax, ay);
                switch (lineEnd ? qfcNothing : inputState_) {
                case qfcMoveBox:
                    box->SetFrame(
                        currentGraf_->AlignX(Narrow(static_cast<std::int64_t>(x) - FGrabOffset.x)),
                        currentGraf_->AlignY(Narrow(static_cast<std::int64_t>(y) - FGrabOffset.y)),
                        0, 0);
                    break;
                case qfcResizeNW:
                    box->SetFrame(ax, ay, -1, Narrow(h - dy));
                    break;
                case qfcResizeN:
                    box->SetFrame(f.Left, ay, 0, Narrow(h - dy));
                    break;
                case qfcResizeNE:
                    box->SetFrame(f.Left, ay, Narrow(dx), Narrow(h - dy));
                    break;
                case qfcResizeE:
                    box->SetFrame(f.Left, f.Top, Narrow(dx), -1);
                    break;
                case qfcResizeSE:
                    box->SetFrame(f.Left, f.Top, Narrow(dx), Narrow(dy));
                    break;
                case qfcResizeS:
                    box->SetFrame(f.Left, f.Top, -1, Narrow(dy));
                    break;
                case qfcResizeSW:
                    box->SetFrame(ax, f.Top, Narrow(w - dx), Narrow(dy));
                    break;
                case qfcResizeW:
                    box->SetFrame(ax, f.Top, Narrow(w - dx), Narrow(h));
                    break;
                default:
                    break;
                }
                ViewBoxMoved(box);
                FAnchor = TPoint{box->Frame.Left, box->Frame.Top};
                FMovePoint = TPoint{box->Frame.Right, box->Frame.Bottom};
                Selezione();
                // Wherever the box has been, the release repaints.
                AddBoxDamage(box);
            }
            break;
        }
        FBusy = false;
    }
    TPaintBox::MouseMove(shift, x, y);
}

bool TQuorFlowChart::FinishFrame(clsBox* box, bool bandPositive) {
    const bool changed = box->Frame != pressFrame_;
    // A line's frame holds its two end points in either order.
    if (!dynamic_cast<clsBoxLine*>(box)) {
        const TRect f = box->Frame;
        if (f.Left == f.Right || f.Top == f.Bottom) {
            // No width or height: no click could find it again.
            box->Frame = pressFrame_;
            return false;
        }
        if (f.Left > f.Right || f.Top > f.Bottom) {
            box->Frame = TRect{std::min(f.Left, f.Right), std::min(f.Top, f.Bottom),
                               std::max(f.Left, f.Right), std::max(f.Top, f.Bottom)};
            return true;
        }
    }
    return bandPositive || changed;
}

void TQuorFlowChart::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    ViewToPage(x, y);
    if (multiSelect_ && !FBusy && SelectionMouseUp(button, shift, x, y)) return;
    if (!FBusy) {
        clsBox* dragged = IsFrameDrag(inputState_) && SelectedBox() == pressBox_ ? pressBox_ : nullptr;
        if (readOnly_) {
            Selezione();
            inputState_ = qfcNothing;
            if (dragged) FinishFrame(dragged, false);
        } else if (Width() != 0) {
            const int x1 = currentGraf_->AlignX(FAnchor.x), y1 = currentGraf_->AlignY(FAnchor.y);
            const int x2 = currentGraf_->AlignX(FMovePoint.x), y2 = currentGraf_->AlignY(FMovePoint.y);
            if (inputState_ == qfcConnect) {
                // A release always ends a connection, also when the box it
                // started from has gone meanwhile.
                inputState_ = qfcNothing;
                clsBox* source = SelectedBox();
                clsBox* target = source ? FindBoxAt(x, y) : nullptr;
                if (target && target != source) {
                    source->AddLink(target);
                    ViewBoxMoved(source);
                    AddDamage(LinkPaintArea(*currentGraf_, *source, *target, 2));
                    Changed();
                }
            } else {
                const InputStates was = inputState_;
                inputState_ = qfcNothing;
                Selezione();
                const bool positive = x2 > x1 && y2 > y1;
                bool frameEvent = positive;
                if (dragged) {
                    frameEvent = FinishFrame(dragged, positive);
                    AddBoxDamage(dragged);
                }
                if (positive && was == qfcCreateBox) {
                    if (clsBox* made = CreateBox(clsString(), Rect(x1, y1, x2, y2), false)) {
                        AddBoxDamage(made);
                        Changed();
                    }
                }
                if (frameEvent && OnBoxFrameChanged && SelectedBox())
                    OnBoxFrameChanged(this, SelectedBox());
                if (dragged && dragged->Frame != pressFrame_) Changed();
            }
        }
        if (inputState_ == qfcNothing) {
            ViewDragEnded(pressBox_);
            pressBox_ = nullptr;
        }
    }
    RepaintEdit();
}

// What an edit repaints.

int TQuorFlowChart::FontPixelsOfGraf() const {
    // A box without a size of its own takes the one before it: the largest
    // size of the graph is the one any box may show.
    if (const int known = ViewFontPixels(); known > 0) return known;
    std::int64_t most = FontPixels(*Font());
    const std::int64_t ppi = Font()->PixelsPerInch();
    for (int i = 0; i < currentGraf_->GetCount(); ++i) {
        const clsBox* box = currentGraf_->GetValue(i);
        if (!box || box->FontSize == 0) continue;
        std::int64_t px = static_cast<std::int64_t>(box->FontSize) * ppi / 72;
        most = std::max(most, px < 0 ? -px : px);
    }
    return static_cast<int>(std::min<std::int64_t>(most, detail::PaintLimit));
}

TRect TQuorFlowChart::AreaOf(clsBox* box, int fontPixels) const {
    TRect area = BoxPaintArea(*box, fontPixels, 2);
    for (int i = 0; i < box->LinksOut.GetCount(); ++i)
        if (const clsBox* target = box->LinksOut.GetValue(i))
            area = AreaUnion(area, LinkPaintArea(*currentGraf_, *box, *target, 2));
    for (int i = 0; i < box->LinksIn.GetCount(); ++i)
        if (const clsBox* source = box->LinksIn.GetValue(i))
            area = AreaUnion(area, LinkPaintArea(*currentGraf_, *source, *box, 2));
    return area;
}

void TQuorFlowChart::AddDamage(const TRect& area) {
    damage_ = AreaUnion(damage_, area);
}

void TQuorFlowChart::AddBoxDamage(clsBox* box) {
    if (box) AddDamage(AreaOf(box, FontPixelsOfGraf()));
}

void TQuorFlowChart::RepaintEdit() {
    // The selection frames: where one was painted, where one is now.
    TRect area = AreaUnion(damage_, paintedSelection_);
    if (clsBox* selected = SelectedBox())
        area = AreaUnion(area, AreaOf(selected, FontPixelsOfGraf()));
    damage_ = TRect{};
    InvalidateRect(ViewArea(area));
}

} // namespace quorgrafica
