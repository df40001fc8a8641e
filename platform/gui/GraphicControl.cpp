#include "platform/gui/GraphicControl.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/gui/ControlWidget.h"
#include "platform/gui/WinControl.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

class TPaintBuffer {
public:
    QImage image;
    TCanvas canvas{&image};
    // The whole image needs painting; else damage is the part that does.
    bool dirty = true;
    QRect damage;
    bool painting = false;
};

namespace {

class GraphicWidget : public TControlWidget<QWidget> {
public:
    GraphicWidget(TGraphicControl* control, QWidget* parent)
        : TControlWidget<QWidget>(control, parent), graphic_(control) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        ControlEvents::PaintGraphic(graphic_, painter, event->rect());
    }

private:
    TGraphicControl* graphic_;
};

} // namespace

void ControlEvents::PaintGraphic(TGraphicControl* control, QPainter& painter, const QRect& area) {
    control->PaintIfNeeded();
    TPaintBuffer& buffer = control->Buffer();
    buffer.canvas.EndPaint();
    painter.drawImage(area, buffer.image, area);
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() {
    // The widget paints from the buffer: let it go first.
    DestroyWidget();
}

TPaintBuffer& TGraphicControl::Buffer() {
    if (!buffer_) buffer_ = std::make_unique<TPaintBuffer>();
    const QSize size(std::max(1, Width()), std::max(1, Height()));
    if (buffer_->image.size() != size && !buffer_->painting) {
        buffer_->canvas.EndPaint();
        buffer_->image = QImage(size, QImage::Format_RGB32);
        buffer_->dirty = true;
    }
    return *buffer_;
}

TCanvas* TGraphicControl::Canvas() {
    TPaintBuffer& buffer = Buffer();
    // Drawing outside Paint() shows without a repaint.
    if (!buffer.painting) BufferChanged();
    return &buffer.canvas;
}

void TGraphicControl::BufferChanged() {
    if (QWidget* w = ExistingWidget()) w->update();
}

void TGraphicControl::Invalidate() {
    if (buffer_) {
        buffer_->dirty = true;
        buffer_->damage = QRect();
    }
    TControl::Invalidate();
}

void TGraphicControl::InvalidateRect(const TRect& rect) {
    const QRect area = QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1))
                           .intersected(QRect(0, 0, Width(), Height()));
    if (area.isEmpty()) return;
    if (buffer_ && !buffer_->dirty) buffer_->damage |= area;
    if (QWidget* w = ExistingWidget()) w->update(area);
}

void TGraphicControl::PaintIfNeeded() {
    TPaintBuffer& buffer = Buffer();
    if (buffer.painting || (!buffer.dirty && buffer.damage.isEmpty())) return;
    const QRect whole = buffer.image.rect();
    const QRect area = buffer.dirty ? whole : buffer.damage.intersected(whole);
    const bool partial = area != whole;
    buffer.dirty = false;
    buffer.damage = QRect();
    // What is not painted shows the parent's colour, as if seen through.
    const QColor background = ToQColor(Parent() ? Parent()->Color() : Color());
    if (partial) {
        buffer.canvas.SetClipRect(TRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
        buffer.canvas.Painter()->fillRect(area, background);
    } else {
        buffer.canvas.EndPaint();
        buffer.image.fill(background);
    }
    buffer.painting = true;
    try {
        Paint();
    } catch (...) {
        // Painting ends silently on error; the next invalidation tries again.
    }
    buffer.painting = false;
    if (partial) buffer.canvas.ResetClipRect();
    buffer.canvas.EndPaint();
}

QImage TGraphicControl::PaintToImage() {
    PaintIfNeeded();
    TPaintBuffer& buffer = Buffer();
    buffer.canvas.EndPaint();
    return buffer.image.copy();
}

void TGraphicControl::Paint() {}

QWidget* TGraphicControl::CreateWidget(QWidget* parent) {
    return new GraphicWidget(this, parent);
}
