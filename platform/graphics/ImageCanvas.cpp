#include "platform/graphics/ImageCanvas.h"

#include "platform/core/Encoding.h"

TImageCanvas::TImageCanvas(int width, int height, int dpi)
    : image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    image_.setDotsPerMeterX(qRound(dpi / 0.0254));
    image_.setDotsPerMeterY(qRound(dpi / 0.0254));
    SetDevice(&image_);
}

TImageCanvas::~TImageCanvas() {
    EndPaint();
}

const QImage& TImageCanvas::Image() {
    EndPaint();
    return image_;
}

bool TImageCanvas::SaveToFile(const AnsiString& fileName) {
    QString name = QString::fromStdU16String(Cp1252ToUtf16(fileName.view()));
    return Image().save(name, name.contains('.') ? nullptr : "PNG");
}
