// The flowchart component: properties, navigation through the tree of
// graphs, drawing and the operations on the current graph. The mouse
// editing is in QuorFlowChartMouse.cpp.

#include "quorgrafica/QuorFlowChart.h"

#include "platform/core/Palette.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Picture.h"
#include "platform/gui/Image.h"
#include "platform/gui/Label.h"
#include "quorgrafica/ChartSelection.h"
#include "quorgrafica/ChartView.h"
#include "quorgrafica/PaintArea.h"

#include <algorithm>
#include <memory>

namespace quorgrafica {

using quorbase::clsString;

namespace {

constexpr const char* StateNames[] = {
    "qfcNothing", "qfcCreateBox", "qfcMoveBox",  "qfcResizeNW", "qfcResizeN",  "qfcResizeNE",
    "qfcResizeE", "qfcResizeSE",  "qfcResizeS", "qfcResizeSW", "qfcResizeW", "qfcConnect", "qfcSelectBand"};

// Clears a flag when the scope ends, however it ends.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};

TRect Normalised(const TRect& r) {
    return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom)};
}

} // namespace

const char* InputStateName(InputStates state) {
    const int i = static_cast<int>(state);
    return i >= 0 && i <= qfcSelectBand ? StateNames[i] : "";
}

TQuorFlowChart::TQuorFlowChart(TComponent* owner)
    : TPaintBox(owner), view_(std::make_unique<ChartViewState>()),
      selection_(std::make_unique<ChartSelection>()) {
    rootGraf_ = new clsGraf(nullptr);
    currentGraf_ = rootGraf_;
    RegisterBoxKinds();
}

TQuorFlowChart::~TQuorFlowChart() {
    if (currentGraf_) currentGraf_->OnDestroy = nullptr;
    currentGraf_ = nullptr;
    delete rootGraf_;
    rootGraf_ = nullptr;
}

// Properties.

void TQuorFlowChart::SetGridShow(bool value) {
    if (value == gridShow_) return;
    gridShow_ = value;
    currentGraf_->GridShow = value;
    Invalidate();
}

void TQuorFlowChart::SetGridAlignTo(bool value) {
    if (value == gridAlignTo_) return;
    gridAlignTo_ = value;
    currentGraf_->GridAlign = value;
}

void TQuorFlowChart::SetGridColor(TColor value) {
    if (value == gridColor_) return;
    gridColor_ = value;
    currentGraf_->GridColor = value;
    Invalidate();
}

void TQuorFlowChart::SetLabel(TLabel* label) {
    if (label == label_) return;
    if (label_) RemoveFreeNotification(label_);
    label_ = label;
    if (label_) FreeNotification(label_);
    SetLabelCaption();
}

void TQuorFlowChart::SetImage(TImage* image) {
    if (image == image_) return;
    if (image_) RemoveFreeNotification(image_);
    image_ = image;
    if (image_) FreeNotification(image_);
    RePaint();
}

void TQuorFlowChart::Notification(TComponent* component, TOperation operation) {
    TPaintBox::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == label_) label_ = nullptr;
    if (component == image_) {
        image_ = nullptr;
        Invalidate();
    }
}

void TQuorFlowChart::SetRepainting(int& field, int value) {
    if (value == field) return;
    field = value;
    Invalidate();
}

void TQuorFlowChart::SetRepainting(bool& field, bool value) {
    if (value == field) return;
    field = value;
    Invalidate();
}

void TQuorFlowChart::SetPreviewTop(int value) {
    SetRepainting(previewTop_, value);
}
void TQuorFlowChart::SetPreviewLeft(int value) {
    SetRepainting(previewLeft_, value);
}
void TQuorFlowChart::SetPreviewWidth(int value) {
    SetRepainting(previewWidth_, value);
}
void TQuorFlowChart::SetPreviewHeight(int value) {
    SetRepainting(previewHeight_, value);
}
void TQuorFlowChart::SetGridChar(bool value) {
    SetRepainting(gridChar_, value);
}
void TQuorFlowChart::SetShowBoxName(bool value) {
    SetRepainting(showBoxName_, value);
}
void TQuorFlowChart::SetShowBoxText(bool value) {
    SetRepainting(showBoxText_, value);
}
void TQuorFlowChart::SetDrawFlags(bool value) {
    SetRepainting(drawFlags_, value);
}
void TQuorFlowChart::SetImageLeft(int value) {
    SetRepainting(imageLeft_, value);
}
void TQuorFlowChart::SetImageRight(int value) {
    SetRepainting(imageRight_, value);
}
void TQuorFlowChart::SetImageTop(int value) {
    SetRepainting(imageTop_, value);
}
void TQuorFlowChart::SetImageBottom(int value) {
    SetRepainting(imageBottom_, value);
}
void TQuorFlowChart::SetGridHorizontalChars(int value) {
    SetRepainting(gridHorizontalChars_, value);
}
void TQuorFlowChart::SetGridVerticalChars(int value) {
    SetRepainting(gridVerticalChars_, value);
}

