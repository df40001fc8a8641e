#include "tools/charteditor/QtHost.h"

#include <QEvent>
#include <QKeyEvent>

#include <QWidget>

namespace charteditor {

TQtHost::TQtHost(TComponent* owner, QWidget* widget) : TWinControl(owner), hosted_(widget) {
    if (hosted_) SetHeight(hosted_->sizeHint().height());
}

TQtHost::~TQtHost() {
    DestroyWidget();
    delete hosted_.data();
}

void TQtHost::InitWidget(QWidget* widget) {
    TWinControl::InitWidget(widget);
    if (!hosted_) return;
    hosted_->setParent(widget);
    hosted_->setGeometry(0, 0, Width(), Height());
    hosted_->show();
}

void TQtHost::DestroyWidget() {
    // The hosted widget outlives ours: it goes with the host.
    if (hosted_) {
        hosted_->hide();
        hosted_->setParent(nullptr);
    }
    TWinControl::DestroyWidget();
}

void TQtHost::Resize() {
    TWinControl::Resize();
    if (hosted_ && HandleAllocated()) hosted_->setGeometry(0, 0, Width(), Height());
}

namespace {

// Tab and Shift+Tab walk the chart's boxes instead of moving the focus on.
class TabKeys : public QObject {
public:
    explicit TabKeys(TKeyPanel* panel) : QObject(nullptr), panel_(panel) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
            if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                panel_->OnChartKey) {
                TShiftState shift;
                if (key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier))
                    shift << ssShift;
                if (panel_->OnChartKey(VK_TAB, shift)) return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TKeyPanel* panel_;
};

} // namespace

TKeyPanel::TKeyPanel(TComponent* owner) : TPanel(owner) {}

void TKeyPanel::InitWidget(QWidget* widget) {
    TPanel::InitWidget(widget);
    // A click on the chart inside gives the panel the focus.
    widget->setFocusPolicy(Qt::StrongFocus);
    auto* tabs = new TabKeys(this);
    tabs->setParent(widget);
    widget->installEventFilter(tabs);
}

void TKeyPanel::KeyDown(unsigned short& key, TShiftState shift) {
    TPanel::KeyDown(key, shift);
    if (key && OnChartKey && OnChartKey(key, shift)) key = 0;
}

} // namespace charteditor
