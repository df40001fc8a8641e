#include "platform/graphics/Picture.h"

#include "platform/graphics/Bitmap.h"

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::LoadFromFile(const AnsiString& fileName) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromFile(fileName);
    graphic_ = std::move(bitmap);
    Changed();
}

bool TPicture::SaveToFile(const AnsiString& fileName) const {
    auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
    return bitmap && bitmap->SaveToFile(fileName);
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    graphic_ = graphic ? graphic->Clone() : nullptr;
    Changed();
}

TBitmap* TPicture::Bitmap() {
    auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
    if (!bitmap) {
        graphic_ = std::make_unique<TBitmap>();
        bitmap = static_cast<TBitmap*>(graphic_.get());
        Changed();
    }
    return bitmap;
}

void TPicture::Assign(const TPicture* other) {
    if (other == this) return;
    SetGraphic(other ? other->Graphic() : nullptr);
}

int TPicture::Width() const {
    return graphic_ ? graphic_->Width() : 0;
}
int TPicture::Height() const {
    return graphic_ ? graphic_->Height() : 0;
}

void TPicture::Changed() {
    if (onChange_) onChange_();
}
