#pragma once
// TGraphicControl: a control that paints itself through a canvas. Painting
// goes to an image the size of the control, which the widget then shows, so
// that drawing outside Paint() (a rubber band while dragging) works as on the
// platform, and tests can read the pixels back without a display.

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
    // Paints the control now (when it needs it) and gives a copy of its image.
    QImage PaintToImage();

protected:
    // Draws the control on Canvas(); the base draws nothing.
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
