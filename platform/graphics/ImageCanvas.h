#pragma once
// A canvas over a white image of a given size, saved as PNG (or any format
// named by the file's extension).

#include "platform/graphics/Canvas.h"

#include <QImage>

class TImageCanvas : public TCanvas {
public:
    QUOR_CLASS_NAME(TImageCanvas)
    TImageCanvas(int width, int height, int dpi = 96);
    ~TImageCanvas() override;
    bool SaveToFile(const AnsiString& fileName);
    // The pixels, with drawing so far finished.
    const QImage& Image();

private:
    QImage image_;
};
