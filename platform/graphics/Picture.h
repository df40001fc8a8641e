#pragma once
// TPicture: holds one graphic (bitmap or metafile), loaded from a file or
// assigned.

#include "platform/graphics/Graphic.h"

#include <functional>
#include <memory>

class TBitmap;

class TPicture : public TObject {
public:
    QUOR_CLASS_NAME(TPicture)
    TPicture();
    ~TPicture() override;

    // PNG, JPEG or BMP; EInvalidGraphic naming the file when it cannot be read.
    // On failure the picture keeps its previous graphic.
    void LoadFromFile(const AnsiString& fileName);
    bool SaveToFile(const AnsiString& fileName) const;

    // Null when empty.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Takes a copy of graphic (null empties the picture).
    void SetGraphic(const TGraphic* graphic);
    // The graphic as a bitmap, replacing any other kind with an empty bitmap.
    TBitmap* Bitmap();
    void Assign(const TPicture* other);

    int Width() const;
    int Height() const;

    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

private:
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
    std::function<void()> onChange_;
};
