#include "ChartHelpers.h"

#include "quorgrafica/GrafPath.h"

#include <gtest/gtest.h>

using namespace quorgrafica;
using charttest::AddBox;
using charttest::Names;
using charttest::Str;
using Names_t = std::vector<std::string>;

TEST(GraphModel, DefaultsOfGraphAndBoxes) {
    clsGraf graf;
    EXPECT_EQ(graf.Owner, nullptr);
    EXPECT_EQ(graf.Selected, nullptr);
    EXPECT_EQ(graf.GridColor, 0xC0C0C0);
    EXPECT_FALSE(graf.GridShow);
    EXPECT_TRUE(graf.GridAlign);
    EXPECT_EQ(graf.Columns, 97);
    EXPECT_EQ(graf.Rows, 66);
    EXPECT_EQ(graf.PageWidth, 2100);
    EXPECT_EQ(graf.PageHeight, 2970);
    EXPECT_FALSE(graf.UnlockAll);
    EXPECT_EQ(graf.Formula.Root.GetCount(), 0);

    clsBox* box = AddBox(graf, "clsBoxRectangle", "A");
    clsBoxRectangle fresh(&graf);
    EXPECT_EQ(fresh.OwnerGraf, &graf);
    EXPECT_EQ(fresh.Frame, (TRect{0, 0, 1, 1}));
    EXPECT_EQ(fresh.LinkSize, 3);
    EXPECT_EQ(fresh.LinkLineColor, 0xFF0000);
    EXPECT_EQ(fresh.LinkSrcColor, 0x0000FF);
    EXPECT_EQ(fresh.LinkDstColor, 0xFF0000);
    EXPECT_EQ(fresh.ShadowWidth, 3);
    EXPECT_EQ(fresh.FontSize, 10);
    EXPECT_EQ(fresh.FillColor, 0xFFFF00);
    EXPECT_EQ(fresh.ShadowColor, 0x808080);
    EXPECT_EQ(fresh.ComputeState, 0);
    EXPECT_FALSE(fresh.Locked);
    EXPECT_EQ(box->OwnerGraf, &graf);
}

TEST(GraphModel, RegistryCreatesEachKindAndKeepsTheFirstFactory) {
    RegisterBoxKinds();
    clsGraf graf;
    for (const char* kind : {"clsBoxRectangle", "clsBoxGroup", "clsBoxLine", "clsBoxPicture"}) {
        clsBox* box = NewBox(&graf, kind);
        ASSERT_NE(box, nullptr) << kind;
        EXPECT_STREQ(box->TypeName(), kind);
        EXPECT_EQ(box->OwnerGraf, &graf);
        delete box;
    }
    // Kind names ignore case; unknown kinds give nothing.
    clsBox* lower = NewBox(&graf, "CLSBOXLINE");
    ASSERT_NE(lower, nullptr);
    EXPECT_STREQ(lower->TypeName(), "clsBoxLine");
    delete lower;
    EXPECT_EQ(NewBox(&graf, "clsBoxCircle"), nullptr);
    EXPECT_EQ(NewBox(&graf, ""), nullptr);

    const int kinds = BoxFunctions().GetCount();
    RegisterBoxKinds();
    RegisterBoxFunction("clsboxrectangle", [](clsGraf* g) -> clsBox* { return new clsBoxLine(g); });
    EXPECT_EQ(BoxFunctions().GetCount(), kinds);
    clsBox* still = NewBox(&graf, "clsBoxRectangle");
    EXPECT_STREQ(still->TypeName(), "clsBoxRectangle");
    delete still;

    // A factory that fails yields null instead of an exception.
    RegisterBoxFunction("test.Failing", [](clsGraf*) -> clsBox* { throw 42; });
    EXPECT_EQ(NewBox(&graf, "test.Failing"), nullptr);
    RegisterBoxFunction("test.Unset", nullptr);
    EXPECT_EQ(NewBox(&graf, "test.Unset"), nullptr);
}

