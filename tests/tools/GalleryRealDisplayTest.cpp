// The gallery's window on a real X display (the tests' own Xvfb session),
// driven through the window system as the user drives it.

#include "tests/tools/GalleryFixture.h"

#include "tests/tools/ArchiveQueries.h"
#include "tests/xsession/XSession.h"

#include "controls/QuorTreeView.h"
#include "platform/gui/DragDrop.h"
#include "platform/gui/Forms.h"

#include <QGuiApplication>
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
