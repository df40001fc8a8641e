// Boxes as chart text for the clipboard, and links as things of their own:
// found under a point and taken away one at a time.

#include "ChartHelpers.h"

#include "quorgrafica/ChartClipboard.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/ChartLinks.h"

#include <gtest/gtest.h>

namespace charttest {
namespace {

using quorgrafica::clsBox;
using quorgrafica::clsBoxGroup;
using quorgrafica::clsGraf;

TEST(ChartClipboard, SomeBoxesWithTheirLinksAndNestedGraphsComeBack) {
    clsGraf graf;
    clsBox* a = AddBox(graf, "clsBoxRectangle", "A", TRect{10, 10, 50, 40});
    clsBox* b = AddBox(graf, "clsBoxGroup", "G", TRect{100, 10, 150, 40});
    clsBox* c = AddBox(graf, "clsBoxRectangle", "C", TRect{10, 100, 50, 140});
    clsBox* d = AddBox(graf, "clsBoxLine", "D", TRect{200, 200, 100, 150});
    a->AddLink(b);
    a->AddLink(c); // to a box left out
    b->AddLink(a);
    c->AddLink(a); // from a box left out
    d->AddLink(b);
    a->Text = "Due\nrighe";
    a->FillColor = 0x123456;
    a->Script.AddPair("", "x = 1");
    a->Variables.AddPair("Saldo", "10");
    clsGraf* nested = static_cast<clsBoxGroup*>(b)->Graf;
    clsBox* n1 = AddBox(*nested, "clsBoxRectangle", "N1", TRect{1, 1, 20, 20});
    clsBox* n2 = AddBox(*nested, "clsBoxRectangle", "N2", TRect{1, 41, 20, 60});
    n1->AddLink(n2);

    // Given in any order, written in the graph's.
    const std::string text = quorgrafica::BoxesToChartText(graf, {d, b, a});
    auto copy = quorgrafica::ChartTextToBoxes(text);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->GetCount(), 3);
    clsBox* ca = copy->BoxAt(0);
    clsBox* cg = copy->BoxAt(1);
    clsBox* cd = copy->BoxAt(2);
    EXPECT_EQ(Str(ca->Name), "A");
    EXPECT_EQ(Str(cg->Name), "G");
    EXPECT_EQ(Str(cd->Name), "D");
    EXPECT_EQ(Str(ca->Text), "Due\nrighe");
    EXPECT_EQ(ca->FillColor, 0x123456);
    EXPECT_EQ(Str(ca->Script.GetValueText(0)), "x = 1");
    EXPECT_EQ(Str(*ca->Variables.GetValue("Saldo")), "10");
    EXPECT_EQ(cd->Frame, (TRect{200, 200, 100, 150}));
    EXPECT_EQ(Names(ca->LinksOut), std::vector<std::string>{"G"});
    EXPECT_EQ(Names(ca->LinksIn), std::vector<std::string>{"G"});
    EXPECT_EQ(Names(cg->LinksIn), (std::vector<std::string>{"A", "D"}));
    EXPECT_EQ(ca->OwnerGraf, copy.get());
    clsGraf* copiedNested = static_cast<clsBoxGroup*>(cg)->Graf;
    ASSERT_EQ(copiedNested->GetCount(), 2);
    EXPECT_EQ(copiedNested->Owner, cg);
    EXPECT_EQ(Names(copiedNested->BoxAt(0)->LinksOut), std::vector<std::string>{"N2"});
    // The original is untouched.
    EXPECT_EQ(Names(a->LinksOut), (std::vector<std::string>{"G", "C"}));
    // The text is the chart file's: a chart file's text reads the same way.
    quorbase::clsConfig lines;
    quorgrafica::ChartTextToLines(text, lines);
    EXPECT_EQ(quorgrafica::ChartLinesToText(lines), text);

