#include "platform/gui/Panel.h"

#include "platform/gui/ControlWidget.h"

#include <QPainter>

namespace {

class PanelWidget : public TControlWidget<QWidget> {
public:
    PanelWidget(TPanel* panel, QWidget* parent)
        : TControlWidget<QWidget>(panel, parent), panel_(panel) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        // A raised bevel: light top and left, dark bottom and right.
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(palette().color(QPalette::Dark));
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        if (!panel_->Caption().IsEmpty()) {
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(r, Qt::AlignCenter, ToQString(panel_->Caption()));
        }
    }

private:
    TPanel* panel_;
};

} // namespace

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetCaption(const AnsiString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
}

QWidget* TPanel::CreateWidget(QWidget* parent) {
    return new PanelWidget(this, parent);
}
