// The flowchart component's scrolled and zoomed view: scroll bars and the
// wheel over its widget, the mapping between the widget and the page, the
// extent the bars reach, and painting through the spatial index.

#include "quorgrafica/ChartView.h"

#include "platform/graphics/Canvas.h"
#include "quorgrafica/Arith.h"
#include "quorgrafica/PaintArea.h"
#include "quorgrafica/QuorFlowChart.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTransform>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorgrafica {

namespace {

constexpr int MinPercent = 10;
constexpr int MaxPercent = 400;
constexpr int ZoomSteps[] = {10, 15, 20, 25, 33, 50, 67, 75, 90, 100,
                             110, 125, 150, 175, 200, 250, 300, 400};
// Page pixels of room past the last box, to draw the next one in.
constexpr int ExtentMargin = 40;
// Widget pixels from an edge where a drag scrolls the view.
constexpr int EdgeBand = 16;
// Widget pixels one notch of the wheel scrolls.
constexpr int WheelPixels = 48;

int BarExtent() {
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

bool IsDrag(InputStates state) {
    return state != qfcNothing;
}

int ToInt(double v) {
    constexpr double limit = 1 << 30;
    return static_cast<int>(std::clamp(std::floor(v), -limit, limit));
}

// The wheel over the widget, and its resizing, reach the component.
class ViewFilter : public QObject {
public:
    explicit ViewFilter(TQuorFlowChart* chart) : chart_(chart) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            TShiftState shift;
            if (wheel->modifiers() & Qt::ShiftModifier) shift << ssShift;
            if (wheel->modifiers() & Qt::ControlModifier) shift << ssCtrl;
            if (wheel->modifiers() & Qt::AltModifier) shift << ssAlt;
            const QPoint angle = wheel->angleDelta();
            int delta = angle.y();
            // A wheel turned sideways scrolls across.
            if (delta == 0 && angle.x() != 0) {
                delta = angle.x();
                shift << ssShift;
            }
            const QPoint at = wheel->position().toPoint();
            if (chart_->ViewWheel(delta, shift, at.x(), at.y())) {
                wheel->accept();
                return true;
            }
        } else if (event->type() == QEvent::Resize) {
            // The bars follow the widget's new size.
            chart_->ScrollBy(0, 0);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TQuorFlowChart* chart_;
};

} // namespace

ViewTransform::ViewTransform(TCanvas* canvas, const ChartViewState& view) {
    if (!canvas) return;
    painter_ = canvas->Painter();
    if (painter_)
        painter_->setWorldTransform(QTransform(view.zoom, 0, 0, view.zoom,
                                               -view.originX * view.zoom,
                                               -view.originY * view.zoom));
}

void ViewTransform::End() {
    if (painter_ && painter_->isActive()) painter_->resetTransform();
    painter_ = nullptr;
}

bool TQuorFlowChart::ViewEnabled() const {
    return view_->on;
}

void TQuorFlowChart::SetViewEnabled(bool value) {
    if (value == view_->on) return;
    view_->on = value;
    view_->zoom = 1.0;
    view_->originX = view_->originY = 0;
    view_->index.Drop();
    if (!value) {
        delete view_->hbar.data();
        delete view_->vbar.data();
        view_->filter.reset();
    }
    SyncBars();
    Invalidate();
}

double TQuorFlowChart::Zoom() const {
    return view_->on ? view_->zoom : 1.0;
}

int TQuorFlowChart::ZoomPercent() const {
    return static_cast<int>(std::lround(Zoom() * 100));
}

int TQuorFlowChart::ViewWidth() const {
    return std::max(1, Width() - (view_->on ? BarExtent() : 0));
}

int TQuorFlowChart::ViewHeight() const {
    return std::max(1, Height() - (view_->on ? BarExtent() : 0));
}

TPoint TQuorFlowChart::WidgetToPage(int x, int y) const {
    if (!view_->on) return TPoint{x, y};
    return TPoint{ToInt(view_->originX + x / view_->zoom), ToInt(view_->originY + y / view_->zoom)};
}

TPoint TQuorFlowChart::PageToWidget(int x, int y) const {
    if (!view_->on) return TPoint{x, y};
    return TPoint{ToInt((x - view_->originX) * view_->zoom + 0.5),
                  ToInt((y - view_->originY) * view_->zoom + 0.5)};
}

void TQuorFlowChart::ViewToPage(int& x, int& y) const {
    const TPoint p = WidgetToPage(x, y);
    x = p.x;
    y = p.y;
}

TRect TQuorFlowChart::ViewArea(const TRect& a) const {
    if (!view_->on || a.Left >= a.Right || a.Top >= a.Bottom) return a;
    const double z = view_->zoom;
    return TRect{ToInt((a.Left - view_->originX) * z) - 1, ToInt((a.Top - view_->originY) * z) - 1,
                 ToInt(std::ceil((a.Right - view_->originX) * z)) + 1,
                 ToInt(std::ceil((a.Bottom - view_->originY) * z)) + 1};
}

TPoint TQuorFlowChart::ScrollPosition() const {
    return TPoint{ToInt(view_->originX + 0.5), ToInt(view_->originY + 0.5)};
}

ChartIndex* TQuorFlowChart::ViewIndex() {
    if (!view_->on) return nullptr;
    if (!view_->index.Fresh(*currentGraf_))
        view_->index.Build(*currentGraf_, FontPixelsOfGraf());
    return &view_->index;
}

TRect TQuorFlowChart::ScrollExtent() const {
    if (!view_->on) return TRect{0, 0, Width(), Height()};
    TRect content = TRect{0, 0, 1, 1};
    if (auto* self = const_cast<TQuorFlowChart*>(this); ChartIndex* index = self->ViewIndex())
        content = AreaUnion(content, index->Frames());
    if (IsDrag(inputState_)) {
        // While dragging, the band may lead on.
        const TPoint a = FAnchor, m = FMovePoint;
        content = AreaUnion(content, TRect{std::min(a.x, m.x), std::min(a.y, m.y),
                                           std::max(a.x, m.x) + 1, std::max(a.y, m.y) + 1});
    }
    content = TRect{content.Left, content.Top,
                    detail::PaintCoord(static_cast<std::int64_t>(content.Right) + ExtentMargin),
                    detail::PaintCoord(static_cast<std::int64_t>(content.Bottom) + ExtentMargin)};
    // The part in view stays reachable, so that the view never jumps: the
    // extent shrinks as the view moves back towards the boxes.
    const double z = view_->zoom;
    const double right = view_->originX + ViewWidth() / z, bottom = view_->originY + ViewHeight() / z;
    return AreaUnion(content, TRect{ToInt(view_->originX), ToInt(view_->originY),
                                    ToInt(std::ceil(right)), ToInt(std::ceil(bottom))});
}

void TQuorFlowChart::ViewClamp(double& originX, double& originY, double zoom) const {
    const TRect extent = ScrollExtent();
    const double spanX = ViewWidth() / zoom, spanY = ViewHeight() / zoom;
    originX = std::clamp(originX, double(extent.Left),
                         std::max(double(extent.Left), extent.Right - spanX));
    originY = std::clamp(originY, double(extent.Top),
                         std::max(double(extent.Top), extent.Bottom - spanY));
    // At whole pixels a page pixel stays a widget pixel.
    if (zoom == 1.0) {
        originX = std::round(originX);
        originY = std::round(originY);
    }
}

void TQuorFlowChart::ViewPrepare() {
    // The boxes may have changed since the view last moved: the view stays
    // within the extent, and the bars show it.
    double x = view_->originX, y = view_->originY;
    ViewClamp(x, y, view_->zoom);
    view_->originX = x;
    view_->originY = y;
    SyncBars();
}

void TQuorFlowChart::ViewChanged(double originX, double originY, double zoom, bool free) {
    if (!view_->on) return;
    zoom = std::clamp(zoom, MinPercent / 100.0, MaxPercent / 100.0);
    if (!free) ViewClamp(originX, originY, zoom);
    if (originX == view_->originX && originY == view_->originY && zoom == view_->zoom) {
        SyncBars();
        return;
    }
    // The band of a drag goes with the page: off at the old view, on again
    // once the new one is painted.
    const bool band = IsDrag(inputState_) && !FBusy;
    if (band) Selezione();
    view_->originX = originX;
    view_->originY = originY;
    view_->zoom = zoom;
    SyncBars();
    TPaintBox::Invalidate();
    if (band) {
        PaintToImage();
        Selezione();
    }
    if (OnViewChange) OnViewChange(this);
}

void TQuorFlowChart::ScrollTo(int pageX, int pageY) {
    ViewChanged(pageX, pageY, view_->zoom);
}

void TQuorFlowChart::ScrollBy(int dx, int dy) {
    ViewChanged(view_->originX + dx / view_->zoom, view_->originY + dy / view_->zoom, view_->zoom);
}

void TQuorFlowChart::SetZoomPercent(int percent, int x, int y) {
    if (!view_->on) return;
    const double zoom = std::clamp(percent, MinPercent, MaxPercent) / 100.0;
    // The page point under (x, y), before and after.
    const double px = view_->originX + x / view_->zoom, py = view_->originY + y / view_->zoom;
    // The point stays put also where the view then shows beyond the boxes.
    ViewChanged(px - x / zoom, py - y / zoom, zoom, true);
}

void TQuorFlowChart::SetZoomPercent(int percent) {
    SetZoomPercent(percent, ViewWidth() / 2, ViewHeight() / 2);
}

void TQuorFlowChart::ZoomIn() {
    const int now = ZoomPercent();
    for (int step : ZoomSteps)
        if (step > now) {
            SetZoomPercent(step);
            return;
        }
}

void TQuorFlowChart::ZoomOut() {
    const int now = ZoomPercent();
    for (auto it = std::rbegin(ZoomSteps); it != std::rend(ZoomSteps); ++it)
        if (*it < now) {
            SetZoomPercent(*it);
            return;
        }
}

void TQuorFlowChart::ZoomReset() {
    SetZoomPercent(100);
}

void TQuorFlowChart::ZoomToFit() {
    ChartIndex* index = ViewIndex();
    if (!index) return;
    const TRect f = index->Frames();
    if (f.Left >= f.Right || f.Top >= f.Bottom) {
        ViewChanged(0, 0, 1.0, true);
        return;
    }
    const double w = static_cast<double>(f.Right) - f.Left + 2 * ExtentMargin;
    const double h = static_cast<double>(f.Bottom) - f.Top + 2 * ExtentMargin;
    // A whole percent, rounded down, so that everything fits.
    const double fit = std::min(ViewWidth() / w, ViewHeight() / h);
    const int percent = std::clamp(static_cast<int>(std::floor(fit * 100)), MinPercent, MaxPercent);
    ViewChanged(f.Left - ExtentMargin, f.Top - ExtentMargin, percent / 100.0, true);
}

bool TQuorFlowChart::ViewKey(unsigned short key, TShiftState shift) {
    if (!view_->on || (key != VK_PRIOR && key != VK_NEXT)) return false;
    const int sign = key == VK_PRIOR ? -1 : 1;
    if (shift.Contains(ssShift))
        ScrollBy(sign * ViewWidth(), 0);
    else
        ScrollBy(0, sign * ViewHeight());
    return true;
}

bool TQuorFlowChart::ViewWheel(int delta, TShiftState shift, int x, int y) {
    if (!view_->on || delta == 0) return false;
    if (shift.Contains(ssCtrl)) {
        // One step per notch, about the point under the pointer.
        const int notches = std::max(1, std::abs(delta) / 120);
        double zoom = view_->zoom;
        for (int i = 0; i < notches; ++i) {
            const int now = static_cast<int>(std::lround(zoom * 100));
            int next = now;
            if (delta > 0) {
                for (int step : ZoomSteps)
                    if (step > now) {
                        next = step;
                        break;
                    }
            } else {
                for (auto it = std::rbegin(ZoomSteps); it != std::rend(ZoomSteps); ++it)
                    if (*it < now) {
                        next = *it;
                        break;
                    }
            }
            zoom = next / 100.0;
        }
        SetZoomPercent(static_cast<int>(std::lround(zoom * 100)), x, y);
        return true;
    }
    const int pixels = -delta * WheelPixels / 120;
    if (shift.Contains(ssShift))
        ScrollBy(pixels, 0);
    else
        ScrollBy(0, pixels);
    return true;
}

void TQuorFlowChart::ViewAutoScroll(int x, int y) {
    if (!view_->on || !IsDrag(inputState_)) return;
    const int w = ViewWidth(), h = ViewHeight();
    int dx = 0, dy = 0;
    if (x < EdgeBand)
        dx = x - EdgeBand;
    else if (x >= w - EdgeBand)
        dx = x - (w - EdgeBand) + 1;
    if (y < EdgeBand)
        dy = y - EdgeBand;
    else if (y >= h - EdgeBand)
        dy = y - (h - EdgeBand) + 1;
    if (dx || dy) ScrollBy(dx, dy);
}

int TQuorFlowChart::ViewFontPixels() const {
    return view_->on && view_->index.Fresh(*currentGraf_) ? view_->index.FontPixels() : 0;
}

void TQuorFlowChart::ViewBoxMoved(clsBox* box) {
    if (view_->on && view_->index.Fresh(*currentGraf_)) view_->index.Moved(box);
}

void TQuorFlowChart::ViewDragEnded(clsBox* box) {
    if (!view_->on) return;
    // The release may have put the frame in order; the extent may shrink.
    if (view_->index.Fresh(*currentGraf_)) {
        if (box) view_->index.Moved(box);
        view_->index.RecountFrames();
    }
    ScrollBy(0, 0);
}

void TQuorFlowChart::ViewSetPage() {
    // The page is the component's size (the grid's cells as without the
    // view) repeated until it holds the extent and the part in view.
    const std::int64_t tw = std::max(1, Width()), th = std::max(1, Height());
    const TRect extent = ScrollExtent();
    const double z = view_->zoom;
    const std::int64_t right =
        std::max<std::int64_t>(extent.Right, ToInt(view_->originX + ViewWidth() / z) + 1);
    const std::int64_t bottom =
        std::max<std::int64_t>(extent.Bottom, ToInt(view_->originY + ViewHeight() / z) + 1);
    const std::int64_t limit = (std::int64_t{1} << 30);
    const std::int64_t kx = std::clamp<std::int64_t>((right + tw - 1) / tw, 1, limit / tw);
    const std::int64_t ky = std::clamp<std::int64_t>((bottom + th - 1) / th, 1, limit / th);
    const std::int64_t cols = gridHorizontalChars_ > 0 ? gridHorizontalChars_ : tw / 10;
    const std::int64_t rows = gridVerticalChars_ > 0 ? gridVerticalChars_ : th / 10;
    currentGraf_->SetPage(static_cast<int>(kx * tw), static_cast<int>(ky * th),
                          static_cast<int>(std::min(kx * cols, limit)),
                          static_cast<int>(std::min(ky * rows, limit)));
}

TRect TQuorFlowChart::ViewPageArea() const {
    const double z = view_->zoom;
    return TRect{ToInt(view_->originX), ToInt(view_->originY),
                 ToInt(view_->originX + ViewWidth() / z) + 2,
                 ToInt(view_->originY + ViewHeight() / z) + 2};
}

void TQuorFlowChart::ViewDraw(TCanvas* canvas) {
    DrawGrafIndexed(*currentGraf_, *ViewIndex(), canvas, image_ == nullptr, showBoxName_,
                    showBoxText_, drawFlags_, view_->zoom);
}

void TQuorFlowChart::SyncBars() {
    if (!view_->on || !HandleAllocated()) return;
    QWidget* widget = Widget();
    if (!view_->filter) {
        view_->filter = std::make_unique<ViewFilter>(this);
        widget->installEventFilter(view_->filter.get());
        ExposeToAccessibility(widget);
    }
    const auto make = [&](Qt::Orientation orientation, bool across) {
        auto* bar = new QScrollBar(orientation, widget);
        QObject::connect(bar, &QScrollBar::valueChanged, view_->filter.get(), [this, across](int v) {
            if (view_->syncing) return;
            const double z = view_->zoom;
            if (across)
                ViewChanged(v / z, view_->originY, z);
            else
                ViewChanged(view_->originX, v / z, z);
        });
        bar->show();
        return bar;
    };
    if (!view_->hbar) view_->hbar = make(Qt::Horizontal, true);
    if (!view_->vbar) view_->vbar = make(Qt::Vertical, false);
    const int e = BarExtent(), w = ViewWidth(), h = ViewHeight();
    if (view_->hbar->geometry() != QRect(0, h, w, e)) view_->hbar->setGeometry(0, h, w, e);
    if (view_->vbar->geometry() != QRect(w, 0, e, h)) view_->vbar->setGeometry(w, 0, e, h);
    const TRect extent = ScrollExtent();
    const double z = view_->zoom;
    view_->syncing = true;
    const auto set = [](QScrollBar* bar, double from, double to, int span, double at) {
        const int low = ToInt(from), high = std::max(low, ToInt(to) - span);
        bar->setRange(low, high);
        bar->setPageStep(span);
        bar->setSingleStep(std::max(1, span / 20));
        bar->setValue(ToInt(at + 0.5));
    };
    set(view_->hbar, extent.Left * z, extent.Right * z, w, view_->originX * z);
    set(view_->vbar, extent.Top * z, extent.Bottom * z, h, view_->originY * z);
    view_->syncing = false;
}

} // namespace quorgrafica