// Navigation.

void TQuorFlowChart::Show(clsGraf* graf) {
    if (graf != currentGraf_) {
        currentGraf_->OnDestroy = nullptr;
        currentGraf_ = graf;
        // A graph that goes away while shown gives way to the root.
        if (graf != rootGraf_) {
            graf->OnDestroy = [this](clsGraf*) {
                currentGraf_ = rootGraf_;
                inputState_ = qfcNothing;
                pressBox_ = nullptr;
                SetLabelCaption();
                Invalidate();
            };
        }
        pressBox_ = nullptr;
    }
    SetLabelCaption();
    Invalidate();
}

void TQuorFlowChart::SetCurrentGraf(clsGraf* graf) {
    if (!graf) return;
    clsGraf* top = graf;
    while (top && top->Owner)
        top = top->Owner->OwnerGraf;
    if (top == rootGraf_) Show(graf);
}

void TQuorFlowChart::PreviousGraf() {
    clsBox* owner = currentGraf_->Owner;
    Show(owner && owner->OwnerGraf ? owner->OwnerGraf : rootGraf_);
}

AnsiString TQuorFlowChart::GetLabelCaption() const {
    std::string path;
    const clsGraf* graf = currentGraf_;
    while (graf && graf->Owner) {
        const clsString& name = graf->Owner->Name;
        path.insert(0, std::string(name.CStr() ? name.CStr() : "",
                                   static_cast<std::size_t>(name.Length())) +
                           " : ");
        graf = graf->Owner->OwnerGraf;
    }
    return AnsiString("Main : " + path);
}

void TQuorFlowChart::SetLabelCaption() {
    if (label_) label_->SetCaption(GetLabelCaption());
}

// Selection and clicks.

clsBox* TQuorFlowChart::SelectedBox() const {
    return currentGraf_ ? currentGraf_->Selected : nullptr;
}

void TQuorFlowChart::SetSelectedBox(clsBox* box) {
    if (box == currentGraf_->Selected) return;
    currentGraf_->Selected = box;
    if (!selection_->keep) selection_->Forget();
    BoxSelected(box);
}

void TQuorFlowChart::BoxSelected(clsBox*) {}

void TQuorFlowChart::Click() {
    if (clsBox* box = SelectedBox(); box && OnBoxClick) OnBoxClick(this, box);
}

void TQuorFlowChart::DblClick() {
    if (clsBox* box = SelectedBox()) {
        auto* group = dynamic_cast<clsBoxGroup*>(box);
        if (group && group->Graf) Show(group->Graf);
        if (OnBoxDblClick) OnBoxDblClick(this, box);
    } else {
        PreviousGraf();
    }
    SetLabelCaption();
    Invalidate();
}

// Drawing.

void TQuorFlowChart::Paint() {
    // Asked to paint while a drawing runs: paint once it is over.
    if (FBusy) {
        Invalidate();
        return;
    }
    RePaint();
    if (multiSelect_) PaintSelection();
}

void TQuorFlowChart::RePaint() {
    DrawOn(Canvas());
}

void TQuorFlowChart::DrawOn(TCanvas* canvas) {
    if (FBusy || !canvas) return;
    FlagGuard busy(FBusy);
    // Only the component's own canvas shows the view; an export or a print
    // draws the page as it is.
    const bool viewed = view_->on && canvas == Canvas();
    if (viewed) ViewPrepare();
    ViewTransform transform(viewed ? canvas : nullptr, *view_);
    TGraphic* background = image_ ? image_->Picture()->Graphic() : nullptr;
    if (image_) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(0xFFFFFF);
        canvas->FillRect(viewed ? ViewPageArea() : Rect(0, 0, Width(), Height()));
    }
    canvas->Font()->Assign(*Font());
    if (image_)
        canvas->StretchDraw(Rect(imageLeft_, imageTop_, imageRight_, imageBottom_), background);
    if (viewed) {
        ViewSetPage();
        ViewDraw(canvas);
    } else {
        currentGraf_->SetPage(Width(), Height(), gridHorizontalChars_, gridVerticalChars_);
        currentGraf_->Draw(canvas, image_ == nullptr, showBoxName_, showBoxText_, drawFlags_);
    }
    // Where the selection frame now shows on the component: a partial
    // repaint leaves the frames painted before where they were.
    if (canvas == Canvas()) {
        const TRect selected = currentGraf_->Selected
                                   ? AreaOf(currentGraf_->Selected, FontPixelsOfGraf())
                                   : TRect{};
        const TRect clip = canvas->ClipRect();
        const bool whole = clip.Left <= 0 && clip.Top <= 0 && clip.Right >= Width() &&
                           clip.Bottom >= Height();
        paintedSelection_ = whole ? selected : AreaUnion(paintedSelection_, selected);
    }
    // The preview stands over the view, unscrolled.
    transform.End();
    if (currentGraf_->Owner) DrawPreview(canvas);
}

