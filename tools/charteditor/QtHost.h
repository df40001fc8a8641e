#pragma once
// Platform controls for the parts of the editor's window the platform has no
// control for: TQtHost shows a Qt widget of the window's chrome (the menu
// bar, the tool bar) over its whole area, and TKeyPanel is a panel that
// takes the keyboard focus when clicked, so that the keys typed over the
// chart reach it and not the box panel's fields.

#include "platform/gui/Panel.h"
#include "platform/gui/WinControl.h"

#include <QPointer>

#include <functional>

class QWidget;

namespace charteditor {

class TQtHost : public TWinControl {
public:
    // The host owns widget and takes its preferred height.
    TQtHost(TComponent* owner, QWidget* widget);
    ~TQtHost() override;
    QUOR_CLASS_NAME(TQtHost)

    QWidget* Hosted() const { return hosted_; }

protected:
    void InitWidget(QWidget* widget) override;
    void DestroyWidget() override;
    void Resize() override;

private:
    QPointer<QWidget> hosted_;
};

class TKeyPanel : public TPanel {
public:
    explicit TKeyPanel(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TKeyPanel)

    // A key pressed while the panel has the focus; true takes it.
    std::function<bool(unsigned short key, TShiftState shift)> OnChartKey;

protected:
    void InitWidget(QWidget* widget) override;
    void KeyDown(unsigned short& key, TShiftState shift) override;
};

} // namespace charteditor
