#include "platform/gui/GraphicControl.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/gui/ControlWidget.h"
#include "platform/gui/WinControl.h"

#include <QImage>
#include <QPainter>

class TPaintBuffer {
public:
    QImage image;
    TCanvas canvas{&image};
    bool dirty = true;
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
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        ControlEvents::PaintGraphic(graphic_, painter);
    }

private:
    TGraphicControl* graphic_;
};

} // namespace

void ControlEvents::PaintGraphic(TGraphicControl* control, QPainter& painter) {
    control->PaintIfNeeded();
    TPaintBuffer& buffer = control->Buffer();
    buffer.canvas.EndPaint();
    painter.drawImage(0, 0, buffer.image);
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
    if (buffer_) buffer_->dirty = true;
    TControl::Invalidate();
}

void TGraphicControl::PaintIfNeeded() {
    TPaintBuffer& buffer = Buffer();
    if (!buffer.dirty || buffer.painting) return;
    buffer.dirty = false;
    // What is not painted shows the parent's colour, as if seen through.
    buffer.image.fill(ToQColor(Parent() ? Parent()->Color() : Color()));
    buffer.painting = true;
    try {
        Paint();
    } catch (...) {
        // Painting ends silently on error; the next invalidation tries again.
    }
    buffer.painting = false;
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
