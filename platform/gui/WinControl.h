#pragma once
// TWinControl: a control that holds other controls. It keeps its children in
// the order they were parented and places the aligned ones.

#include "platform/gui/Control.h"

#include <vector>

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner = nullptr);
    ~TWinControl() override;
    QUOR_CLASS_NAME(TWinControl)

    int ControlCount() const { return static_cast<int>(children_.size()); }
    // Null outside 0..ControlCount()-1.
    TControl* Controls(int index) const;
    bool ContainsControl(const TControl* control) const;

    // Places the children with an Align other than alNone: top ones from the
    // top down, then bottom, left, right, and the client one in what remains.
    void AlignControls();

    void SetFocus();
    bool Focused() const;

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void InitWidget(QWidget* widget) override;
    void DestroyWidget() override;
    void Resize() override;

    // Keyboard hooks: the base raises the events. A key set to 0 goes no
    // further; a character changed in KeyPress is the one typed.
    virtual void KeyDown(unsigned short& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void KeyUp(unsigned short& key, TShiftState shift);
    virtual void DoEnter();
    virtual void DoExit();

    // The widget children are created in; the control's own widget by default.
    virtual QWidget* ChildParentWidget();
    // A child's widget has just been created inside ours (a page control
    // turns it into a tab).
    virtual void ChildWidgetCreated(TControl* child, QWidget* widget);
    virtual void ChildAdded(TControl* child);
    virtual void ChildRemoved(TControl* child);

private:
    friend class TControl;
    friend struct ControlEvents;
    void InsertChild(TControl* child);
    void RemoveChild(TControl* child);

    std::vector<TControl*> children_;
    bool aligning_ = false;
};