    // Moved into another graph, a box belongs to it and keeps its links.
    clsGraf other;
    clsBox* moved = quorgrafica::MoveBoxTo(*copy, 0, other);
    EXPECT_EQ(moved, ca);
    EXPECT_EQ(ca->OwnerGraf, &other);
    EXPECT_EQ(other.GetBox("A"), ca);
    EXPECT_EQ(copy->GetBox("A"), nullptr);
    EXPECT_EQ(copy->GetCount(), 2);
    EXPECT_EQ(ca->LinksOut.GetValue(0), cg);
    EXPECT_EQ(quorgrafica::MoveBoxTo(*copy, 5, other), nullptr);
}

TEST(ChartClipboard, TextThatDescribesNoBoxIsNoChart) {
    for (const char* text :
         {"", "Caro Mario, ti scrivo", "{\nclsGraf=\nTitle=\n}\n",
          "clsBox.Type=clsBoxNonEsiste\n{\nName=X\n}\n", "\xEF\xBB\xBF\r\n\r\n"})
        EXPECT_FALSE(quorgrafica::ChartTextToBoxes(text)) << text;
    // A box block alone, as typed into a text editor, is a chart.
    auto one = quorgrafica::ChartTextToBoxes("clsBox.Type=clsBoxRectangle\r\n{\r\nName=Z\r\n}\r\n");
    ASSERT_TRUE(one);
    EXPECT_EQ(Str(one->BoxAt(0)->Name), "Z");
}

TEST(ChartLinks, FoundWhereDrawnTopmostFirstAndRemovedOneWayOnly) {
    clsGraf graf;
    graf.GridAlign = false;
    clsBox* a = AddBox(graf, "clsBoxRectangle", "A", TRect{10, 10, 50, 40});
    clsBox* b = AddBox(graf, "clsBoxRectangle", "B", TRect{100, 10, 140, 40});
    a->AddLink(b);
    b->AddLink(a);
    // To the right: from A's right edge to B's left edge, 2 x LinkSize below
    // the middle; back to the left, as far above it.
    EXPECT_EQ(quorgrafica::LinkLine(graf, *a, *b), (TRect{50, 31, 100, 31}));
    EXPECT_EQ(quorgrafica::LinkLine(graf, *b, *a), (TRect{100, 19, 50, 19}));
    using quorgrafica::FindLinkAt;
    using quorgrafica::LinkRef;
    EXPECT_EQ(FindLinkAt(graf, 75, 31), (LinkRef{a, b}));
    EXPECT_EQ(FindLinkAt(graf, 75, 35), (LinkRef{a, b}));
    EXPECT_FALSE(FindLinkAt(graf, 75, 36));
    EXPECT_EQ(FindLinkAt(graf, 75, 15), (LinkRef{b, a}));
    EXPECT_FALSE(FindLinkAt(graf, 75, 25));
    EXPECT_EQ(FindLinkAt(graf, 75, 26, 6), (LinkRef{a, b}));
    // As near to both: the one drawn last.
    EXPECT_EQ(FindLinkAt(graf, 75, 25, 6), (LinkRef{b, a}));
    // Past the end, within the marker: still the link.
    EXPECT_EQ(FindLinkAt(graf, 106, 31), (LinkRef{a, b}));
    EXPECT_FALSE(FindLinkAt(graf, 109, 31));
    // A slanted link, measured from the line itself.
    clsBox* c = AddBox(graf, "clsBoxRectangle", "C", TRect{10, 100, 50, 140});
    a->AddLink(c);
    const TRect down = quorgrafica::LinkLine(graf, *a, *c);
    EXPECT_EQ(down, (TRect{36, 40, 36, 100}));
    EXPECT_EQ(FindLinkAt(graf, 39, 70), (LinkRef{a, c}));
    // Two links drawn on the same pixels: the one drawn last.
    clsBox* twin = AddBox(graf, "clsBoxRectangle", "A2", TRect{10, 10, 50, 40});
    twin->AddLink(b);
    EXPECT_EQ(FindLinkAt(graf, 75, 31), (LinkRef{twin, b}));

    // Removing A to B leaves B to A, on both boxes.
    EXPECT_TRUE(quorgrafica::RemoveLinkOf(*a, *b));
    EXPECT_EQ(Names(a->LinksOut), std::vector<std::string>{"C"});
    EXPECT_EQ(Names(b->LinksIn), std::vector<std::string>{"A2"});
    EXPECT_EQ(Names(b->LinksOut), std::vector<std::string>{"A"});
    EXPECT_EQ(Names(a->LinksIn), std::vector<std::string>{"B"});
    EXPECT_FALSE(quorgrafica::RemoveLinkOf(*a, *b));
    EXPECT_EQ(FindLinkAt(graf, 75, 15), (LinkRef{b, a}));
}

} // namespace
} // namespace charttest
