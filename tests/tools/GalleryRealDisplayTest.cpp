// The gallery's window on a real X display (the tests' own Xvfb session),
// driven through the window system as the user drives it.

#include "tests/tools/GalleryFixture.h"

#include "tests/tools/ArchiveQueries.h"
#include "tests/xsession/XSession.h"

#include "controls/DBQuorLookupComboBox.h"
#include "controls/QuorTreeView.h"
#include "platform/gui/Menus.h"
#include "platform/gui/DragDrop.h"
#include "platform/gui/Forms.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include <string>

namespace {

class GalleryOnXTest : public gallerytest::GalleryWindowTest {
protected:
    void SetUp() override {
        if (!XSession::Shared().UseForQt()) GTEST_SKIP() << XSession::Shared().Problem();
        GalleryWindowTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    }

    // The window open and shown by the X server, and active.
    void OpenShown() {
        Open();
        window_ = form_->Widget()->windowHandle();
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_, 60000));
        ASSERT_TRUE(XSession::Shared().WaitForWindow(form_->Caption().str(), 60000))
            << "the window is not mapped on the display";
        form_->Widget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_, 60000));
    }
    // A point of the tree's viewport, in the window's coordinates.
    QPoint InWindow(const QPoint& inViewport) const {
        return view_->viewport()->mapTo(form_->Widget(), inViewport);
    }

    QWindow* window_ = nullptr;
};

TEST_F(GalleryOnXTest, ADragInTheTreeMovesTheAccountAndWritesItsParent) {
    OpenShown();
    TTreeNode* manutenzioni = Child(nullptr, "Manutenzioni");
    Click(manutenzioni);
    TTreeNode* ascensore = Child(manutenzioni, "Ascensore");
    Click(ascensore);
    TTreeNode* verifica = Child(ascensore, "Verifica biennale");
    TTreeNode* impianti = Child(manutenzioni, "Impianti");
    ASSERT_NE(verifica, nullptr);
    ASSERT_NE(impianti, nullptr);
    const int key = NodeKey(verifica);

    // Press, move past the drag threshold, move onto the target, release:
    // each event handed to the window system for the window.
    const QPoint start = InWindow(Centre(verifica)), end = InWindow(Centre(impianti));
    QTest::mousePress(window_, Qt::LeftButton, {}, start);
    QTest::mouseMove(window_, start + QPoint(DragThreshold + 3, 0));
    QTest::mouseMove(window_, (start + end) / 2);
    QTest::mouseMove(window_, end);
    QTest::mouseRelease(window_, Qt::LeftButton, {}, end);

    EXPECT_EQ(Copy("SELECT Padre FROM PianoConti WHERE IdConto = " + std::to_string(key)),
              std::to_string(NodeKey(impianti)));
    EXPECT_EQ(verifica->Parent(), impianti);
    EXPECT_EQ(impianti->GetLastChild(), verifica);
    EXPECT_EQ(Original("SELECT Padre FROM PianoConti WHERE IdConto = " + std::to_string(key)),
              std::to_string(NodeKey(ascensore)));
}

} // namespace

namespace {

// The popup the window system shows now, if any.
QWidget* OpenPopup() {
    return QApplication::activePopupWidget();
}

TEST_F(GalleryOnXTest, F4OnTheFocusedLookupBoxShowsItsListThatAClickOutsideOrAnotherWindowClosesUnchosen) {
    OpenShown();
    TDBQuorLookupComboBox* box = form_->cboCausale;
    const std::string before = box->Text().str();
    const std::string cause = Movement("idCausale");
    // The box focused as the user focuses it: clicked.
    QWidget* boxWidget = box->Widget();
    QTest::mouseClick(window_, Qt::LeftButton, {},
                      boxWidget->mapTo(form_->Widget(), QPoint(6, boxWidget->height() / 2)));
    if (box->ListVisible()) {
        // A click on a combo box may open its list itself: closed again unchosen.
        QTest::keyClick(window_, Qt::Key_Escape);
    }
    ASSERT_FALSE(box->ListVisible());
    ASSERT_TRUE(boxWidget->hasFocus() || boxWidget->isAncestorOf(QApplication::focusWidget()));

    QTest::keyClick(window_, Qt::Key_F4);
    QWidget* popup = OpenPopup();
    ASSERT_TRUE(box->ListVisible());
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->windowHandle(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup->windowHandle(), 60000));
    EXPECT_TRUE(popup->isVisible());
    // It stays open while the window system settles the focus.
    QTest::qWait(200);
    EXPECT_TRUE(box->ListVisible()) << "the list closed by itself";
    EXPECT_TRUE(popup->isVisible());

