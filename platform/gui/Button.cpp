#include "platform/gui/Button.h"

#include "platform/gui/ControlWidget.h"

#include <QPushButton>

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 75, 25);
}

void TButton::SetCaption(const AnsiString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (auto* button = static_cast<QPushButton*>(ExistingWidget()))
        button->setText(ToQString(caption_));
}

void TButton::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    if (auto* button = static_cast<QPushButton*>(ExistingWidget())) button->setDefault(default_);
}

QWidget* TButton::CreateWidget(QWidget* parent) {
    auto* button = new TControlWidget<QPushButton>(this, parent);
    QObject::connect(button, &QPushButton::clicked, [this] { ControlEvents::Click(this); });
    return button;
}

void TButton::InitWidget(QWidget* widget) {
    TWinControl::InitWidget(widget);
    widget->setAutoFillBackground(false);
    auto* button = static_cast<QPushButton*>(widget);
    button->setText(ToQString(caption_));
    button->setDefault(default_);
}
