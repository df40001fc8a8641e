#include "platform/gui/Image.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
    picture_->SetOnChange([this] { Invalidate(); });
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
    picture_->SetOnChange(nullptr);
}

void TImage::SetStretch(bool stretch) {
    if (stretch == stretch_) return;
    stretch_ = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center) {
    if (center == center_) return;
    center_ = center;
    Invalidate();
}

void TImage::Paint() {
    TGraphic* graphic = picture_->Graphic();
    if (!graphic || graphic->Empty()) return;
    TCanvas* canvas = Canvas();
    if (stretch_) {
        canvas->StretchDraw(ClientRect(), graphic);
    } else if (center_) {
        canvas->Draw((Width() - graphic->Width()) / 2, (Height() - graphic->Height()) / 2, graphic);
    } else {
        canvas->Draw(0, 0, graphic);
    }
}
