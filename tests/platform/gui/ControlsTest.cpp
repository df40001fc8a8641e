#include "GuiTestSupport.h"

#include "platform/core/Exception.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/graphics/Font.h"
#include "platform/gui/Button.h"
#include "platform/gui/Form.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/PaintBox.h"
#include "platform/gui/Panel.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

namespace {

TPanel* MakePanel(TForm* form, TAlign align, int left, int top, int width, int height) {
    auto* panel = new TPanel(form);
    panel->SetBounds(left, top, width, height);
    panel->SetParent(form);
    panel->SetAlign(align);
    return panel;
}

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, mods);
    QApplication::sendEvent(widget, &event);
}

} // namespace

TEST(Align, SidesAreTakenInOrderAndClientGetsTheRest) {
    TestApp();
    TForm form;
    form.SetBounds(0, 0, 400, 300);
    TPanel* top = MakePanel(&form, alTop, 0, 0, 10, 40);
    TPanel* bottom = MakePanel(&form, alBottom, 0, 0, 10, 30);
    TPanel* left = MakePanel(&form, alLeft, 0, 0, 50, 10);
    TPanel* right = MakePanel(&form, alRight, 0, 0, 60, 10);
    TPanel* client = MakePanel(&form, alClient, 5, 5, 5, 5);
    TPanel* loose = MakePanel(&form, alNone, 7, 8, 9, 10);

    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 40));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 270, 400, 300));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 40, 50, 270));
    EXPECT_EQ(right->BoundsRect(), Rect(340, 40, 400, 270));
    EXPECT_EQ(client->BoundsRect(), Rect(50, 40, 340, 270));
    EXPECT_EQ(loose->BoundsRect(), Rect(7, 8, 16, 18));

    // Resizing the container realigns; a hidden control gives its room away.
    form.SetBounds(0, 0, 500, 400);
    EXPECT_EQ(client->BoundsRect(), Rect(50, 40, 440, 370));
    top->SetVisible(false);
    EXPECT_EQ(client->BoundsRect(), Rect(50, 0, 440, 370));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 50, 370));

    // A second top control below the first keeps its place in the stack.
    top->SetVisible(true);
    TPanel* second = MakePanel(&form, alTop, 0, 100, 10, 20);
    EXPECT_EQ(second->BoundsRect(), Rect(0, 40, 500, 60));
    EXPECT_EQ(client->BoundsRect(), Rect(50, 60, 440, 370));
    // Changing the height of an aligned control pushes the others.
    top->SetHeight(50);
    EXPECT_EQ(second->Top(), 50);
    EXPECT_EQ(client->Top(), 70);
}

TEST(Align, WidgetsShowTheStateAndFeedBackWindowResizes) {
    TestApp();
    TForm form;
    form.SetBounds(10, 10, 300, 200);
    TPanel* top = MakePanel(&form, alTop, 0, 0, 0, 41);
    TPanel* client = MakePanel(&form, alClient, 0, 0, 0, 0);
    QWidget* window = form.Widget();
    ASSERT_TRUE(window->isWindow());
    ASSERT_TRUE(top->HandleAllocated());
    EXPECT_EQ(top->Widget()->parentWidget(), window);
    EXPECT_EQ(client->Widget()->geometry(), QRect(0, 41, 300, 159));

    // The user resizes the window: the state follows and the layout with it.
    form.Show();
    window->resize(320, 260);
    EXPECT_EQ(form.Width(), 320);
    EXPECT_EQ(form.Height(), 260);
    EXPECT_EQ(client->BoundsRect(), Rect(0, 41, 320, 260));
    EXPECT_EQ(client->Widget()->geometry(), QRect(0, 41, 320, 219));

    // A control parented to a form that already has its window joins it.
    auto* late = new TPanel(&form);
    late->SetBounds(3, 4, 20, 10);
    late->SetParent(&form);
    ASSERT_TRUE(late->HandleAllocated());
    EXPECT_EQ(late->Widget()->geometry(), QRect(3, 4, 20, 10));
}

TEST(Controls, ParentLinksSurviveEitherDestructionOrder) {
    TestApp();
    auto* outer = new TPanel;
    auto* inner = new TPanel;
    auto* leaf = new TPanel;
    inner->SetParent(outer);
    leaf->SetParent(inner);
    EXPECT_THROW(outer->SetParent(leaf), Exception);
    EXPECT_TRUE(outer->ContainsControl(leaf));
    EXPECT_EQ(outer->ControlCount(), 1);
    EXPECT_EQ(outer->Controls(0), inner);
    EXPECT_EQ(outer->Controls(1), nullptr);

    QPointer<QWidget> leafWidget = (outer->Widget(), leaf->Widget());
    ASSERT_FALSE(leafWidget.isNull());
    // Destroying a child takes it and its widget out of the parent.
    delete leaf;
    EXPECT_EQ(inner->ControlCount(), 0);
    EXPECT_TRUE(leafWidget.isNull());

    // Destroying the parent first leaves the child alone and parentless.
    QPointer<QWidget> innerWidget = inner->Widget();
    delete outer;
    EXPECT_EQ(inner->Parent(), nullptr);
    EXPECT_FALSE(inner->HandleAllocated());
    EXPECT_TRUE(innerWidget.isNull());
    delete inner;

    // Owned controls go with their owner whatever their parents.
    TForm* form = new TForm;
    auto* a = new TPanel(form);
    auto* b = new TPanel(form);
    b->SetParent(a);
    a->SetParent(form);
    form->Widget();
    delete form;
}