TEST(GraphModel, GroupNestsAGraphThatKnowsItsBox) {
    clsGraf root;
    auto* group = static_cast<clsBoxGroup*>(AddBox(root, "clsBoxGroup", "G1"));
    ASSERT_NE(group->Graf, nullptr);
    EXPECT_EQ(group->Graf->Owner, group);
    EXPECT_EQ(group->Graf->Owner->OwnerGraf, &root);
    auto* inner = static_cast<clsBoxGroup*>(AddBox(*group->Graf, "clsBoxGroup", "G2"));
    EXPECT_EQ(inner->OwnerGraf, group->Graf);
    // Clearing keeps the owner, so the nested graph still finds its parent.
    group->Graf->Clear();
    EXPECT_EQ(group->Graf->GetCount(), 0);
    EXPECT_EQ(group->Graf->Owner, group);
}

TEST(GraphModel, APathOfGroupNamesLeadsToANestedGraph) {
    clsGraf root;
    auto* g1 = static_cast<clsBoxGroup*>(AddBox(root, "clsBoxGroup", "G1"));
    auto* g2 = static_cast<clsBoxGroup*>(AddBox(*g1->Graf, "clsBoxGroup", "G2"));
    AddBox(*g1->Graf, "clsBoxRectangle", "R");
    std::string missing = "x";
    EXPECT_EQ(GrafAtPath(&root, "", &missing), &root);
    EXPECT_EQ(GrafAtPath(&root, "G1", &missing), g1->Graf);
    EXPECT_EQ(GrafAtPath(&root, "g1/G2", &missing), g2->Graf);
    EXPECT_EQ(missing, "x");
    // A name that is no group box, or none at all, stops the way there.
    EXPECT_EQ(GrafAtPath(&root, "G1/R", &missing), nullptr);
    EXPECT_EQ(missing, "R");
    EXPECT_EQ(GrafAtPath(&root, "G1//G2", &missing), nullptr);
    EXPECT_EQ(missing, "");
    EXPECT_EQ(GrafAtPath(&root, "G2"), nullptr);
}

TEST(GraphModel, LookupsByNameIgnoreCaseAndFindTheFirst) {
    clsGraf graf;
    clsBox* first = AddBox(graf, "clsBoxRectangle", "Start");
    clsBox* second = AddBox(graf, "clsBoxRectangle", "START");
    clsBox* unnamed = AddBox(graf, "clsBoxRectangle", "");
    EXPECT_EQ(graf.GetBox("start"), first);
    EXPECT_EQ(graf.GetBox("Missing"), nullptr);
    EXPECT_EQ(graf.GetBox(""), nullptr);

    // A link to either name goes to one entry; the unnamed box has no key.
    unnamed->AddLink(first);
    unnamed->AddLink(second);
    EXPECT_EQ(Names(unnamed->LinksOut), (Names_t{"Start"}));
    first->AddLink(unnamed);
    first->AddLink(unnamed);
    EXPECT_EQ(first->LinksOut.GetCount(), 2) << "a box without name is added every time";
    EXPECT_EQ(Names(unnamed->LinksIn), (Names_t{"Start"}));
    EXPECT_EQ(second->LinksIn.GetCount(), 1);
    first->AddLink(nullptr);
    EXPECT_EQ(first->LinksOut.GetCount(), 2);

    // RemoveBox takes the first of the equal names and cannot reach the unnamed box.
    graf.RemoveBox("");
    EXPECT_EQ(graf.GetCount(), 3);
    graf.RemoveBox("start");
    EXPECT_EQ(graf.GetCount(), 2);
    EXPECT_EQ(graf.GetBox("Start"), second);
    EXPECT_EQ(unnamed->LinksOut.GetCount(), 0);
    EXPECT_EQ(unnamed->LinksIn.GetCount(), 0);
}

