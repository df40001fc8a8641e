#pragma once
// TImage: shows a picture.

#include "platform/gui/GraphicControl.h"

#include <memory>

class TPicture;

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner = nullptr);
    ~TImage() override;
    QUOR_CLASS_NAME(TImage)

    TPicture* Picture() const { return picture_.get(); }
    // Stretch fills the control; Center centres an unstretched picture.
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);

protected:
    void Paint() override;

private:
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
};
