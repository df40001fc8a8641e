#include "quorbase/clsConfig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace quorbase;

namespace {

std::string Lines(const clsConfig& c) {
    return Join(c, "|").CStr() ? Join(c, "|").CStr() : "";
}

std::string Block(const clsConfig& c, int start) {
    std::unique_ptr<clsConfig> block(c.ExtractBlock(start));
    return Lines(*block);
}

} // namespace

TEST(clsConfig, ExtractBlockFollowsNesting) {
    clsConfig c;
    EXPECT_STREQ(c.BeginMark().CStr(), "{");
    EXPECT_STREQ(c.EndMark().CStr(), "}");
    Add(c, "A");
    c.AddBegin();
    Add(c, "x");
    c.AddBegin();
    Add(c, "y");
    c.AddEnd().AddEnd();
    Add(c, "B");
    ASSERT_EQ(c.GetCount(), 8);
    EXPECT_EQ(Block(c, 1), "{|x|{|y|}|}");
    EXPECT_EQ(Block(c, 3), "{|y|}");
    EXPECT_EQ(Block(c, 0), "A");
    // A stray closing line leaves the depth below zero: the copy runs on.
    EXPECT_EQ(Block(c, 5), "}|}|B");
    EXPECT_EQ(Block(c, 7), "B");
    EXPECT_EQ(Block(c, 8), "");
    EXPECT_EQ(Block(c, -1), "");

    clsConfig open;
    open.AddBegin();
    Add(open, " {");
    Add(open, "{ ");
    Add(open, "x");
    EXPECT_EQ(Block(open, 0), "{| {|{ |x");

    // A missing line ends the block where it stands.
    clsConfig holed;
    holed.AddBegin();
    Add(holed, "x");
    holed.Insert(nullptr);
    holed.AddEnd();
    EXPECT_EQ(Block(holed, 0), "{|x");
}