TEST(GraphModel, RemoveBoxDropsEveryLinkAndTheSelection) {
    clsGraf graf;
    clsBox* a = AddBox(graf, "clsBoxRectangle", "A");
    clsBox* b = AddBox(graf, "clsBoxRectangle", "B");
    clsBox* c = AddBox(graf, "clsBoxRectangle", "C");
    a->AddLink(b);
    b->AddLink(c);
    c->AddLink(b);
    b->AddLink(b);
    graf.Selected = b;
    graf.RemoveBox("b");
    EXPECT_EQ(graf.GetCount(), 2);
    EXPECT_EQ(graf.Selected, nullptr);
    EXPECT_EQ(a->LinksOut.GetCount(), 0);
    EXPECT_EQ(c->LinksOut.GetCount(), 0);
    EXPECT_EQ(c->LinksIn.GetCount(), 0);
    graf.RemoveBox("nobody");
    EXPECT_EQ(graf.GetCount(), 2);

    graf.Selected = a;
    graf.RemoveBox("C");
    EXPECT_EQ(graf.Selected, a);
    graf.Clear();
    EXPECT_EQ(graf.Selected, nullptr);
    EXPECT_EQ(graf.GetCount(), 0);
}

TEST(GraphModel, RemoveLinkUnlinksBothBoxes) {
    clsGraf graf;
    clsBox* a = AddBox(graf, "clsBoxRectangle", "A");
    clsBox* b = AddBox(graf, "clsBoxRectangle", "B");
    clsBox* c = AddBox(graf, "clsBoxRectangle", "C");
    a->AddLink(b);
    b->AddLink(a);
    a->AddLink(c);
    a->RemoveLink(b);
    EXPECT_EQ(Names(a->LinksOut), (Names_t{"C"}));
    EXPECT_EQ(a->LinksIn.GetCount(), 0);
    EXPECT_EQ(b->LinksOut.GetCount(), 0);
    EXPECT_EQ(b->LinksIn.GetCount(), 0);
    EXPECT_EQ(Names(c->LinksIn), (Names_t{"A"}));
}

TEST(GraphModel, CharacterGridAndAlignment) {
    clsGraf graf;
    graf.SetPage(1000, 500, 100, 50);
    EXPECT_EQ(graf.AlignX(57), 51);
    EXPECT_EQ(graf.AlignX(50), 51);
    EXPECT_EQ(graf.AlignX(49), 41);
    EXPECT_EQ(graf.Chars2X(0), 1);
    EXPECT_EQ(graf.Chars2Y(3), 31);
    EXPECT_EQ(graf.X2Chars(999), 99);
    EXPECT_EQ(graf.Y2Chars(-15), -1) << "division truncates toward zero";
    EXPECT_EQ(graf.AlignY(25), 21);

    graf.GridAlign = false;
    EXPECT_EQ(graf.AlignX(57), 57);
    EXPECT_EQ(graf.AlignY(57), 57);
    graf.GridAlign = true;
    graf.Columns = 0;
    EXPECT_EQ(graf.AlignX(57), 57);
    EXPECT_EQ(graf.AlignY(57), 57) << "the column test applies to both axes";

    // Zero and huge operands neither trap nor divide by zero.
    graf.SetPage(0, 0, 0, 0);
    EXPECT_EQ(graf.Columns, 0);
    EXPECT_EQ(graf.X2Chars(10), 0);
    EXPECT_EQ(graf.Chars2X(10), 0);
    graf.SetPage(2100, 2970, 97, 66);
    EXPECT_EQ(graf.X2Chars(2000000000), static_cast<int>(2000000000LL * 97 / 2100));
    graf.SetPage(640, 480, 0, -3);
    EXPECT_EQ(graf.Columns, 64);
    EXPECT_EQ(graf.Rows, 48);
    graf.SetPage(-95, 95, 0, 0);
    EXPECT_EQ(graf.Columns, -9);
}

