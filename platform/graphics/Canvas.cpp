#include "platform/graphics/Canvas.h"

#include "platform/core/Encoding.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/DeviceCaps.h"
#include "platform/graphics/EllipseShape.h"
#include "platform/graphics/FontCache.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/graphics/WholePixels.h"

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

struct TCanvas::Impl {
    QPaintDevice* device = nullptr;
    std::unique_ptr<QPainter> own;
    QPainter* foreign = nullptr;
    std::optional<TRect> clip;
    mutable TFontCache fonts;
    // The face of the font, as of the font's shape revision fontShape.
    mutable TFontFace* face = nullptr;
    mutable unsigned fontShape = 0;
    // The pens last handed to a painter: handing the same one again is
    // then only a comparison.
    QPen textPen{QColor(Qt::black)};
    QPen dotPen{QColor(Qt::black), 1};
    // Room the pixel-exact shapes reuse from call to call.
    QPolygon points;
    TEllipseShape ellipse;
    // The last ellipse as an image of its own colours over transparent
    // pixels, for the colours it was made in.
    struct StampKey {
        TRect box;
        bool outlined = false;
        bool filled = false;
        QRgb pen = 0;
        QRgb brush = 0;
        friend bool operator==(const StampKey&, const StampKey&) = default;
    };
    QImage stamp;
    StampKey stampKey;
};