TEST(Button, ClickRunsTheHandlerAndUserClicksShowErrors) {
    TestApp();
    TForm form;
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetCaption("Copia negli appunti");
    TObject* sender = nullptr;
    int clicks = 0;
    button->OnClick = [&](TObject* s) {
        sender = s;
        ++clicks;
    };
    button->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, button);

    auto* qt = qobject_cast<QPushButton*>(button->Widget());
    ASSERT_NE(qt, nullptr);
    EXPECT_EQ(qt->text(), QString("Copia negli appunti"));
    qt->click();
    EXPECT_EQ(clicks, 2);

    // Pressed in code, an error reaches the caller; pressed by the user, the
    // application shows it; an abort stays silent.
    ScopedScriptedDialogs dialogs;
    button->OnClick = [](TObject*) { throw EDatabaseError("Tabella 'MovConti' non trovata"); };
    EXPECT_THROW(button->Click(), EDatabaseError);
    EXPECT_TRUE(dialogs->Questions().empty());
    qt->click();
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].kind, ScriptedDialogs::Kind::ShowException);
    EXPECT_EQ(dialogs->Questions()[0].text.Pos("Tabella 'MovConti' non trovata"), 1);
    button->OnClick = [](TObject*) { Abort(); };
    qt->click();
    EXPECT_EQ(dialogs->Questions().size(), 1u);

    // A press and release over the button clicks once, not twice.
    button->OnClick = [&](TObject*) { ++clicks; };
    qt->setGeometry(0, 0, 80, 25);
    SendMouse(qt, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
    SendMouse(qt, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5));
    EXPECT_EQ(clicks, 3);
}

TEST(Mouse, EventsReachTheHooksWithButtonShiftAndPosition) {
    TestApp();
    TForm form;
    auto* box = new TPaintBox(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 100, 80);
    std::vector<std::string> log;
    box->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        log.push_back("down " + std::to_string(b) + (s.Contains(ssShift) ? " shift" : "") +
                      (s.Contains(ssDouble) ? " double" : "") +
                      (s.Contains(ssLeft) ? " left" : "") + " " + std::to_string(x) + "," +
                      std::to_string(y));
    };
    box->OnMouseMove = [&](TObject*, TShiftState s, int x, int y) {
        log.push_back("move" + std::string(s.Contains(ssCtrl) ? " ctrl " : " ") +
                      std::to_string(x) + "," + std::to_string(y));
    };
    box->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
        log.push_back("up " + std::to_string(b) + " " + std::to_string(x) + "," +
                      std::to_string(y));
    };
    box->OnClick = [&](TObject*) { log.push_back("click"); };
    box->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
    QWidget* w = box->Widget();

    SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(3, 4), Qt::ShiftModifier);
    SendMouse(w, QEvent::MouseMove, Qt::LeftButton, QPoint(6, 7), Qt::ControlModifier);
    SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(6, 7));
    SendMouse(w, QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(6, 7));
    // A right press does not click; a release outside the control does not either.
    SendMouse(w, QEvent::MouseButtonPress, Qt::RightButton, QPoint(1, 1));
    SendMouse(w, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(1, 1));
    SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(1, 1));
    SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(150, 1));

    const std::vector<std::string> expected = {
        "down 0 shift left 3,4",  "move ctrl 6,7", "click",    "up 0 6,7",        "dblclick",
        "down 0 double left 6,7", "down 1 1,1",    "up 1 1,1", "down 0 left 1,1", "up 0 150,1"};
    EXPECT_EQ(log, expected);
}

