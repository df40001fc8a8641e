#include "platform/gui/Control.h"

#include "platform/core/Application.h"
#include "platform/core/Exception.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/gui/ControlWidget.h"
#include "platform/gui/WinControl.h"

#include <QPalette>

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->SetOnChange([this] { FontObjectChanged(); });
}

void TControl::FontObjectChanged() {
    if (!adoptingFont_) parentFont_ = false;
    FontChanged();
    if (auto* container = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < container->ControlCount(); ++i)
            container->Controls(i)->AdoptParentFont();
}

void TControl::AdoptParentFont() {
    if (!parentFont_ || !parent_) return;
    adoptingFont_ = true;
    try {
        font_->Assign(*parent_->Font());
    } catch (...) {
        adoptingFont_ = false;
        throw;
    }
    adoptingFont_ = false;
}

void TControl::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    AdoptParentFont();
}

TControl::~TControl() {
    CancelDrag();
    SetPopupMenu(nullptr);
    // A container has already dropped its children's widgets and our link.
    DestroyWidget();
    if (parent_) parent_->RemoveChild(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    for (TWinControl* p = parent; p; p = p->Parent())
        if (p == this) throw Exception("Un controllo non pu\xF2 contenere se stesso: " + Name());
    DestroyWidget();
    if (parent_) parent_->RemoveChild(this);
    parent_ = parent;
    if (parent_) {
        parent_->InsertChild(this);
        AdoptParentFont();
        // Join a window that is already on screen.
        if (parent_->HandleAllocated()) Widget();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    const bool resized = width != width_ || height != height_;
    if (!resized && left == left_ && top == top_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ApplyGeometry();
    if (resized) Resize();
    RequestRealign();
}

void TControl::BoundsFromWidget(int left, int top, int width, int height) {
    const bool resized = width != width_ || height != height_;
    if (!resized && left == left_ && top == top_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) Resize();
}

void TControl::ApplyGeometry() {
    if (!widget_ || GeometryManagedByParent()) return;
    const QRect wanted(left_, top_, width_, height_);
    if (widget_->isWindow()) {
        if (widget_->size() != wanted.size()) widget_->resize(wanted.size());
        if (widget_->pos() != wanted.topLeft()) widget_->move(wanted.topLeft());
    } else if (widget_->geometry() != wanted) {
        widget_->setGeometry(wanted);
    }
}

void TControl::RequestRealign() {
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    const bool wasAligned = align_ != alNone;
    align_ = align;
    if (parent_ && (wasAligned || align_ != alNone)) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (widget_) widget_->setVisible(visible);
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (widget_) widget_->setEnabled(enabled);
}

void TControl::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

void TControl::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    if (!widget_) return;
    if (cursor_ == crDefault)
        widget_->unsetCursor();
    else
        widget_->setCursor(ToQtCursor(cursor_));
}

void TControl::FontChanged() {
    if (!widget_) return;
    widget_->setFont(font_->ToQFont());
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(font_->Color()));
    palette.setColor(QPalette::ButtonText, ToQColor(font_->Color()));
    palette.setColor(QPalette::Text, ToQColor(font_->Color()));
    widget_->setPalette(palette);
    Invalidate();
}

void TControl::ColorChanged() {
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, ToQColor(color_));
    palette.setColor(QPalette::Base, ToQColor(color_));
    widget_->setPalette(palette);
    Invalidate();
}

void TControl::Invalidate() {
    if (widget_) widget_->update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Update() {
    if (widget_) widget_->repaint();
}

QWidget* TControl::Widget() {
    if (widget_) return widget_;
    QWidget* parentWidget = parent_ ? parent_->ChildParentWidget() : nullptr;
    // Making the parent's widget makes its children's, this one's included.
    if (widget_) return widget_;
    QWidget* widget = CreateWidget(parentWidget);
    widget_ = widget;
    QObject::connect(widget, &QObject::destroyed, [this] { ControlEvents::WidgetDestroyed(this); });
    InitWidget(widget);
    if (parent_) parent_->ChildWidgetCreated(this, widget);
    return widget_;
}

QWidget* TControl::CreateWidget(QWidget* parent) {
    return new TControlWidget<QWidget>(this, parent);
}

void TControl::InitWidget(QWidget* widget) {
    widget->setObjectName(ToQString(Name()));
    ApplyGeometry();
    widget->setEnabled(enabled_);
    if (!widget->isWindow() && !visible_) widget->setVisible(false);
    // Qt leaves a child made after its parent was shown hidden.
    if (!widget->isWindow() && visible_ && widget->parentWidget() &&
        widget->parentWidget()->isVisible())
        widget->show();
    if (cursor_ != crDefault) widget->setCursor(ToQtCursor(cursor_));
    FontChanged();
    ColorChanged();
}

void TControl::DestroyWidget() {
    if (!widget_) return;
    QWidget* widget = widget_;
    widget_ = nullptr;
    widget->disconnect();
    delete widget;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}
