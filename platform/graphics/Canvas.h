#pragma once
// TCanvas: the platform's drawing surface over a QPainter, with the pixel
// rules of the platform: a line does not paint its end point, fills and
// shapes cover Left..Right-1 and Top..Bottom-1, no antialiasing, and the pen
// mode combines the pen with the pixels already there.

#include "platform/core/AnsiString.h"
#include "platform/core/Exception.h"
#include "platform/core/Types.h"
#include "platform/graphics/Brush.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pen.h"

#include <memory>
#include <vector>

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

class QPaintDevice;
class QPainter;
class QColor;
struct TEllipseShape;
class TFontFace;
class TGraphic;

// Drawing on a canvas that has no device (or no painter) to draw on.
QUOR_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

class TCanvas : public TObject {
public:
    QUOR_CLASS_NAME(TCanvas)
    // A canvas without a device: it measures text, and draws once a painter
    // is attached (a control's canvas during its paint event).
    TCanvas();
    // Paints on the device; the painter is opened at the first drawing and
    // closed by EndPaint() or the destructor.
    explicit TCanvas(QPaintDevice* device);
    // Paints through a painter that someone else owns and keeps open.
    explicit TCanvas(QPainter* painter);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Attach a foreign painter (paint event) / detach before it ends.
    void Attach(QPainter* painter);
    void Detach();
    // Switch to another device (closing the current painter first).
    void SetDevice(QPaintDevice* device);
    // Close the painter opened on the device, so the device can be read,
    // resized or saved; the next drawing opens it again.
    void EndPaint();
    QPaintDevice* Device() const;
    // The painter in use, opening it on the device if needed; null without one.
    QPainter* Painter();
    bool CanDraw() const;

    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    TFont* Font() { return &font_; }
    const TPen* Pen() const { return &pen_; }
    const TBrush* Brush() const { return &brush_; }
    const TFont* Font() const { return &font_; }

    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint pos) { penPos_ = pos; }
    void MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }
    // From PenPos to (x, y), end point excluded; PenPos becomes (x, y).
    void LineTo(int x, int y);
    // Through the points in order, the last point excluded.
    void Polyline(const TPoint* points, int count);
    void Polyline(const std::vector<TPoint>& points) {
        Polyline(points.data(), static_cast<int>(points.size()));
    }
    // Closed outline filled with the brush.
    void Polygon(const std::vector<TPoint>& points);

    // Brush over Left..Right-1 x Top..Bottom-1; the pen mode plays no part.
    void FillRect(const TRect& rect);
    // Outline of Left..Right-1 x Top..Bottom-1 in the pen colour only.
    void FrameRect(const TRect& rect);
    // Pen outline and brush interior, inside Left..Right-1 x Top..Bottom-1.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }

    // Text with the top-left corner of its cell at (x, y) in the font colour;
    // the cell is filled with the brush when the brush is not clear.
    // PenPos is not moved.
    void TextOut(int x, int y, const AnsiString& text);
    // Text at (x, y) clipped to rect; a non-clear brush fills the whole rect.
    void TextRect(const TRect& rect, int x, int y, const AnsiString& text);
    int TextWidth(const AnsiString& text) const;
    int TextHeight(const AnsiString& text) const;
    TSize TextExtent(const AnsiString& text) const;

    // The graphic at its own size with its top-left corner at (x, y).
    void Draw(int x, int y, TGraphic* graphic);
    // The graphic scaled into Left..Right-1 x Top..Bottom-1.
    void StretchDraw(const TRect& rect, TGraphic* graphic);

    // Bounding box of the current clipping, or the whole device, in the
    // coordinates drawn in (through the painter's transformation).
    TRect ClipRect() const;
    // Whether what is drawn outside ClipRect() is lost, so that a painter
    // may skip it; a recording (a metafile) keeps everything.
    bool KeepsOnlyClipRect() const;
    void SetClipRect(const TRect& rect);
    void ResetClipRect();

    // 0x00BBGGRR of a pixel; -1 (0xFFFFFFFF) off the device or where pixels
    // cannot be read back.
    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor color);

    // Whether TextOut fills its cell (with a non-clear brush).
    bool OpaqueText() const { return opaqueText_; }
    void SetOpaqueText(bool opaque) { opaqueText_ = opaque; }

    // Logical resolution of the device (96 without one).
    int DpiX() const;
    int DpiY() const;

private:
    struct Impl;
    QPainter* ActivePainter();
    // The font as the toolkit measures and draws it.
    TFontFace& Face() const;
    // The painter draws text in the font and its colour.
    void UseTextFont(QPainter* p);
    void StrokeSegment(QPainter* p, TPoint from, TPoint to, bool lastPoint);
    // The shape moved by (dx, dy), inside with the brush, outline with the pen.
    void PaintShape(QPainter* p, const TEllipseShape& shape, int dx, int dy, bool brush, bool pen,
                    const QColor& penColor);

    TPen pen_;
    TBrush brush_;
    TFont font_;
    TPoint penPos_;
    bool opaqueText_ = true;
    std::unique_ptr<Impl> d_;
};
