#include "platform/core/Strings.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

namespace {

class CountingStrings : public TStrings {
public:
    int changes = 0;

protected:
    void Changed() override { ++changes; }
};

} // namespace

TEST(Strings, EditingAndLookup) {
    CountingStrings lines;
    lines.Add("SELECT *");
    lines.Add("FROM Condomini");
    lines.Insert(1, "  , Nome");
    lines.Insert(3, "WHERE 1=1");
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines[1], "  , Nome");
    EXPECT_EQ(lines.IndexOf("from condomini"), 2);
    EXPECT_EQ(lines.IndexOf("nothing"), -1);
    lines.Delete(0);
    EXPECT_EQ(lines[0], "  , Nome");
    EXPECT_EQ(lines.changes, 5);
    EXPECT_THROW(lines[3], ERangeError);
    EXPECT_THROW(lines[-1], ERangeError);
    EXPECT_THROW(lines.Delete(3), ERangeError);
    EXPECT_THROW(lines.Insert(5, "x"), ERangeError);
    EXPECT_EQ(lines.changes, 5);
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.changes, 6);
}

TEST(Strings, TextJoinsWithCrLfAndSplitsAnyBreak) {
    TStrings lines;
    lines.SetText("uno\r\ndue\nquattro\r\rsei");
    ASSERT_EQ(lines.Count(), 5);
    EXPECT_EQ(lines[2], "quattro");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "sei");
    EXPECT_EQ(lines.Text(), "uno\r\ndue\r\nquattro\r\n\r\nsei\r\n");
    lines.SetText("a\r\n");
    EXPECT_EQ(lines.Count(), 1);
    lines.SetText("");
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.Text(), "");
    lines.SetText("\n\n");
    EXPECT_EQ(lines.Count(), 2);
}
