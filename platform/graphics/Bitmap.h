#pragma once
// TBitmap: an in-memory raster image with its own canvas.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

#include <QImage>

class TBitmap : public TGraphic {
public:
    QUOR_CLASS_NAME(TBitmap)
    TBitmap();
    // New pixels are white.
    TBitmap(int width, int height);
    explicit TBitmap(const QImage& image);
    ~TBitmap() override;

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    // Keeps the pixels that still fit; new pixels are white.
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    void SetSize(int width, int height);

    // Its canvas; font resolution follows the image's.
    TCanvas* Canvas();
    // The pixels, with any drawing in progress finished.
    const QImage& Image() const;
    void SetImage(const QImage& image);
    // Resolution in dots per inch, 96 by default.
    void SetDpi(int dpiX, int dpiY);

    // PNG, JPEG or BMP by the file name's extension (PNG otherwise).
    void LoadFromFile(const AnsiString& fileName);
    bool SaveToFile(const AnsiString& fileName) const;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    std::unique_ptr<TGraphic> Clone() const override;

private:
    QImage image_;
    std::unique_ptr<TCanvas> canvas_;
};
