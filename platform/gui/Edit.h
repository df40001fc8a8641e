#pragma once
// Text editing controls: TCustomEdit holds the text and the selection, TEdit
// edits one line, TCustomMemo / TMemo several. Text uses CR LF between lines,
// as the platform's memo does; selection positions count characters of that
// text, from 0.

#include "platform/core/AnsiString.h"
#include "platform/gui/WinControl.h"

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TCustomEdit)

    AnsiString Text() const;
    // Replaces the text and raises the change.
    void SetText(const AnsiString& text);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // Characters before the caret, and the length of the selection after it.
    int SelStart() const;
    void SetSelStart(int position);
    int SelLength() const;
    void SetSelLength(int length);
    void SelectAll();
    void Clear() { SetText(AnsiString()); }
    // The selection shows only while the control has the focus (true, the
    // platform's default); false keeps it in sight.
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);

    TNotifyEvent OnChange;

protected:
    // The text changed, typed or set; raises OnChange.
    virtual void Change();
    // SetText with the caret put at once where it belongs: on a long line
    // every caret move costs a pass over the line's layout.
    void ReplaceText(const AnsiString& text, int caret);
    void InitWidget(QWidget* widget) override;
    void FontChanged() override;
    void ColorChanged() override;

    // Between the state and the widget, for the two kinds of editor.
    virtual AnsiString WidgetText() const = 0;
    virtual void SetWidgetText(const AnsiString& text) = 0;
    virtual void WidgetSelection(int& start, int& length) const = 0;
    virtual void SetWidgetSelection(int start, int length) = 0;
    virtual void SetWidgetReadOnly(bool readOnly) = 0;
    // The widget reports a change the user made.
    void TextFromWidget();

private:
    void ApplySelectionColors();

    AnsiString text_;
    int selStart_ = 0;
    int selLength_ = 0;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool pushing_ = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TEdit)

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    AnsiString WidgetText() const override;
    void SetWidgetText(const AnsiString& text) override;
    void WidgetSelection(int& start, int& length) const override;
    void SetWidgetSelection(int start, int length) override;
    void SetWidgetReadOnly(bool readOnly) override;
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TCustomMemo)

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    // Enter makes a new line (else it goes to the form); Tab types a tab.
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool want) { wantReturns_ = want; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool want);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void InitWidget(QWidget* widget) override;
    void KeyDown(unsigned short& key, TShiftState shift) override;
    AnsiString WidgetText() const override;
    void SetWidgetText(const AnsiString& text) override;
    void WidgetSelection(int& start, int& length) const override;
    void SetWidgetSelection(int start, int length) override;
    void SetWidgetReadOnly(bool readOnly) override;

private:
    void ApplyLayout();

    TAlignment alignment_ = taLeftJustify;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    bool wordWrap_ = true;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
    QUOR_CLASS_NAME(TMemo)
};
