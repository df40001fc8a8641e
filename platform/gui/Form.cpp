#include "platform/gui/Form.h"

#include "platform/gui/ControlWidget.h"
#include "platform/gui/Forms.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {

class FormWidget : public TControlWidget<QWidget> {
public:
    explicit FormWidget(TForm* form) : TControlWidget<QWidget>(form, nullptr), form_(form) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        // A handler that fails keeps the window open.
        bool canClose = false;
        ControlEvents::Guard([&] { canClose = form_->CloseQuery(); });
        if (!canClose) {
            event->ignore();
            return;
        }
        event->accept();
        ControlEvents::FormClosedByUser(form_);
    }

private:
    TForm* form_;
};

} // namespace

void ControlEvents::FormClosedByUser(TForm* form) {
    Guard([&] { form->ClosedByUser(); });
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    SetBounds(0, 0, 640, 480);
}

TForm::~TForm() {
    if (TGuiApplication* app = TGuiApplication::Instance()) app->FormDestroyed(this);
}

void TForm::SetCaption(const AnsiString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (QWidget* w = ExistingWidget()) w->setWindowTitle(ToQString(caption_));
}

QWidget* TForm::CreateWidget(QWidget*) {
    return new FormWidget(this);
}

void TForm::InitWidget(QWidget* widget) {
    widget->setWindowTitle(ToQString(caption_));
    TWinControl::InitWidget(widget);
}

void TForm::SetVisible(bool visible) {
    if (visible == Visible()) return;
    if (!visible) {
        TControl::SetVisible(false);
        return;
    }
    QWidget* widget = Widget();
    if (position_ == poScreenCenter || position_ == poDesktopCenter ||
        position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            SetBounds(area.x() + (area.width() - Width()) / 2,
                      area.y() + (area.height() - Height()) / 2, Width(), Height());
        }
    }
    TControl::SetVisible(true);
    widget->show();
    DoShow();
}

void TForm::DoShow() {
    if (OnShow) OnShow(this);
}

bool TForm::Showing() const {
    return Visible() && ExistingWidget() && ExistingWidget()->isVisible();
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (!CloseQuery()) return;
    if (OnClose) OnClose(this);
    SetVisible(false);
    if (TGuiApplication* app = TGuiApplication::Instance()) app->FormClosed(this);
}

void TForm::ClosedByUser() {
    if (OnClose) OnClose(this);
    // The window is closing on its own; only the state follows.
    TControl::SetVisible(false);
    if (TGuiApplication* app = TGuiApplication::Instance()) app->FormClosed(this);
}
