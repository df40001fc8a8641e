// The spatial index answers as the graph does.

#include "ChartHelpers.h"

#include "quorgrafica/ChartLinks.h"
#include "quorgrafica/PaintArea.h"
#include "quorgrafica/SpatialIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace quorgrafica;
using charttest::AddBox;

namespace {

// Boxes of every kind, lines in every direction, overlapping, some locked.
void Fill(clsGraf& graf, std::mt19937& rng, int count) {
    std::uniform_int_distribution<int> pos(-200, 3000), size(0, 160), kind(0, 9);
    for (int i = 0; i < count; ++i) {
        const int x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
        const int k = kind(rng);
        clsBox* box = nullptr;
        if (k < 3) {
            // A line drawn from any corner to the opposite one, or flat.
            const int sx = k == 0 ? 1 : -1, sy = (i % 2) ? 1 : -1;
            box =
                AddBox(graf, "clsBoxLine", "", TRect{x, y, x + sx * w, y + sy * (k == 2 ? 0 : h)});
        } else {
            box = AddBox(graf, k == 3 ? "clsBoxGroup" : "clsBoxRectangle", "",
                         TRect{x, y, x + w, y + h});
        }
        box->Locked = k == 9;
    }
    for (int i = 0; i + 7 < count; i += 3)
        graf.GetValue(i)->AddLink(graf.GetValue(i + 7));
}

void ExpectSameHits(const clsGraf& graf, const ChartIndex& index, std::mt19937& rng) {
    std::uniform_int_distribution<int> pos(-300, 3300);
    int hits = 0;
    for (int n = 0; n < 20000; ++n) {
        const int x = pos(rng), y = pos(rng);
        clsBox* expected = const_cast<clsGraf&>(graf).FindBoxAt(x, y);
        ASSERT_EQ(index.FindBoxAt(graf, x, y), expected) << x << "," << y;
        hits += expected != nullptr;
    }
    // The ends of every line, hit only on exact pixels when flat.
    for (int i = 0; i < graf.GetCount(); ++i) {
        const TRect& f = graf.GetValue(i)->Frame;
        for (const TPoint p : {TPoint{f.Left, f.Top}, TPoint{f.Right, f.Bottom},
                               TPoint{f.Left + 1, f.Top}, TPoint{f.Right - 1, f.Bottom - 1}})
            ASSERT_EQ(index.FindBoxAt(graf, p.x, p.y),
                      const_cast<clsGraf&>(graf).FindBoxAt(p.x, p.y));
    }
    EXPECT_GT(hits, 1000);
}

void ExpectAreasCovered(const clsGraf& graf, const ChartIndex& index, std::mt19937& rng) {
    std::uniform_int_distribution<int> pos(-300, 3300), size(1, 700);
    for (int n = 0; n < 200; ++n) {
        const int x = pos(rng), y = pos(rng);
        const TRect area{x, y, x + size(rng), y + size(rng)};
        const std::vector<int> boxes = index.BoxesMeeting(area);
        const std::vector<int> sources = index.LinkSourcesMeeting(area);
        ASSERT_TRUE(std::is_sorted(boxes.begin(), boxes.end()));
        for (int i = 0; i < graf.GetCount(); ++i) {
            const clsBox* box = graf.GetValue(i);
            if (AreasMeet(BoxPaintArea(*box, 20, 2), area)) {
                ASSERT_TRUE(std::binary_search(boxes.begin(), boxes.end(), i)) << i;
            }
            for (int k = 0; k < box->LinksOut.GetCount(); ++k) {
                if (AreasMeet(LinkPaintArea(graf, *box, *box->LinksOut.GetValue(k), 2), area)) {
                    ASSERT_TRUE(std::binary_search(sources.begin(), sources.end(), i)) << i;
                }
            }
        }
    }
}

} // namespace

