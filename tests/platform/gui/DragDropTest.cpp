#include "GuiTestSupport.h"

#include "platform/gui/DragDrop.h"
#include "platform/gui/Form.h"
#include "platform/gui/Panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QTest>

#include <string>
#include <vector>

namespace {

class DragFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        form.SetBounds(0, 0, 300, 300);
        panel = new TPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(10, 10, 200, 200);
        panel->SetDragMode(dmAutomatic);
        panel->OnStartDrag = [this](TObject*, TDragObject*&) { log.push_back("start"); };
        panel->OnDragOver = [this](TObject*, TObject* source, int x, int y, TDragState state,
                                   bool& accept) {
            EXPECT_EQ(source, panel);
            const char* names[] = {"enter", "leave", "move"};
            log.push_back(std::string(names[state]) + " " + std::to_string(x) + "," +
                          std::to_string(y));
            accept = x < 150;
        };
        panel->OnDragDrop = [this](TObject*, TObject* source, int x, int y) {
            EXPECT_EQ(source, panel);
            log.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
        };
        panel->OnEndDrag = [this](TObject*, TObject* target, int, int) {
            log.push_back(target ? "end on target" : "end");
        };
        panel->OnClick = [this](TObject*) { log.push_back("click"); };
        form.Show();
        widget = panel->Widget();
    }
    void Move(QPoint to) { QTest::mouseMove(widget, to); }

    TForm form;
    TPanel* panel = nullptr;
    QWidget* widget = nullptr;
    std::vector<std::string> log;
};

Qt::CursorShape DragCursorShape() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

} // namespace

TEST_F(DragFixture, AShortMoveIsAClickAndALongOneADropWhereAccepted) {
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(panel->Dragging());
    EXPECT_FALSE(DragStarted(panel));
    Move(QPoint(22, 21));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(22, 21));
    EXPECT_EQ(log, (std::vector<std::string>{"click"}));
    EXPECT_FALSE(panel->Dragging());
    log.clear();

    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    Move(QPoint(40, 20));
    EXPECT_TRUE(DragStarted(panel));
    EXPECT_EQ(DragCursorShape(), Qt::DragMoveCursor);
    Move(QPoint(100, 30));
    // Outside the accepting part the cursor says no.
    Move(QPoint(160, 30));
    EXPECT_EQ(DragCursorShape(), Qt::ForbiddenCursor);
    Move(QPoint(120, 40));
    EXPECT_EQ(DragCursorShape(), Qt::DragMoveCursor);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(120, 40));
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 40,20", "move 100,30", "move 160,30",
                                             "move 120,40", "drop 120,40", "end on target"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(panel->Dragging());
}

TEST_F(DragFixture, ARefusedPlaceOrEscapeEndsWithoutADrop) {
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    Move(QPoint(170, 20));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(170, 20));
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 170,20", "end"}));
    log.clear();

    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    Move(QPoint(60, 20));
    QTest::keyClick(widget, Qt::Key_Escape);
    EXPECT_FALSE(panel->Dragging());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 60,20", "end"}));
    log.clear();

    // Leaving the control: the handler hears it once, and nothing drops.
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    Move(QPoint(60, 20));
    Move(QPoint(60, 260));
    Move(QPoint(60, 270));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(60, 270));
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 60,20", "leave 60,260", "end"}));
}

TEST_F(DragFixture, WithoutADragOverHandlerNothingIsAcceptedAndManualModeDoesNotDrag) {
    panel->OnDragOver = nullptr;
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    Move(QPoint(60, 20));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(log, (std::vector<std::string>{"start", "end"}));
    log.clear();
    panel->SetDragMode(dmManual);
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    Move(QPoint(60, 20));
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(log, (std::vector<std::string>{"click"}));
    log.clear();
    // Started by the program: at once, and dropped where the mouse is.
    panel->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) {
        accept = true;
    };
    QCursor::setPos(widget->mapToGlobal(QPoint(30, 30)));
    panel->BeginDrag(true);
    EXPECT_TRUE(DragStarted(panel));
    panel->EndDrag(true);
    EXPECT_FALSE(panel->Dragging());
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "start");
    EXPECT_EQ(log.back(), "end on target");
}

TEST_F(DragFixture, AControlDestroyedWhileDraggingEndsTheDrag) {
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(20, 20));
    Move(QPoint(60, 20));
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    delete panel;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QTest::mouseRelease(form.Widget(), Qt::LeftButton, {}, QPoint(70, 30));
    EXPECT_EQ(log, (std::vector<std::string>{"start", "enter 60,20"}));
}
