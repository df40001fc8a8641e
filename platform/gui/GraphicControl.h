#pragma once
// TGraphicControl: a control that paints itself through a canvas. Painting
// goes to an image the size of the control, which the widget then shows. The
// image keeps whatever is drawn on it, as a window's surface does: drawing
// outside Paint() (a rubber band while dragging) stays until the next paint
// covers it, and tests can read the pixels back without a display.

#include "platform/gui/Control.h"

#include <memory>

class QImage;
class TCanvas;
class TPaintBuffer;

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner = nullptr);
    ~TGraphicControl() override;
    QUOR_CLASS_NAME(TGraphicControl)

    // The canvas of the control's image: inside Paint() the one being painted,
    // outside it draws over what was painted last and shows at once.
    TCanvas* Canvas();

    void Invalidate() override;
    // Schedules a repaint of part of the control only (control coordinates).
    // Until the whole control is invalidated, the next paint clips Canvas()
    // to the union of such parts and erases only them.
    void InvalidateRect(const TRect& rect);
    // Paints the control now (when it needs it) and gives a copy of its image.
    QImage PaintToImage();

protected:
    // Draws the control on Canvas(). On a partial repaint the canvas is
    // clipped to the damaged area (Canvas()->ClipRect()), and drawing that
    // lies wholly outside it may be skipped. The base draws nothing.
    virtual void Paint();
    QWidget* CreateWidget(QWidget* parent) override;

private:
    friend struct ControlEvents;
    TPaintBuffer& Buffer();
    // Brings the image up to date: runs Paint() when invalidated or resized.
    void PaintIfNeeded();
    void BufferChanged();

    std::unique_ptr<TPaintBuffer> buffer_;
};
