#include "platform/gui/ImgList.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"

#include <QPainter>

#include <algorithm>

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() {
    // Controls drop their reference; a handler may unregister itself.
    for (auto& client : std::vector(clients_))
        client.second(true);
}

void TCustomImageList::SetWidth(int width) {
    width = std::max(1, width);
    if (width == width_) return;
    width_ = width;
    images_.clear();
    Changed();
}

void TCustomImageList::SetHeight(int height) {
    height = std::max(1, height);
    if (height == height_) return;
    height_ = height;
    images_.clear();
    Changed();
}

QImage TCustomImageList::Fit(const QImage& image) const {
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.width() == width_ && argb.height() == height_) return argb;
    return argb.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int TCustomImageList::AddImage(const QImage& image) {
    images_.push_back(Fit(image));
    Changed();
    return Count() - 1;
}

int TCustomImageList::Add(const TBitmap* image, const TBitmap* mask) {
    QImage picture = image ? image->Image().convertToFormat(QImage::Format_ARGB32) : QImage();
    if (picture.isNull()) picture = QImage(width_, height_, QImage::Format_ARGB32);
    if (mask) {
        const QImage m = mask->Image().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < std::min(picture.height(), m.height()); ++y)
            for (int x = 0; x < std::min(picture.width(), m.width()); ++x)
                if ((m.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) picture.setPixel(x, y, 0);
    }
    return AddImage(picture);
}

int TCustomImageList::AddMasked(const TBitmap* image, TColor transparent) {
    QImage picture = image ? image->Image().convertToFormat(QImage::Format_ARGB32) : QImage();
    if (picture.isNull()) return AddImage(QImage(width_, height_, QImage::Format_ARGB32));
    const QRgb key = ToQColor(transparent).rgb() & 0xFFFFFF;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) == key) picture.setPixel(x, y, 0);
    return AddImage(picture);
}

int TCustomImageList::AddFromFile(const AnsiString& fileName) {
    TBitmap bitmap;
    bitmap.LoadFromFile(fileName);
    return Add(&bitmap);
}

void TCustomImageList::Replace(int index, const TBitmap* image) {
    if (index < 0 || index >= Count() || !image) return;
    images_[static_cast<size_t>(index)] = Fit(image->Image());
    Changed();
}

void TCustomImageList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    images_.erase(images_.begin() + index);
    Changed();
}

void TCustomImageList::Clear() {
    if (images_.empty()) return;
    images_.clear();
    Changed();
}

QImage TCustomImageList::Image(int index) const {
    if (index < 0 || index >= Count()) return QImage();
    return images_[static_cast<size_t>(index)];
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) const {
    if (!image || index < 0 || index >= Count()) return false;
    image->SetImage(images_[static_cast<size_t>(index)]);
    return true;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
    if (!canvas || index < 0 || index >= Count()) return;
    QPainter* painter = canvas->Painter();
    if (!painter) return;
    const QImage& picture = images_[static_cast<size_t>(index)];
    if (enabled) {
        painter->drawImage(x, y, picture);
        return;
    }
    // Disabled: the picture in grey.
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int py = 0; py < grey.height(); ++py)
        for (int px = 0; px < grey.width(); ++px) {
            const QRgb p = grey.pixel(px, py);
            const int g = qGray(p);
            grey.setPixel(px, py, qRgba(g, g, g, qAlpha(p)));
        }
    painter->drawImage(x, y, grey);
}

void TCustomImageList::RegisterChanges(const void* client, TChangeHandler handler) {
    UnRegisterChanges(client);
    clients_.emplace_back(client, std::move(handler));
}

void TCustomImageList::UnRegisterChanges(const void* client) {
    clients_.erase(std::remove_if(clients_.begin(), clients_.end(),
                                  [client](const auto& c) { return c.first == client; }),
                   clients_.end());
}

void TCustomImageList::Changed() {
    for (auto& client : std::vector(clients_))
        client.second(false);
    if (OnChange) OnChange(this);
}
