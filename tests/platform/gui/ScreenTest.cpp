#include "GuiTestSupport.h"

#include "platform/gui/Screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>

#include <stdexcept>

namespace {

// The program-wide cursor's shape, or -1 when each widget shows its own.
int Shown() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? static_cast<int>(cursor->shape()) : -1;
}

} // namespace

TEST(Screen, TheCursorCoversTheProgramUntilItIsBackToDefault) {
    TestApp();
    ASSERT_EQ(Shown(), -1);
    Screen()->SetCursor(crHourGlass);
    EXPECT_EQ(Screen()->Cursor(), crHourGlass);
    EXPECT_EQ(Shown(), Qt::WaitCursor);
    // Another cursor replaces it rather than stacking on it.
    Screen()->SetCursor(crHandPoint);
    EXPECT_EQ(Shown(), Qt::PointingHandCursor);
    Screen()->SetCursor(crHandPoint);
    Screen()->SetCursor(crDefault);
    EXPECT_EQ(Screen()->Cursor(), crDefault);
    EXPECT_EQ(Shown(), -1);
    Screen()->SetCursor(crDefault);
    EXPECT_EQ(Shown(), -1);
}

TEST(Screen, AWaitCursorPutsBackWhatWasThereHoweverTheWorkEnds) {
    TestApp();
    {
        TWaitCursor outer;
        EXPECT_EQ(Shown(), Qt::WaitCursor);
        {
            TWaitCursor inner;
            EXPECT_EQ(Shown(), Qt::WaitCursor);
        }
        // The outer work is still going on.
        EXPECT_EQ(Screen()->Cursor(), crHourGlass);
        EXPECT_EQ(Shown(), Qt::WaitCursor);
    }
    EXPECT_EQ(Shown(), -1);
    try {
        TWaitCursor wait;
        throw std::runtime_error("interrotto");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Screen()->Cursor(), crDefault);
    EXPECT_EQ(Shown(), -1);
}