TEST(SpatialIndex, AnswersAsTheGraphBeforeAndAfterBoxesMove) {
    std::mt19937 rng(17);
    clsGraf graf(nullptr);
    graf.SetPage(3000, 3000, 300, 300);
    Fill(graf, rng, 600);
    ChartIndex index;
    index.Build(graf, 20);
    ASSERT_TRUE(index.Fresh(graf));
    ExpectSameHits(graf, index, rng);
    ExpectAreasCovered(graf, index, rng);
    graf.UnlockAll = true;
    ExpectSameHits(graf, index, rng);
    graf.UnlockAll = false;

    // Boxes moved near and far, past the grid's edges, turned inside out.
    std::uniform_int_distribution<int> shift(-400, 400), pick(0, 599);
    for (int n = 0; n < 150; ++n) {
        clsBox* box = graf.GetValue(pick(rng));
        const int dx = n % 10 == 0 ? 9000 : shift(rng), dy = n % 15 == 0 ? -7000 : shift(rng);
        box->Frame = TRect{box->Frame.Left + dx, box->Frame.Top + dy, box->Frame.Right + dx,
                           box->Frame.Bottom + dy};
        if (n % 7 == 0) std::swap(box->Frame.Left, box->Frame.Right);
        index.Moved(box);
    }
    ExpectSameHits(graf, index, rng);
    ExpectAreasCovered(graf, index, rng);
    // A box moved far away is found there, and the frames reach it.
    clsBox* far = graf.GetValue(5);
    far->Frame = TRect{50000, 40000, 50100, 40050};
    index.Moved(far);
    EXPECT_EQ(index.FindBoxAt(graf, 50050, 40020), graf.FindBoxAt(50050, 40020));
    EXPECT_GE(index.Frames().Right, 50101);
    // Brought back, the recount lets the frames shrink.
    far->Frame = TRect{10, 10, 20, 20};
    index.Moved(far);
    index.RecountFrames();
    EXPECT_LT(index.Frames().Right, 50000);

    // A box added or the index dropped: no longer fresh.
    AddBox(graf, "clsBoxRectangle", "New", TRect{0, 0, 5, 5});
    EXPECT_FALSE(index.Fresh(graf));
    index.Build(graf, 20);
    EXPECT_TRUE(index.Fresh(graf));
    index.Drop();
    EXPECT_FALSE(index.Fresh(graf));
}

TEST(SpatialIndex, TheLinkUnderAPointIsTheGraphsOwnBeforeAndAfterBoxesMove) {
    std::mt19937 rng(23);
    clsGraf graf(nullptr);
    graf.SetPage(3000, 3000, 300, 300);
    Fill(graf, rng, 600);
    // Markers small, large and of the other sign.
    for (int i = 0; i < graf.GetCount(); i += 5)
        graf.GetValue(i)->LinkSize = (i % 3 == 0 ? -1 : 1) * (i % 40);
    ChartIndex index;
    index.Build(graf, 20);
    const auto expectSame = [&] {
        std::uniform_int_distribution<int> pos(-300, 3300), near(-6, 6);
        int hits = 0;
        const auto check = [&](int x, int y) {
            const LinkRef expected = FindLinkAt(graf, x, y, 4);
            const LinkRef found = FindLinkAmong(
                graf, index.LinkSourcesMeeting(TRect{x - 4, y - 4, x + 5, y + 5}), x, y, 4);
            ASSERT_EQ(found, expected) << x << "," << y;
            hits += static_cast<bool>(expected);
        };
        for (int n = 0; n < 5000; ++n)
            check(pos(rng), pos(rng));
        // Beside and on the lines and their ends.
        for (int i = 0; i < graf.GetCount(); ++i) {
            clsBox* source = graf.GetValue(i);
            for (int j = 0; j < source->LinksOut.GetCount(); ++j) {
                const TRect line = LinkLine(graf, *source, *source->LinksOut.GetValue(j));
                check((line.Left + line.Right) / 2 + near(rng),
                      (line.Top + line.Bottom) / 2 + near(rng));
                check(line.Left + near(rng), line.Top + near(rng));
                check(line.Right + near(rng), line.Bottom + near(rng));
            }
        }
        EXPECT_GT(hits, 200);
    };
    expectSame();
    std::uniform_int_distribution<int> shift(-400, 400), pick(0, 599);
    for (int n = 0; n < 150; ++n) {
        clsBox* box = graf.GetValue(pick(rng));
        const int dx = shift(rng), dy = shift(rng);
        box->Frame = TRect{box->Frame.Left + dx, box->Frame.Top + dy, box->Frame.Right + dx,
                           box->Frame.Bottom + dy};
        index.Moved(box);
    }
    expectSame();
}

TEST(SpatialIndex, EmptyAndHugeGraphs) {
    clsGraf empty(nullptr);
    ChartIndex index;
    index.Build(empty, 12);
    EXPECT_EQ(index.FindBoxAt(empty, 0, 0), nullptr);
    EXPECT_TRUE(index.BoxesMeeting(TRect{0, 0, 100, 100}).empty());
    EXPECT_EQ(index.Frames(), TRect{});

    // Frames at the ends of the coordinate range, and one spanning it all.
    clsGraf huge(nullptr);
    AddBox(huge, "clsBoxRectangle", "A", TRect{-2000000000, -2000000000, -1999999000, -1999999000});
    AddBox(huge, "clsBoxRectangle", "B", TRect{2000000000, 2000000000, 2000000100, 2000000100});
    AddBox(huge, "clsBoxRectangle", "All", TRect{-2100000000, -2100000000, 2100000000, 2100000000});
    AddBox(huge, "clsBoxRectangle", "C", TRect{10, 10, 20, 20});
    index.Build(huge, 12);
    for (const TPoint p : {TPoint{-1999999500, -1999999500}, TPoint{2000000050, 2000000050},
                           TPoint{15, 15}, TPoint{0, 0}, TPoint{-5, 1000000}})
        EXPECT_EQ(index.FindBoxAt(huge, p.x, p.y), huge.FindBoxAt(p.x, p.y)) << p.x << "," << p.y;
}
