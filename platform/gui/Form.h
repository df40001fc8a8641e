#pragma once
// TForm: a top-level window. Forms start hidden; Show() opens the window and
// raises OnShow, Close() hides it (closing the main form ends the program's
// message loop). Closing, by Close() or by the user, first asks CloseQuery:
// OnCloseQuery may keep the window open (unsaved work, say).

#include "platform/core/AnsiString.h"
#include "platform/gui/WinControl.h"

#include <functional>

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner = nullptr);
    ~TForm() override;
    QUOR_CLASS_NAME(TForm)

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }

    // Showing the form opens its window and raises OnShow.
    void SetVisible(bool visible) override;
    // Unless CloseQuery refuses, hides the form and raises OnClose.
    void Close();
    bool Showing() const;
    // Whether the form may close: OnCloseQuery decides, canClose being true
    // on entry. An exception leaving the handler keeps the form open.
    virtual bool CloseQuery();

    TNotifyEvent OnShow;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnClose;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void InitWidget(QWidget* widget) override;

private:
    friend struct ControlEvents;
    void ClosedByUser();
    void DoShow();

    AnsiString caption_;
    TPosition position_ = poDesigned;
};
