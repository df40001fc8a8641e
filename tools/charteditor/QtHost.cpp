#include "tools/charteditor/QtHost.h"

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

TKeyPanel::TKeyPanel(TComponent* owner) : TPanel(owner) {}

void TKeyPanel::InitWidget(QWidget* widget) {
    TPanel::InitWidget(widget);
    // A click on the chart inside gives the panel the focus.
    widget->setFocusPolicy(Qt::StrongFocus);
}

void TKeyPanel::KeyDown(unsigned short& key, TShiftState shift) {
    TPanel::KeyDown(key, shift);
    if (key && OnChartKey && OnChartKey(key, shift)) key = 0;
}

} // namespace charteditor