TEST(PageControl, SheetsTabsAndActivePageStayInStep) {
    TestApp();
    TForm form;
    form.SetBounds(0, 0, 400, 300);
    auto* pages = new TPageControl(&form);
    pages->SetParent(&form);
    pages->SetAlign(alClient);
    EXPECT_EQ(pages->ActivePage(), nullptr);
    EXPECT_EQ(pages->ActivePageIndex(), -1);
    auto* first = new TTabSheet(&form);
    first->SetCaption("Scelta Condominio");
    first->SetPageControl(pages);
    auto* second = new TTabSheet(&form);
    second->SetCaption("Conto Corrente");
    second->SetPageControl(pages);
    auto* panel = new TPanel(&form);
    panel->SetParent(second);
    panel->SetAlign(alTop);
    panel->SetHeight(41);

    // The first sheet is active; sheets fill the page area.
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), first);
    EXPECT_EQ(second->PageIndex(), 1);
    EXPECT_GT(second->Width(), 300);
    EXPECT_EQ(panel->Width(), second->Width());

    pages->SetActivePageIndex(1);
    EXPECT_EQ(pages->ActivePage(), second);
    pages->SetActivePageIndex(5);
    EXPECT_EQ(pages->ActivePage(), nullptr);
    pages->SetActivePage(first);
    EXPECT_EQ(pages->ActivePageIndex(), 0);

    auto* tabs = qobject_cast<QTabWidget*>(pages->Widget());
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), QString("Conto Corrente"));
    EXPECT_EQ(tabs->currentIndex(), 0);

    // The user picks the second tab.
    int changes = 0;
    pages->OnChange = [&](TObject*) { ++changes; };
    tabs->setCurrentIndex(1);
    EXPECT_EQ(pages->ActivePage(), second);
    EXPECT_EQ(changes, 1);
    second->SetCaption("Conto \x80");
    EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("Conto \u20AC"));

    // The page widget's size, decided by Qt, reaches the sheet and its children.
    form.Show();
    form.Widget()->resize(500, 350);
    QWidget* page = second->Widget();
    EXPECT_EQ(second->Width(), page->width());
    EXPECT_EQ(panel->Width(), page->width());

    // A sheet destroyed leaves the page control.
    delete first;
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_EQ(pages->ActivePage(), second);
    EXPECT_EQ(second->PageIndex(), 0);
}

TEST(Form, ShowCloseAndCaption) {
    TestApp();
    TForm form;
    form.SetCaption("L'archivio \xE8 utilizzato");
    int shows = 0, closes = 0;
    form.OnShow = [&](TObject*) { ++shows; };
    form.OnClose = [&](TObject*) { ++closes; };
    EXPECT_FALSE(form.Visible());
    form.Show();
    EXPECT_TRUE(form.Showing());
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(form.Widget()->windowTitle(), QString::fromUtf8("L'archivio è utilizzato"));
    form.Show();
    EXPECT_EQ(shows, 1);
    form.Close();
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(form.Widget()->isVisible());
    EXPECT_EQ(closes, 1);
    // Closed by the window manager.
    form.Show();
    EXPECT_EQ(shows, 2);
    form.Widget()->close();
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(closes, 2);
}

TEST(Form, CloseQueryMayKeepTheWindowOpen) {
    TestApp();
    TForm form;
    bool allow = false;
    int asked = 0, closes = 0;
    form.OnCloseQuery = [&](TObject* sender, bool& canClose) {
        EXPECT_EQ(sender, &form);
        EXPECT_TRUE(canClose);
        ++asked;
        canClose = allow;
    };
    form.OnClose = [&](TObject*) { ++closes; };
    form.Show();
    form.Close();
    EXPECT_TRUE(form.Showing());
    form.Widget()->close();
    EXPECT_TRUE(form.Showing());
    EXPECT_TRUE(form.Widget()->isVisible());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(closes, 0);

    // A handler that fails keeps the window open: the user sees the error.
    ScopedScriptedDialogs dialogs;
    form.OnCloseQuery = [](TObject*, bool&) { throw Exception("Salvataggio non riuscito"); };
    EXPECT_THROW(form.Close(), Exception);
    form.Widget()->close();
    EXPECT_TRUE(form.Showing());
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].text.Pos("Salvataggio non riuscito"), 1);

    form.OnCloseQuery = [&](TObject* sender, bool& canClose) {
        canClose = true;
        EXPECT_EQ(sender, &form);
    };
    form.Widget()->close();
    EXPECT_FALSE(form.Showing());
    EXPECT_EQ(closes, 1);
    form.Show();
    form.Close();
    EXPECT_FALSE(form.Showing());
    EXPECT_EQ(closes, 2);
}

TEST(Font, ChildrenUseTheParentsFontUntilTheyGetTheirOwn) {
    TestApp();
    TForm form;
    form.Font()->SetName("DejaVu Sans");
    form.Font()->SetHeight(-11);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* button = new TButton(&form);
    button->SetParent(panel);
    auto* own = new TButton(&form);
    own->SetParent(panel);
    own->Font()->SetHeight(-20);
    EXPECT_TRUE(button->ParentFont());
    EXPECT_FALSE(own->ParentFont());
    EXPECT_EQ(button->Font()->Name(), AnsiString("DejaVu Sans"));
    EXPECT_EQ(button->Font()->Height(), -11);

    // A change of the form's font runs down to every child that follows it.
    form.Widget();
    form.Font()->SetHeight(-14);
    form.Font()->SetStyle(fsBold);
    EXPECT_EQ(panel->Font()->Height(), -14);
    EXPECT_EQ(button->Font()->Height(), -14);
    EXPECT_EQ(own->Font()->Height(), -20);
    EXPECT_TRUE(button->Widget()->font().bold());
    EXPECT_EQ(button->Widget()->font().pixelSize(), 14);

    // Asked to follow again, the control takes the parent's font at once.
    own->SetParentFont(true);
    EXPECT_EQ(own->Font()->Height(), -14);
}