void TQuorFlowChart::DrawPreview(TCanvas* reference) {
    clsGraf* parent = currentGraf_->Owner->OwnerGraf;
    TCanvas* own = Canvas();
    const TRect target = Rect(previewLeft_, previewTop_, previewWidth_, previewHeight_);
    if (parent) parent->SetPage(parent->MaxRight(), parent->MaxBottom(), gridHorizontalChars_,
                                gridVerticalChars_);
    // A preview that cannot show leaves the recording out.
    const TRect shown = Normalised(target);
    if (own->KeepsOnlyClipRect() && !AreasMeet(shown, own->ClipRect())) return;
    auto metafile = std::make_unique<TMetafile>();
    {
        auto recording = std::make_unique<TMetafileCanvas>(metafile.get(), reference);
        if (parent)
            parent->Draw(recording.get(), image_ == nullptr, showBoxName_, showBoxText_,
                         drawFlags_);
    }
    own->StretchDraw(target, metafile.get());
}

// Operations on the current graph.

clsBox* TQuorFlowChart::GetBox(const clsString& name) {
    return currentGraf_->GetBox(name);
}

clsBox* TQuorFlowChart::FindBoxAt(int x, int y) {
    if (ChartIndex* index = ViewIndex()) return index->FindBoxAt(*currentGraf_, x, y);
    return currentGraf_->FindBoxAt(x, y);
}

void TQuorFlowChart::Invalidate() {
    if (view_) view_->index.Drop();
    TPaintBox::Invalidate();
}

void TQuorFlowChart::Changed() {
    if (OnChange) OnChange(this);
}

void TQuorFlowChart::RemoveBox() {
    clsBox* box = SelectedBox();
    if (!box) return;
    bool cancel = false;
    if (OnRemoveBox) OnRemoveBox(this, box, cancel);
    if (cancel) return;
    // The handler may have changed the selection or removed the box itself.
    if (box == pressBox_) pressBox_ = nullptr;
    const clsString name = box->Name;
    currentGraf_->RemoveBox(name);
    Invalidate();
    Changed();
}

void TQuorFlowChart::ClearBoxes() {
    pressBox_ = nullptr;
    currentGraf_->Clear();
    Invalidate();
    Changed();
}

bool TQuorFlowChart::Compute(const clsString& name, bool backwards, bool reset) {
    const bool ok = currentGraf_->Compute(name, backwards, reset);
    Invalidate();
    return ok;
}

int TQuorFlowChart::GetScripts(const clsString& kindName,
                               quorbase::clsCollection<quorbase::clsStrings>& scripts) {
    return currentGraf_ ? currentGraf_->GetScripts(kindName, scripts) : 0;
}

int TQuorFlowChart::GetNames(const clsString& kindName, quorbase::clsCStrings& list) {
    return currentGraf_ ? currentGraf_->GetNames(kindName, list) : 0;
}

void TQuorFlowChart::DataTo(quorbase::clsConfig& lines) {
    currentGraf_->DataTo(lines);
}

void TQuorFlowChart::DataFrom(const quorbase::clsConfig& lines) {
    pressBox_ = nullptr;
    currentGraf_->DataFrom(lines);
    Invalidate();
    Changed();
}

int TQuorFlowChart::X2Chars(int x) const {
    return currentGraf_->X2Chars(x);
}
int TQuorFlowChart::Y2Chars(int y) const {
    return currentGraf_->Y2Chars(y);
}
int TQuorFlowChart::Chars2X(int column) const {
    return currentGraf_->Chars2X(column);
}
int TQuorFlowChart::Chars2Y(int row) const {
    return currentGraf_->Chars2Y(row);
}

void TQuorFlowChart::AllineaXY(int& x, int& y) const {
    x = currentGraf_->AlignX(x);
    y = currentGraf_->AlignY(y);
}

void TQuorFlowChart::SetUnlockAll(bool value) {
    currentGraf_->UnlockAll = value;
}

bool TQuorFlowChart::GetUnlockAll() const {
    return currentGraf_->UnlockAll;
}

void Register() {
    RegisterComponent<TQuorFlowChart>("QuorGrafica", "TQuorFlowChart");
}

} // namespace quorgrafica
