// Aligning, distributing and sizing frames, exactly, with and without the
// grid; the guides of a dragged frame.

#include "quorgrafica/ChartAlign.h"
#include "quorgrafica/Clsgraf.h"

#include <gtest/gtest.h>

namespace charttest {
namespace {

using quorgrafica::AlignFrames;
using quorgrafica::AlignKind;
using quorgrafica::ChartGuide;
using quorgrafica::FindGuides;
using Frames = std::vector<TRect>;

class Align : public ::testing::Test {
protected:
    void SetUp() override { free.GridAlign = false; }
    Frames Do(AlignKind kind, int reference = 0) { return AlignFrames(frames, kind, reference, free); }

    quorgrafica::clsGraf free;
    // The last is a line drawn from right to left.
    Frames frames{{10, 10, 50, 40}, {70, 25, 90, 45}, {30, 60, 100, 70}, {200, 5, 120, 35}};
};

TEST_F(Align, EdgesAndCentresLineUpExactlyAndLinesKeepTheirDirection) {
    EXPECT_EQ(Do(AlignKind::Left),
              (Frames{{10, 10, 50, 40}, {10, 25, 30, 45}, {10, 60, 80, 70}, {90, 5, 10, 35}}));
    EXPECT_EQ(Do(AlignKind::Right),
              (Frames{{160, 10, 200, 40}, {180, 25, 200, 45}, {130, 60, 200, 70}, {200, 5, 120, 35}}));
    EXPECT_EQ(Do(AlignKind::Centre),
              (Frames{{85, 10, 125, 40}, {95, 25, 115, 45}, {70, 60, 140, 70}, {145, 5, 65, 35}}));
    EXPECT_EQ(Do(AlignKind::Top),
              (Frames{{10, 5, 50, 35}, {70, 5, 90, 25}, {30, 5, 100, 15}, {200, 5, 120, 35}}));
    EXPECT_EQ(Do(AlignKind::Bottom),
              (Frames{{10, 40, 50, 70}, {70, 50, 90, 70}, {30, 60, 100, 70}, {200, 40, 120, 70}}));
    EXPECT_EQ(Do(AlignKind::Middle),
              (Frames{{10, 22, 50, 52}, {70, 27, 90, 47}, {30, 32, 100, 42}, {200, 22, 120, 52}}));
    // Sizes from the reference; the left and top edges stay.
    EXPECT_EQ(Do(AlignKind::SameWidth),
              (Frames{{10, 10, 50, 40}, {70, 25, 110, 45}, {30, 60, 70, 70}, {160, 5, 120, 35}}));
    EXPECT_EQ(Do(AlignKind::SameHeight, 2),
              (Frames{{10, 10, 50, 20}, {70, 25, 90, 35}, {30, 60, 100, 70}, {200, 5, 120, 15}}));
    // One frame alone stays.
    EXPECT_EQ(AlignFrames({{10, 10, 50, 40}}, AlignKind::Right, 0, free),
              (Frames{{10, 10, 50, 40}}));
}

TEST_F(Align, DistributionLeavesEqualGapsBetweenTheOutermostTwo) {
    // Given out of order; the gaps of 71 pixels shared as 35 and 36.
    const Frames row{{100, 0, 111, 10}, {0, 5, 10, 15}, {15, 0, 35, 10}};
    EXPECT_EQ(AlignFrames(row, AlignKind::DistributeAcross, 0, free),
              (Frames{{100, 0, 111, 10}, {0, 5, 10, 15}, {45, 0, 65, 10}}));
    const Frames column{{0, 0, 10, 10}, {0, 12, 10, 22}, {0, 14, 10, 24}, {0, 90, 10, 100}};
    EXPECT_EQ(AlignFrames(column, AlignKind::DistributeDown, 0, free),
              (Frames{{0, 0, 10, 10}, {0, 30, 10, 40}, {0, 60, 10, 70}, {0, 90, 10, 100}}));
    // Overlapping frames spread out to the farthest end.
    const Frames packed{{0, 0, 50, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}};
    EXPECT_EQ(AlignFrames(packed, AlignKind::DistributeAcross, 0, free),
              (Frames{{0, 0, 50, 10}, {40, 0, 50, 10}, {40, 0, 50, 10}}));
    // Two frames have nothing between them.
    const Frames two{{0, 0, 10, 10}, {50, 0, 60, 10}};
    EXPECT_EQ(AlignFrames(two, AlignKind::DistributeAcross, 0, free), two);
}

TEST_F(Align, OnTheGridTheEdgeLinedUpSnaps) {
    quorgrafica::clsGraf grid;
    grid.SetPage(1000, 1000, 100, 100); // cells of 10: lines at 1, 11, 21...
    const Frames boxes{{13, 13, 53, 43}, {27, 30, 57, 50}, {40, 70, 60, 80}};
    EXPECT_EQ(AlignFrames(boxes, AlignKind::Left, 0, grid),
              (Frames{{11, 13, 51, 43}, {11, 30, 41, 50}, {11, 70, 31, 80}}));
    EXPECT_EQ(AlignFrames(boxes, AlignKind::Right, 0, grid),
              (Frames{{21, 13, 61, 43}, {31, 30, 61, 50}, {41, 70, 61, 80}}));
    EXPECT_EQ(AlignFrames(boxes, AlignKind::SameWidth, 0, grid),
              (Frames{{13, 13, 51, 43}, {27, 30, 61, 50}, {40, 70, 81, 80}}));
    EXPECT_EQ(AlignFrames(boxes, AlignKind::DistributeDown, 0, grid),
              (Frames{{13, 13, 53, 43}, {27, 41, 57, 61}, {40, 70, 60, 80}}));
    // Without alignment the same grid changes nothing.
    grid.GridAlign = false;
    EXPECT_EQ(AlignFrames(boxes, AlignKind::Left, 0, grid),
              (Frames{{13, 13, 53, 43}, {13, 30, 43, 50}, {13, 70, 33, 80}}));
}

TEST(Guides, TheNearestLineUpSnapsAndShowsEveryLineShared) {
    // Tops 2 apart: the frame moves down 2 and shares the top line only.
    auto snap = FindGuides({10, 10, 50, 40}, {{100, 12, 140, 60}}, 5);
    EXPECT_EQ(snap.Dx, 0);
    EXPECT_EQ(snap.Dy, 2);
    EXPECT_EQ(snap.Guides, (std::vector<ChartGuide>{{false, 12}}));
    // Exactly above another of the same width: left, centre and right.
    snap = FindGuides({100, 50, 140, 80}, {{100, 0, 140, 20}, {300, 300, 310, 310}}, 0);
    EXPECT_EQ(snap.Dx, 0);
    EXPECT_EQ(snap.Dy, 0);
    EXPECT_EQ(snap.Guides, (std::vector<ChartGuide>{{true, 100}, {true, 120}, {true, 140}}));
    // The centre 3 left of another's right edge, nearer than 4 left of its
    // centre.
    snap = FindGuides({0, 0, 40, 20}, {{10, 48, 23, 100}}, 5);
    EXPECT_EQ(snap.Dx, 3);
    EXPECT_EQ(snap.Dy, 0);
    EXPECT_EQ(snap.Guides, (std::vector<ChartGuide>{{true, 23}}));
    // Moved down 4, the middle meets a top and the bottom a middle.
    snap = FindGuides({0, 0, 40, 20}, {{200, 14, 300, 34}}, 5);
    EXPECT_EQ(snap.Dy, 4);
    EXPECT_EQ(snap.Guides, (std::vector<ChartGuide>{{false, 14}, {false, 24}}));
    // Too far: nothing.
    snap = FindGuides({0, 0, 40, 20}, {{200, 100, 300, 200}}, 5);
    EXPECT_EQ(snap.Dx, 0);
    EXPECT_EQ(snap.Dy, 0);
    EXPECT_TRUE(snap.Guides.empty());
}

} // namespace
} // namespace charttest
