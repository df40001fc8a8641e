#include "platform/gui/WinControl.h"

#include "platform/gui/ControlWidget.h"

#include <algorithm>

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    DestroyWidget();
    // Children outlive the link: they are owned elsewhere.
    for (TControl* child : children_)
        child->parent_ = nullptr;
    children_.clear();
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) return nullptr;
    return children_[static_cast<size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::InsertChild(TControl* child) {
    children_.push_back(child);
    ChildAdded(child);
    if (child->Align() != alNone) AlignControls();
}

void TWinControl::RemoveChild(TControl* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return;
    children_.erase(it);
    ChildRemoved(child);
    if (child->Align() != alNone) AlignControls();
}

void TWinControl::ChildAdded(TControl*) {}
void TWinControl::ChildRemoved(TControl*) {}
void TWinControl::ChildWidgetCreated(TControl*, QWidget*) {}

QWidget* TWinControl::ChildParentWidget() {
    return Widget();
}

void TWinControl::AlignControls() {
    if (aligning_) return;
    aligning_ = true;
    TRect r = ClientRect();
    auto placed = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : children_)
            if (c->Visible() && c->Align() == align) list.push_back(c);
        // Controls of one side keep the order of their current positions.
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop:
                return a->Top() < b->Top();
            case alBottom:
                return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft:
                return a->Left() < b->Left();
            case alRight:
                return a->Left() + a->Width() > b->Left() + b->Width();
            default:
                return false;
            }
        });
        return list;
    };
    try {
        for (TControl* c : placed(alTop)) {
            c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
            r.Top += c->Height();
        }
        for (TControl* c : placed(alBottom)) {
            c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
            r.Bottom -= c->Height();
        }
        for (TControl* c : placed(alLeft)) {
            c->SetBounds(r.Left, r.Top, c->Width(), std::max(0, r.Height()));
            r.Left += c->Width();
        }
        for (TControl* c : placed(alRight)) {
            c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), std::max(0, r.Height()));
            r.Right -= c->Width();
        }
        for (TControl* c : placed(alClient))
            c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

QWidget* TWinControl::CreateWidget(QWidget* parent) {
    return new TControlWidget<QWidget>(this, parent);
}

void TWinControl::InitWidget(QWidget* widget) {
    widget->setAutoFillBackground(true);
    TControl::InitWidget(widget);
    for (TControl* child : children_)
        child->Widget();
}

void TWinControl::DestroyWidget() {
    for (TControl* child : children_)
        child->DestroyWidget();
    TControl::DestroyWidget();
}

void TWinControl::Resize() {
    AlignControls();
    TControl::Resize();
}

void TWinControl::SetFocus() {
    if (QWidget* w = Widget()) w->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
    return ExistingWidget() && ExistingWidget()->hasFocus();
}

void TWinControl::KeyDown(unsigned short& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(unsigned short& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}