namespace {

QString ToQString(const AnsiString& text) {
    return QString::fromStdU16String(Cp1252ToUtf16(text.view()));
}

QPainter::CompositionMode ModeFor(TPenMode mode) {
    switch (mode) {
    case pmBlack:
        return QPainter::RasterOp_ClearDestination;
    case pmWhite:
        return QPainter::RasterOp_SetDestination;
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    case pmNotCopy:
        return QPainter::RasterOp_NotSource;
    case pmMergePenNot:
        return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot:
        return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen:
        return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen:
        return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge:
        return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask:
        return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    case pmNop:
    case pmCopy:
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// The platform's dash patterns of a one-pixel pen, in pixels on / off.
std::vector<int> DashPattern(TPenStyle style) {
    switch (style) {
    case psDash:
        return {18, 6};
    case psDot:
        return {3, 3};
    case psDashDot:
        return {9, 6, 3, 6};
    case psDashDotDot:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

Qt::BrushStyle QtBrushStyle(TBrushStyle style) {
    switch (style) {
    case bsClear:
        return Qt::NoBrush;
    case bsHorizontal:
        return Qt::HorPattern;
    case bsVertical:
        return Qt::VerPattern;
    case bsFDiagonal:
        return Qt::FDiagPattern;
    case bsBDiagonal:
        return Qt::BDiagPattern;
    case bsCross:
        return Qt::CrossPattern;
    case bsDiagCross:
        return Qt::DiagCrossPattern;
    case bsSolid:
    default:
        return Qt::SolidPattern;
    }
}

QRect ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

TRect Normalized(int l, int t, int r, int b) {
    return TRect{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

bool IsRaster(QPainter* p) {
    return p->paintEngine() && p->paintEngine()->type() == QPaintEngine::Raster;
}

// Whether an image of opaque and transparent pixels drawn over what is there
// lands on exactly its own pixels: on an opaque image, on whole pixels.
bool TakesStamps(QPainter* p) {
    QPaintDevice* dev = p->device();
    return dev && dev->devType() == QInternal::Image &&
           static_cast<QImage*>(dev)->format() == QImage::Format_RGB32 && OnWholePixels(p);
}

void PrepareShapes(QPainter* p) {
    // Every change of a hint makes the painter refresh its state.
    constexpr QPainter::RenderHints smooth = QPainter::Antialiasing |
                                             QPainter::TextAntialiasing |
                                             QPainter::SmoothPixmapTransform;
    if (p->renderHints() & smooth) p->setRenderHints(smooth, false);
}

// A solid brush fills with its colour alone, which spares the painter
// taking on a brush.
void Fill(QPainter* p, const QRect& r, const TBrush& brush) {
    if (brush.Style() == bsSolid)
        p->fillRect(r, ToQColor(brush.Color()));
    else
        p->fillRect(r, QBrush(ToQColor(brush.Color()), QtBrushStyle(brush.Style())));
}

// The one-pixel pen that dots exact pixels, kept in held.
const QPen& DotPen(QPen& held, const QColor& color) {
    if (held.color() != color) {
        held = QPen(color, 1);
        held.setCapStyle(Qt::SquareCap);
    }
    return held;
}

} // namespace

TCanvas::TCanvas() : d_(std::make_unique<Impl>()) {}

TCanvas::TCanvas(QPaintDevice* device) : TCanvas() {
    SetDevice(device);
}

TCanvas::TCanvas(QPainter* painter) : TCanvas() {
    Attach(painter);
}

TCanvas::~TCanvas() {
    EndPaint();
}

void TCanvas::Attach(QPainter* painter) {
    EndPaint();
    d_->foreign = painter;
}

void TCanvas::Detach() {
    d_->foreign = nullptr;
}

void TCanvas::SetDevice(QPaintDevice* device) {
    EndPaint();
    d_->device = device;
    if (device) {
        // The font keeps its size in points on the new device.
        int points = font_.Size();
        font_.SetPixelsPerInch(device->logicalDpiY());
        font_.SetSize(points);
    }
}

void TCanvas::EndPaint() {
    if (d_->own) {
        if (d_->own->isActive()) d_->own->end();
        d_->own.reset();
    }
}

QPaintDevice* TCanvas::Device() const {
    if (d_->foreign) return d_->foreign->device();
    return d_->device;
}

bool TCanvas::CanDraw() const {
    return d_->foreign || d_->device;
}

QPainter* TCanvas::Painter() {
    if (!CanDraw()) return nullptr;
    return ActivePainter();
}

QPainter* TCanvas::ActivePainter() {
    if (d_->foreign) {
        PrepareShapes(d_->foreign);
        return d_->foreign;
    }
    if (!d_->device)
        throw EInvalidGraphicOperation("Il canvas non ha una superficie su cui disegnare");
    if (!d_->own) {
        EnsureGuiApplication();
        d_->own = std::make_unique<QPainter>();
        if (!d_->own->begin(d_->device)) {
            d_->own.reset();
            throw EInvalidGraphicOperation("Impossibile disegnare sulla superficie del canvas");
        }
        if (d_->clip) d_->own->setClipRect(ToQRect(*d_->clip));
    }
    PrepareShapes(d_->own.get());
    return d_->own.get();
}

TFontFace& TCanvas::Face() const {
    // A new colour leaves the shapes, and the widths measured, as they were.
    if (!d_->face || d_->fontShape != font_.ShapeRevision()) {
        EnsureGuiApplication();
        const QFont qfont = font_.ToQFont();
        if (!d_->face || !(qfont == d_->face->Font())) d_->face = &d_->fonts.Face(qfont);
        d_->fontShape = font_.ShapeRevision();
    }
    return *d_->face;
}

void TCanvas::UseTextFont(QPainter* p) {
    const QFont& font = Face().Font();
    // Setting a font makes the painter look its glyphs up again.
    if (!(p->font() == font)) p->setFont(font);
    const QColor color = ToQColor(font_.Color());
    if (d_->textPen.color() != color) d_->textPen = QPen(color);
    p->setPen(d_->textPen);
}

// One segment of the current pen. On a raster device a one-pixel pen lands
// on exact pixels (Bresenham, end point left out unless lastPoint); wider
// pens and vector devices use the painter's own stroking.
void TCanvas::StrokeSegment(QPainter* p, TPoint a, TPoint b, bool lastPoint) {
    QColor color = ToQColor(pen_.Color());
    p->setCompositionMode(ModeFor(pen_.Mode()));
    int width = pen_.Width();
    if (width <= 1 && IsRaster(p)) {
        std::vector<int> dashes = DashPattern(pen_.Style());
        int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
        if (dashes.empty() && (dx == 0 || dy == 0)) {
            int extra = lastPoint ? 1 : 0;
            QRect r;
            if (dy == 0 && dx == 0) {
                if (!lastPoint) return;
                r = QRect(a.x, a.y, 1, 1);
            } else if (dy == 0) {
                int len = dx + extra;
                r = b.x > a.x ? QRect(a.x, a.y, len, 1) : QRect(a.x - len + 1, a.y, len, 1);
            } else {
                int len = -dy + extra;
                r = b.y > a.y ? QRect(a.x, a.y, 1, len) : QRect(a.x, a.y - len + 1, 1, len);
            }
            p->fillRect(r, color);
            return;
        }
        // Only the pixels that can show are handed over, so that a long
        // line mostly off the device costs little; the steps are the same.
        QRect shown(0, 0, p->device()->width(), p->device()->height());
        if (!p->transform().isIdentity())
            shown = QRect(INT_MIN / 2, INT_MIN / 2, INT_MAX, INT_MAX);
        else if (p->hasClipping())
            shown &= p->clipBoundingRect().toAlignedRect();
        QPolygon& points = d_->points;
        points.clear();
        int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
        int err = dx + dy;
        int x = a.x, y = a.y;
        std::size_t dashIndex = 0;
        int dashLeft = dashes.empty() ? 0 : dashes[0];
        for (;;) {
            bool atEnd = x == b.x && y == b.y;
            if (atEnd && !lastPoint) break;
            bool on = dashes.empty() || dashIndex % 2 == 0;
            if (on && shown.contains(x, y)) points << QPoint(x, y);
            if (!dashes.empty() && --dashLeft == 0) {
                dashIndex = (dashIndex + 1) % dashes.size();
                dashLeft = dashes[dashIndex];
            }
            if (atEnd) break;
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
        if (points.isEmpty()) return;
        p->setPen(DotPen(d_->dotPen, color));
        p->drawPoints(points);
        return;
    }
    QPen qpen(color, width < 1 ? 1 : width);
    qpen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
    qpen.setJoinStyle(Qt::RoundJoin);
    std::vector<int> dashes = DashPattern(pen_.Style());
    if (!dashes.empty()) {
        QList<qreal> pattern;
        for (int v : dashes)
            pattern << static_cast<qreal>(v) / (width < 1 ? 1 : width);
        qpen.setDashPattern(pattern);
    }
    p->setPen(qpen);
    p->drawLine(QPointF(a.x + 0.5, a.y + 0.5), QPointF(b.x + 0.5, b.y + 0.5));
}

void TCanvas::LineTo(int x, int y) {
    TPoint from = penPos_;
    penPos_ = TPoint{x, y};
    if (pen_.Style() == psClear || pen_.Mode() == pmNop) return;
    QPainter* p = ActivePainter();
    StrokeSegment(p, from, penPos_, false);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Polyline(const TPoint* points, int count) {
    if (!points || count < 2) return;
    if (pen_.Style() == psClear || pen_.Mode() == pmNop) return;
    QPainter* p = ActivePainter();
    for (int i = 1; i < count; ++i)
        StrokeSegment(p, points[i - 1], points[i], false);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    if (points.size() < 2 || pen_.Mode() == pmNop) return;
    QPainter* p = ActivePainter();
    QPolygon poly;
    for (const TPoint& pt : points)
        poly << QPoint(pt.x, pt.y);
    p->setCompositionMode(ModeFor(pen_.Mode()));
    if (brush_.Style() != bsClear) {
        p->setPen(Qt::NoPen);
        p->setBrush(QBrush(ToQColor(brush_.Color()), QtBrushStyle(brush_.Style())));
        p->drawPolygon(poly);
        p->setBrush(Qt::NoBrush);
    }
    if (pen_.Style() != psClear) {
        for (std::size_t i = 0; i < points.size(); ++i)
            StrokeSegment(p, points[i], points[(i + 1) % points.size()], false);
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::FillRect(const TRect& rect) {
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    if (brush_.Style() == bsClear) return;
    QPainter* p = ActivePainter();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    Fill(p, ToQRect(rect), brush_);
}

void TCanvas::FrameRect(const TRect& rect) {
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    QPainter* p = ActivePainter();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QColor c = ToQColor(brush_.Color());
    int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
    p->fillRect(QRect(rect.Left, rect.Top, w, 1), c);
    if (h > 1) p->fillRect(QRect(rect.Left, rect.Bottom - 1, w, 1), c);
    if (h > 2) {
        p->fillRect(QRect(rect.Left, rect.Top + 1, 1, h - 2), c);
        if (w > 1) p->fillRect(QRect(rect.Right - 1, rect.Top + 1, 1, h - 2), c);
    }
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    TRect r = Normalized(left, top, right, bottom);
    if (r.Right <= r.Left || r.Bottom <= r.Top || pen_.Mode() == pmNop) return;
    QPainter* p = ActivePainter();
    QPainter::CompositionMode mode = ModeFor(pen_.Mode());
    bool pen = pen_.Style() != psClear;
    int w = pen_.Width();
    if (brush_.Style() != bsClear) {
        // A clear pen leaves the last row and column unpainted, as the platform does.
        TRect inner = pen ? TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}
                          : TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
        if (pen && w > 1) {
            int in = w / 2 + 1;
            inner = TRect{r.Left + in, r.Top + in, r.Right - in, r.Bottom - in};
        }
        if (inner.Right > inner.Left && inner.Bottom > inner.Top) {
            p->setCompositionMode(mode);
            Fill(p, ToQRect(inner), brush_);
        }
    }
    if (pen) {
        int x1 = r.Right - 1, y1 = r.Bottom - 1;
        if (x1 == r.Left || y1 == r.Top) {
            StrokeSegment(p, TPoint{r.Left, r.Top}, TPoint{x1, y1}, true);
        } else {
            TPoint corners[5] = {
                {r.Left, r.Top}, {x1, r.Top}, {x1, y1}, {r.Left, y1}, {r.Left, r.Top}};
            for (int i = 1; i < 5; ++i)
                StrokeSegment(p, corners[i - 1], corners[i], false);
        }
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::PaintShape(QPainter* p, const TEllipseShape& shape, int dx, int dy, bool brush,
                         bool pen, const QColor& penColor) {
    if (brush) {
        for (const QRect& inside : shape.inside)
            Fill(p, inside.translated(dx, dy), brush_);
    }
    if (pen && !shape.outline.empty()) {
        QPolygon& outline = d_->points;
        outline.clear();
        for (const QPoint& at : shape.outline)
            outline << QPoint(at.x() + dx, at.y() + dy);
        p->setPen(DotPen(d_->dotPen, penColor));
        p->drawPoints(outline);
    }
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    TRect r = Normalized(left, top, right, bottom);
    if (r.Right <= r.Left || r.Bottom <= r.Top || pen_.Mode() == pmNop) return;
    QPainter* p = ActivePainter();
    p->setCompositionMode(ModeFor(pen_.Mode()));
    bool pen = pen_.Style() != psClear;
    bool brush = brush_.Style() != bsClear;
    if (!IsRaster(p) || (pen && pen_.Width() > 1)) {
        if (pen)
            p->setPen(QPen(ToQColor(pen_.Color()), pen_.Width() <= 1 ? 0 : pen_.Width()));
        else
            p->setPen(Qt::NoPen);
        p->setBrush(brush ? QBrush(ToQColor(brush_.Color()), QtBrushStyle(brush_.Style()))
                          : QBrush(Qt::NoBrush));
        p->drawEllipse(
            QRectF(r.Left + 0.5, r.Top + 0.5, r.Right - r.Left - 1, r.Bottom - r.Top - 1));
        p->setBrush(Qt::NoBrush);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    // Exact pixels: see EllipseShape.h.
    TEllipseShape& shape = d_->ellipse;
    const QColor penColor = ToQColor(pen_.Color()), brushColor = ToQColor(brush_.Color());
    if (!TEllipseShape::Movable(r)) {
        shape.Make(r, pen);
        PaintShape(p, shape, 0, 0, brush, pen, penColor);
    } else if (pen_.Mode() == pmCopy && (!brush || brush_.Style() == bsSolid) && TakesStamps(p)) {
        // Link markers are many ellipses alike: in the plain pen mode and
        // plain colours one image of the shape draws each of them at once.
        const Impl::StampKey key{TRect{0, 0, r.Right - r.Left, r.Bottom - r.Top}, pen, brush,
                                 pen ? penColor.rgb() : 0, brush ? brushColor.rgb() : 0};
        if (d_->stamp.isNull() || !(d_->stampKey == key)) {
            if (!(shape.box == key.box) || shape.outlined != pen) shape.Make(key.box, pen);
            QImage& stamp = d_->stamp;
            stamp = QImage(key.box.Right, key.box.Bottom, QImage::Format_ARGB32_Premultiplied);
            stamp.fill(Qt::transparent);
            if (brush) {
                for (const QRect& inside : shape.inside)
                    for (int y = inside.top(); y <= inside.bottom(); ++y)
                        for (int x = inside.left(); x <= inside.right(); ++x)
                            stamp.setPixel(x, y, key.brush);
            }
            for (const QPoint& at : shape.outline)
                stamp.setPixel(at, key.pen);
            d_->stampKey = key;
        }
        p->drawImage(QPoint(r.Left, r.Top), d_->stamp);
    } else {
        const TRect origin{0, 0, r.Right - r.Left, r.Bottom - r.Top};
        if (!(shape.box == origin) || shape.outlined != pen) shape.Make(origin, pen);
        PaintShape(p, shape, r.Left, r.Top, brush, pen, penColor);
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
    if (text.IsEmpty()) return;
    QPainter* p = ActivePainter();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (opaqueText_ && brush_.Style() != bsClear)
        p->fillRect(QRect(x, y, TextWidth(text), TextHeight(text)), ToQColor(brush_.Color()));
    UseTextFont(p);
    Face().Draw(p, x, y, text.str());
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const AnsiString& text) {
    QPainter* p = ActivePainter();
    const TFontFace& face = Face();
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRect clip = ToQRect(rect);
    p->setClipRect(clip, p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    if (opaqueText_ && brush_.Style() != bsClear && clip.isValid())
        p->fillRect(clip, ToQColor(brush_.Color()));
    if (!text.IsEmpty()) {
        p->setFont(face.Font());
        p->setPen(ToQColor(font_.Color()));
        p->drawText(QPoint(x, y + face.Ascent()), ToQString(text));
    }
    p->restore();
}

int TCanvas::TextWidth(const AnsiString& text) const {
    if (text.IsEmpty()) return 0;
    return Face().Width(text.str());
}

int TCanvas::TextHeight(const AnsiString&) const {
    return Face().Height();
}

TSize TCanvas::TextExtent(const AnsiString& text) const {
    return TSize{TextWidth(text), TextHeight(text)};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(this, TRect{x, y, x + graphic->Width(), y + graphic->Height()});
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(this, rect);
}

TRect TCanvas::ClipRect() const {
    if (!d_->clip && d_->foreign && d_->foreign->hasClipping()) {
        // The painter gives it in the coordinates drawn in.
        QRect r = d_->foreign->clipBoundingRect().toAlignedRect();
        return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    TRect area;
    if (d_->clip) {
        area = *d_->clip;
    } else {
        QPaintDevice* dev = Device();
        if (!dev) return TRect{};
        area = TRect{0, 0, dev->width(), dev->height()};
    }
    // Under a scaling or moving painter, the device's pixels in the
    // coordinates drawn in, rounded outwards.
    const QPainter* p = d_->foreign ? d_->foreign : d_->own.get();
    if (p && p->isActive() && !p->worldTransform().isIdentity() &&
        p->worldTransform().isInvertible()) {
        const QRectF mapped = p->worldTransform().inverted().mapRect(
            QRectF(area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top));
        const QRect r = mapped.toAlignedRect();
        return TRect{r.left() - 1, r.top() - 1, r.left() + r.width() + 1, r.top() + r.height() + 1};
    }
    return area;
}

bool TCanvas::KeepsOnlyClipRect() const {
    QPaintDevice* dev = Device();
    return dev && dev->devType() != QInternal::Picture;
}

void TCanvas::SetClipRect(const TRect& rect) {
    d_->clip = rect;
    if (d_->own && d_->own->isActive()) d_->own->setClipRect(ToQRect(rect));
    if (d_->foreign) d_->foreign->setClipRect(ToQRect(rect));
}

void TCanvas::ResetClipRect() {
    d_->clip.reset();
    if (d_->own && d_->own->isActive()) d_->own->setClipping(false);
    if (d_->foreign) d_->foreign->setClipping(false);
}

TColor TCanvas::Pixels(int x, int y) const {
    QPaintDevice* dev = Device();
    if (!dev || dev->devType() != QInternal::Image) return static_cast<TColor>(-1);
    const QImage* image = static_cast<const QImage*>(dev);
    if (!image->valid(x, y)) return static_cast<TColor>(-1);
    QRgb rgb = image->pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    QPainter* p = ActivePainter();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

int TCanvas::DpiX() const {
    QPaintDevice* dev = Device();
    return dev ? dev->logicalDpiX() : 96;
}

int TCanvas::DpiY() const {
    QPaintDevice* dev = Device();
    return dev ? dev->logicalDpiY() : 96;
}

int GetDeviceCaps(TCanvas* canvas, int index) {
    if (!canvas) return 0;
    QPaintDevice* dev = canvas->Device();
    switch (index) {
    case LOGPIXELSX:
        return canvas->DpiX();
    case LOGPIXELSY:
        return canvas->DpiY();
    case HORZRES:
        return dev ? dev->width() : 0;
    case VERTRES:
        return dev ? dev->height() : 0;
    default:
        return 0;
    }
}

void SetBkMode(TCanvas* canvas, int mode) {
    if (canvas) canvas->SetOpaqueText(mode == OPAQUE);
}
