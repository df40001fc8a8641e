#include "GuiTestSupport.h"

#include "platform/core/Exception.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/gui/Edit.h"
#include "platform/gui/Form.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Panel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

#include <string>
#include <vector>

namespace {

TMenuItem* Item(TComponent* owner, const char* caption, int tag = 0) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->SetTag(tag);
    return item;
}

std::vector<std::string> ActionTexts(const QMenu* menu) {
    std::vector<std::string> texts;
    for (const QAction* action : menu->actions())
        texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    return texts;
}

} // namespace

TEST(MenuItem, ItemsBelongToOneParentAndLeaveItWhenDestroyedEitherWay) {
    TComponent owner;
    TMenuItem root;
    TMenuItem* a = Item(&owner, "A");
    TMenuItem* b = Item(&owner, "B");
    TMenuItem* c = Item(&owner, "C");
    root.Add(a);
    root.Add(c);
    root.Insert(1, b);
    EXPECT_EQ(root.Count(), 3);
    EXPECT_EQ(root[1], b);
    EXPECT_EQ(b->Parent(), &root);
    EXPECT_EQ(c->MenuIndex(), 2);
    // Adding to another parent takes it from the first.
    b->Add(c);
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(c->Parent(), b);
    // An item cannot hold its own parent.
    c->Add(b);
    EXPECT_EQ(b->Parent(), &root);
    // The owner destroys an item: its parent lets go of it.
    delete a;
    EXPECT_EQ(root.Count(), 1);
    EXPECT_EQ(owner.ComponentCount(), 2);
    // The parent destroys an item: its owner lets go of it, and of its items.
    root.Delete(0);
    EXPECT_EQ(root.Count(), 0);
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(MenuItem, ClickRunsOnlyEnabledCommands) {
    int clicks = 0;
    TMenuItem item;
    item.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &item);
        ++clicks;
    };
    item.Click();
    item.SetEnabled(false);
    item.Click();
    item.SetEnabled(true);
    item.SetCaption("-");
    EXPECT_TRUE(item.IsLine());
    item.Click();
    EXPECT_EQ(clicks, 1);
}

TEST(PopupMenu, ShowsItsItemsAndClicksTheOneChosen) {
    TestApp();
    ScopedScriptedDialogs dialogs;
    TPopupMenu menu;
    std::vector<int> chosen;
    auto choose = [&](TObject* sender) { chosen.push_back(static_cast<TMenuItem*>(sender)->Tag()); };
    for (auto [caption, tag] : std::vector<std::pair<const char*, int>>{
             {"Nuova", 0}, {"-", -1}, {"Nascosta", 9}, {"Sottomenu", 7}, {"Errore", 8}}) {
        TMenuItem* item = Item(&menu, caption, tag);
        item->OnClick = choose;
        menu.Items()->Add(item);
    }
    menu.Items()->Items(2)->SetVisible(false);
    TMenuItem* sub = Item(&menu, "Dentro", 3);
    sub->OnClick = choose;
    menu.Items()->Items(3)->Add(sub);
    menu.Items()->Items(4)->OnClick = [](TObject*) { throw Exception("Comando fallito"); };
    int popups = 0;
    menu.OnPopup = [&](TObject*) { ++popups; };

    menu.Popup(50, 60);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu.PopupPoint(), (TPoint{50, 60}));
    QMenu* shown = menu.MenuWidget();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(ActionTexts(shown), (std::vector<std::string>{"Nuova", "-", "Sottomenu", "Errore"}));
    shown->actions()[0]->trigger();
    ASSERT_NE(shown->actions()[2]->menu(), nullptr);
    shown->actions()[2]->menu()->actions()[0]->trigger();
    EXPECT_EQ(chosen, (std::vector<int>{0, 3}));
    // A failing command is reported, not thrown into the toolkit.
    shown->actions()[3]->trigger();
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].kind, ScriptedDialogs::Kind::ShowException);
    EXPECT_EQ(dialogs->Questions()[0].text, AnsiString("Comando fallito."));
    menu.CloseMenu();
    EXPECT_EQ(menu.MenuWidget(), nullptr);
}

TEST(PopupMenu, ARightClickShowsTheControlsMenuWhenAutoPopupIsOn) {
    TestApp();
    TForm form;
    form.SetBounds(0, 0, 200, 200);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 100, 100);
    auto* menu = new TPopupMenu(&form);
    menu->Items()->Add(Item(menu, "Voce"));
    panel->SetPopupMenu(menu);
    form.Show();
    QWidget* widget = panel->Widget();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(widget, &event);
    ASSERT_NE(menu->MenuWidget(), nullptr);
    EXPECT_EQ(menu->PopupComponent(), panel);
    EXPECT_EQ(menu->PopupPoint(), (TPoint{widget->mapToGlobal(QPoint(5, 5)).x(),
                                          widget->mapToGlobal(QPoint(5, 5)).y()}));
    menu->CloseMenu();
    menu->SetAutoPopup(false);
    QApplication::sendEvent(widget, &event);
    EXPECT_EQ(menu->MenuWidget(), nullptr);
    // A menu that goes away leaves the controls that showed it.
    delete menu;
    EXPECT_EQ(panel->PopupMenu(), nullptr);
    QApplication::sendEvent(widget, &event);
}

// A menu is a popup: the control it was shown for keeps the focus as the form
// sees it, before and after the user chooses.
TEST(PopupMenu, TheControlKeepsTheFocusWhileItsMenuIsOpen) {
    TestApp();
    TForm form;
    form.SetBounds(0, 0, 200, 200);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 10, 150, 22);
    auto* menu = new TPopupMenu(&form);
    int chosen = 0;
    TMenuItem* item = Item(menu, "Voce");
    item->OnClick = [&](TObject*) { ++chosen; };
    menu->Items()->Add(item);
    edit->SetPopupMenu(menu);
    int enters = 0;
    int exits = 0;
    edit->OnEnter = [&](TObject*) { ++enters; };
    edit->OnExit = [&](TObject*) { ++exits; };
    QWidget* widget = edit->Widget();
    ASSERT_TRUE(GiveFocus(widget)) << "the platform does not activate windows";
    EXPECT_EQ(enters, 1);

    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(widget, &event);
    QApplication::processEvents();
    QMenu* shown = menu->MenuWidget();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(exits, 0);
    KeyToWindow(widget, Qt::Key_Down);
    KeyToWindow(widget, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(menu->MenuWidget(), nullptr);
    EXPECT_TRUE(widget->hasFocus());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 0);

    QApplication::sendEvent(widget, &event);
    QApplication::processEvents();
    ASSERT_NE(menu->MenuWidget(), nullptr);
    KeyToWindow(widget, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(menu->MenuWidget(), nullptr);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 0);
}
