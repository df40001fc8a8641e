#pragma once
// TButton: a push button. A press by the user runs OnClick; an exception
// leaving the handler is shown by the application's error display.

#include "platform/core/AnsiString.h"
#include "platform/gui/WinControl.h"

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TButton)

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    // Enter presses a default button of its form.
    bool Default() const { return default_; }
    void SetDefault(bool value);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void InitWidget(QWidget* widget) override;
    // The widget's clicked signal presses the button, not the raw release.
    bool ClicksOnRelease() const override { return false; }

private:
    friend struct ControlEvents;
    AnsiString caption_;
    bool default_ = false;
};