    // A click outside it, on the tree, closes it and chooses nothing.
    QTest::keyClick(popup->windowHandle(), Qt::Key_Down);
    const QPoint outside = InWindow(QPoint(10, 10));
    QTest::mouseClick(window_, Qt::LeftButton, {}, outside);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(OpenPopup(), nullptr);
    EXPECT_EQ(box->Text().str(), before);
    EXPECT_EQ(Movement("idCausale"), cause);

    // Another window becoming active closes it too, unchosen.
    boxWidget->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(window_, Qt::Key_F4);
    ASSERT_TRUE(box->ListVisible());
    popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup->windowHandle(), Qt::Key_Down);
    QWidget other;
    other.setWindowTitle("Altra finestra");
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&other, 60000));
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(OpenPopup(), nullptr);
    EXPECT_EQ(box->Text().str(), before);
    EXPECT_EQ(Movement("idCausale"), cause);
}

TEST_F(GalleryOnXTest, ARightClickOpensTheTreesMenuWhichTheKeyboardChoosesFromOrLeaves) {
    OpenShown();
    TTreeNode* manutenzioni = Child(nullptr, "Manutenzioni");
    Click(manutenzioni);
    TTreeNode* ascensore = Child(manutenzioni, "Ascensore");
    Click(ascensore);
    TTreeNode* verifica = Child(ascensore, "Verifica biennale");
    Click(verifica);
    ASSERT_NE(verifica, nullptr);
    const int key = NodeKey(verifica);
    TQuorTreeView* tree = form_->tvConti;
    ASSERT_NE(tree->PopupMenu(), nullptr);

    // The menu a right click on the account opens, shown by the window system.
    const auto openMenu = [&]() -> QPointer<QMenu> {
        QTest::mouseClick(window_, Qt::RightButton, {}, InWindow(Centre(verifica)));
        QPointer<QMenu> menu = tree->PopupMenu()->MenuWidget();
        if (!menu) return menu;
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu->windowHandle(), 60000));
        EXPECT_EQ(OpenPopup(), menu.data());
        return menu;
    };
    // A menu closed goes away (it is deleted on closing).
    const auto closed = [](const QPointer<QMenu>& menu) { return !menu || !menu->isVisible(); };

    // Escape leaves the menu without choosing.
    QPointer<QMenu> menu = openMenu();
    ASSERT_FALSE(menu.isNull()) << "a right click opened no menu";
    QTest::keyClick(menu->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(closed(menu));
    EXPECT_TRUE(dialogs_->Questions().empty());

    // A click elsewhere in the window closes it too, choosing nothing.
    menu = openMenu();
    ASSERT_FALSE(menu.isNull());
    QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {},
                      menu->mapFromGlobal(form_->Widget()->mapToGlobal(QPoint(2, 2))));
    EXPECT_TRUE(closed(menu));
    EXPECT_TRUE(dialogs_->Questions().empty());

    // Down to "Rinomina" (the third item) and Enter: renamed, in the file too.
    menu = openMenu();
    ASSERT_FALSE(menu.isNull());
    dialogs_->AnswerInput("Verifica periodica");
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(menu->windowHandle(), Qt::Key_Down);
    ASSERT_NE(menu->activeAction(), nullptr);
    EXPECT_EQ(menu->activeAction()->text(), QString("Rinomina"));
    QTest::keyClick(menu->windowHandle(), Qt::Key_Return);
    EXPECT_TRUE(closed(menu));
    EXPECT_EQ(Copy("SELECT Descrizione FROM PianoConti WHERE IdConto = " + std::to_string(key)),
              "Verifica periodica");
}

} // namespace
