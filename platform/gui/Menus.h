#pragma once
// Menus: TMenuItem, one command of a menu (or, with items of its own, a
// submenu), and TPopupMenu, the menu a control shows on a right click.
//
// An item whose Caption is "-" is a separator line and cannot be chosen.
// Choosing an item runs its OnClick; an exception leaving it goes to the
// application's error display. An item destroys its own items; an item
// created with an owner may also be destroyed by it, and leaves its parent
// item then.
//
// A control shows its PopupMenu (TControl::SetPopupMenu) at the mouse on a
// right click when the menu's AutoPopup is on (the default). The control
// does not own the menu; a menu being destroyed leaves every control that
// shows it.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"
#include "platform/core/Types.h"
#include "platform/gui/ControlTypes.h"

#include <memory>
#include <vector>

class QMenu;
class TControl;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner = nullptr);
    ~TMenuItem() override;
    QUOR_CLASS_NAME(TMenuItem)

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption) { caption_ = caption; }
    // A separator: the caption "-".
    bool IsLine() const { return caption_ == "-"; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }
    // Index in the menu's image list; -1 for none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { imageIndex_ = index; }

    // The items of a submenu.
    int Count() const { return static_cast<int>(items_.size()); }
    // Null outside 0..Count()-1.
    TMenuItem* Items(int index) const;
    TMenuItem* operator[](int index) const { return Items(index); }
    // Appends an item (taken from any other parent); the item is now this one's.
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out without destroying it.
    void Remove(TMenuItem* item);
    // Destroys the item at index, or every item.
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const { return parent_; }
    // Position among the parent's items, -1 without parent.
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

    // Runs OnClick as choosing the item does; a separator or a disabled
    // item does nothing.
    virtual void Click();

    TNotifyEvent OnClick;

private:
    AnsiString caption_;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    int imageIndex_ = -1;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner = nullptr);
    ~TPopupMenu() override;
    QUOR_CLASS_NAME(TPopupMenu)

    // The menu's items.
    TMenuItem* Items() const { return items_.get(); }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }
    // The control the menu was last shown for.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component) { popupComponent_ = component; }
    // Where the menu was last shown, in screen coordinates.
    TPoint PopupPoint() const { return popupPoint_; }

    // Runs OnPopup, then shows the menu at (x, y) of the screen; the call
    // returns at once, and the item the user chooses is clicked later.
    virtual void Popup(int x, int y);
    // The menu on screen, null when it is not shown.
    QMenu* MenuWidget() const;
    void CloseMenu();

    TNotifyEvent OnPopup;

private:
    friend class TControl;
    void AddClient(TControl* control);
    void RemoveClient(TControl* control);

    std::unique_ptr<TMenuItem> items_;
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
    TPoint popupPoint_{};
    std::vector<TControl*> clients_;
    struct Shown;
    std::unique_ptr<Shown> shown_;
};
