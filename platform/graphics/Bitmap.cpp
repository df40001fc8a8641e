#include "platform/graphics/Bitmap.h"

#include "platform/core/Encoding.h"
#include "platform/graphics/GuiApplication.h"

#include <QPainter>

namespace {

QString FileNameToQString(const AnsiString& name) {
    return QString::fromStdU16String(Cp1252ToUtf16(name.view()));
}

int DotsPerMeter(int dpi) {
    return qRound(dpi / 0.0254);
}

QImage NewImage(int width, int height) {
    QImage image(width < 0 ? 0 : width, height < 0 ? 0 : height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(DotsPerMeter(96));
    image.setDotsPerMeterY(DotsPerMeter(96));
    return image;
}

// Painters cannot open on indexed or odd formats: keep one of the two
// formats every canvas operation supports.
QImage Paintable(const QImage& image) {
    if (image.isNull()) return image;
    QImage::Format f =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return image.format() == f ? image : image.convertToFormat(f);
}

} // namespace

TBitmap::TBitmap() : image_(NewImage(0, 0)) {}

TBitmap::TBitmap(int width, int height) : image_(NewImage(width, height)) {}

TBitmap::TBitmap(const QImage& image) : image_(Paintable(image)) {}

TBitmap::~TBitmap() {
    if (canvas_) canvas_->EndPaint();
}

void TBitmap::SetSize(int width, int height) {
    if (width == Width() && height == Height()) return;
    if (canvas_) canvas_->EndPaint();
    QImage resized = NewImage(width, height);
    resized.setDotsPerMeterX(image_.dotsPerMeterX());
    resized.setDotsPerMeterY(image_.dotsPerMeterY());
    if (!image_.isNull() && !resized.isNull() && image_.width() > 0 && image_.height() > 0) {
        QPainter p(&resized);
        p.drawImage(0, 0, image_);
    }
    image_ = resized;
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TCanvas>(&image_);
    return canvas_.get();
}

const QImage& TBitmap::Image() const {
    if (canvas_) canvas_->EndPaint();
    return image_;
}

void TBitmap::SetImage(const QImage& image) {
    if (canvas_) canvas_->EndPaint();
    image_ = Paintable(image);
}

void TBitmap::SetDpi(int dpiX, int dpiY) {
    if (canvas_) canvas_->EndPaint();
    image_.setDotsPerMeterX(DotsPerMeter(dpiX));
    image_.setDotsPerMeterY(DotsPerMeter(dpiY));
    if (canvas_) canvas_->SetDevice(&image_);
}

void TBitmap::LoadFromFile(const AnsiString& fileName) {
    EnsureGuiApplication();
    QImage loaded;
    if (!loaded.load(FileNameToQString(fileName)))
        throw EInvalidGraphic("Impossibile leggere l'immagine \"" + fileName + "\"");
    SetImage(loaded);
}

bool TBitmap::SaveToFile(const AnsiString& fileName) const {
    QString name = FileNameToQString(fileName);
    const char* format = nullptr;
    if (!name.contains('.')) format = "PNG";
    return Image().save(name, format);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
    if (!canvas || Empty()) return;
    QPainter* p = canvas->Painter();
    if (!p) return;
    const QImage& image = Image();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top), image);
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
    return std::make_unique<TBitmap>(Image());
}