TEST(GraphModel, HitTestingRectanglesLinesAndOrder) {
    clsGraf graf;
    clsBox* rect = AddBox(graf, "clsBoxRectangle", "R", TRect{10, 10, 20, 20});
    EXPECT_TRUE(rect->HitTest(10, 10));
    EXPECT_TRUE(rect->HitTest(19, 19));
    EXPECT_FALSE(rect->HitTest(20, 15));
    EXPECT_FALSE(rect->HitTest(15, 20));

    clsBoxLine diagonal(&graf);
    diagonal.Frame = TRect{0, 0, 100, 100};
    EXPECT_TRUE(diagonal.HitTest(50, 53));
    EXPECT_FALSE(diagonal.HitTest(50, 58));
    EXPECT_FALSE(diagonal.HitTest(101, 101));
    EXPECT_TRUE(diagonal.HitTest(50, 50));
    clsBoxLine rising(&graf);
    rising.Frame = TRect{0, 100, 100, 0};
    EXPECT_TRUE(rising.HitTest(50, 52));
    EXPECT_FALSE(rising.HitTest(50, 40));

    clsBoxLine vertical(&graf);
    vertical.Frame = TRect{5, 0, 5, 10};
    EXPECT_TRUE(vertical.HitTest(5, 0));
    EXPECT_TRUE(vertical.HitTest(5, 9));
    EXPECT_FALSE(vertical.HitTest(5, 10));
    EXPECT_FALSE(vertical.HitTest(6, 5));
    vertical.Frame = TRect{5, 10, 5, 0};
    for (int y = -1; y <= 11; ++y)
        EXPECT_FALSE(vertical.HitTest(5, y)) << y;
    clsBoxLine horizontal(&graf);
    horizontal.Frame = TRect{0, 7, 10, 7};
    EXPECT_TRUE(horizontal.HitTest(0, 7));
    EXPECT_FALSE(horizontal.HitTest(10, 7));
    EXPECT_FALSE(horizontal.HitTest(5, 8));

    // The later of two overlapping boxes wins; a locked box is skipped.
    clsBox* over = AddBox(graf, "clsBoxPicture", "Over", TRect{15, 15, 30, 30});
    EXPECT_EQ(graf.FindBoxAt(16, 16), over);
    EXPECT_EQ(graf.FindBoxAt(11, 11), rect);
    EXPECT_EQ(graf.FindBoxAt(40, 40), nullptr);
    over->Locked = true;
    EXPECT_EQ(graf.FindBoxAt(16, 16), rect);
    graf.UnlockAll = true;
    EXPECT_EQ(graf.FindBoxAt(16, 16), over);
    // Extreme frames are tested without overflow.
    clsBoxLine far(&graf);
    far.Frame = TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    EXPECT_TRUE(far.HitTest(0, 0));
}

TEST(GraphModel, SetFrameMovesAndSizes) {
    clsGraf graf;
    clsBox* box = AddBox(graf, "clsBoxRectangle", "B", TRect{10, 20, 50, 80});
    box->SetFrame(100, 200, 0, 0);
    EXPECT_EQ(box->Frame, (TRect{100, 200, 140, 260}));
    box->SetFrame(90, 190, -1, -1);
    EXPECT_EQ(box->Frame, (TRect{90, 190, 140, 260}));
    box->SetFrame(120, 100, 5, 7);
    EXPECT_EQ(box->Frame, (TRect{120, 100, 125, 107}));
    box->SetFrame(200, 0, -1, 0);
    EXPECT_EQ(box->Frame, (TRect{200, 0, 125, 7})) << "an edge may pass the opposite one";
    box->Frame = TRect{-2000000000, 0, 2000000000, 10};
    box->SetFrame(2000000000, 0, 0, 0);
    EXPECT_EQ(box->Frame.Left, 2000000000);
}

TEST(GraphModel, MaxRightAndBottomStartAtZero) {
    clsGraf graf;
    EXPECT_EQ(graf.MaxRight(), 0);
    EXPECT_EQ(graf.MaxBottom(), 0);
    AddBox(graf, "clsBoxRectangle", "Neg", TRect{-50, -50, -10, -10});
    EXPECT_EQ(graf.MaxRight(), 0);
    AddBox(graf, "clsBoxRectangle", "A", TRect{0, 0, 300, 40});
    AddBox(graf, "clsBoxLine", "L", TRect{5, 500, 20, 90});
    EXPECT_EQ(graf.MaxRight(), 300);
    EXPECT_EQ(graf.MaxBottom(), 90);
}
