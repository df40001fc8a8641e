#include "platform/gui/Menus.h"

#include "platform/gui/Control.h"
#include "platform/gui/ControlWidget.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>

#include <algorithm>

// Items ------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    Clear();
    if (parent_) parent_->Remove(this);
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item == this) return;
    for (TMenuItem* up = parent_; up; up = up->parent_)
        if (up == item) return; // an item cannot hold its own parent
    if (item->parent_) item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
    TMenuItem* item = Items(index);
    if (!item) return;
    Remove(item);
    delete item;
}

void TMenuItem::Clear() {
    while (!items_.empty())
        Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Click() {
    if (IsLine() || !enabled_) return;
    if (OnClick) OnClick(this);
}

// The menu on screen -------------------------------------------------------------------

struct TPopupMenu::Shown {
    QPointer<QMenu> menu;
};

namespace {

void FillMenu(QMenu* menu, const TMenuItem* items) {
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            menu->addSeparator();
            continue;
        }
        const QString caption = ToQString(item->Caption());
        if (item->Count() > 0) {
            QMenu* sub = menu->addMenu(caption);
            sub->setEnabled(item->Enabled());
            FillMenu(sub, item);
            continue;
        }
        QAction* action = menu->addAction(caption);
        action->setEnabled(item->Enabled());
        action->setCheckable(item->Checked());
        action->setChecked(item->Checked());
        QObject::connect(action, &QAction::triggered,
                         [item] { ControlEvents::Guard([item] { item->Click(); }); });
    }
}

} // namespace

TPopupMenu::TPopupMenu(TComponent* owner)
    : TComponent(owner), items_(std::make_unique<TMenuItem>()), shown_(std::make_unique<Shown>()) {}

TPopupMenu::~TPopupMenu() {
    CloseMenu();
    for (TControl* control : std::vector<TControl*>(clients_))
        control->popupMenu_ = nullptr;
    clients_.clear();
}

void TPopupMenu::Popup(int x, int y) {
    popupPoint_ = TPoint{x, y};
    if (OnPopup) OnPopup(this);
    CloseMenu();
    auto* menu = new QMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    FillMenu(menu, items_.get());
    // Closing the menu (and destroying it) disconnects its actions, so no
    // action fires for items that are gone.
    shown_->menu = menu;
    menu->popup(QPoint(x, y));
}

QMenu* TPopupMenu::MenuWidget() const {
    return shown_->menu && shown_->menu->isVisible() ? shown_->menu.data() : nullptr;
}

void TPopupMenu::CloseMenu() {
    if (!shown_->menu) return;
    QMenu* menu = shown_->menu;
    shown_->menu = nullptr;
    menu->disconnect();
    for (QAction* action : menu->findChildren<QAction*>())
        action->disconnect();
    menu->close();
    menu->deleteLater();
}

void TPopupMenu::AddClient(TControl* control) {
    if (std::find(clients_.begin(), clients_.end(), control) == clients_.end())
        clients_.push_back(control);
}

void TPopupMenu::RemoveClient(TControl* control) {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), control), clients_.end());
}

// The control's side -------------------------------------------------------------------

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveClient(this);
    popupMenu_ = menu;
    if (popupMenu_) popupMenu_->AddClient(this);
}

bool ControlEvents::ContextMenu(TControl* control, QContextMenuEvent* event) {
    TPopupMenu* menu = control->PopupMenu();
    if (!menu || !menu->AutoPopup()) return false;
    const QPoint at = event->globalPos();
    Guard([&] {
        menu->SetPopupComponent(control);
        menu->Popup(at.x(), at.y());
    });
    return true;
}
