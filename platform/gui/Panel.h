#pragma once
// TPanel: a container with a background and an optional centred caption.

#include "platform/core/AnsiString.h"
#include "platform/gui/WinControl.h"

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TPanel)

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);

protected:
    QWidget* CreateWidget(QWidget* parent) override;

private:
    AnsiString caption_;
};
