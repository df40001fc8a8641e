#pragma once
// TPaintBox: a canvas area whose painting is left to OnPaint or to a subclass.

#include "platform/gui/GraphicControl.h"

class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TPaintBox)

    TNotifyEvent OnPaint;

protected:
    // Raises OnPaint.
    void Paint() override;
};
