#include "ChartHelpers.h"
#include "quorgrafica/TextLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace quorgrafica;
using charttest::AddBox;
using charttest::Lines;
using charttest::Names;
using charttest::SetLines;
using charttest::Str;
using Names_t = std::vector<std::string>;

namespace {

// The lines a box with default colours and sizes writes.
Names_t DefaultBoxLines(const std::string& name, const std::string& kind,
                        const std::string& frame) {
    return {"Name=" + name,
            "Text=",
            "Type=" + kind,
            "Frame=" + frame,
            "FontColor=0",
            "FontName=",
            "FontSize=10",
            "LinkSize=3",
            "LinkLineColor=16711680",
            "LinkSrcColor=255",
            "FillColor=16776960",
            "ShadowWidth=3",
            "ShadowColor=8421504",
            "Script="};
}

Names_t Concat(std::initializer_list<Names_t> parts) {
    Names_t all;
    for (const Names_t& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Names_t Written(clsGraf& graf) {
    quorbase::clsConfig lines;
    graf.DataTo(lines);
    return Lines(lines);
}

// Reading recreates boxes through the registry, as the component sees to.
void ReadLines(clsGraf& graf, const Names_t& text) {
    RegisterBoxKinds();
    quorbase::clsConfig lines;
    SetLines(lines, text);
    graf.DataFrom(lines);
}

clsGraf* Nested(clsBox* box) {
    auto* group = dynamic_cast<clsBoxGroup*>(box);
    return group ? group->Graf : nullptr;
}

} // namespace

TEST(TextFormat, ExactLinesOfAKnownChart) {
    clsGraf empty;
    EXPECT_EQ(Written(empty), (Names_t{"{", "clsGraf=", "Title=", "}"}));

    clsGraf graf;
    graf.Name = "Main";
    graf.Title = "Prova";
    clsBox* a = AddBox(graf, "clsBoxRectangle", "A", TRect{10, 20, 110, 70});
    a->Text = "Inizio";
    a->FontName = "Arial";
    a->FontColor = 0x0000FF;
    a->FillColor = -1;
    a->Script.AddText("x=1");
    a->Script.AddText("y=2");
    a->Variables.AddPair("k", "v=1");
    a->Variables.AddPair("k", "again");
    clsBox* b = AddBox(graf, "clsBoxLine", "B", TRect{0, 0, 5, -5});
    auto* g = static_cast<clsBoxGroup*>(AddBox(graf, "clsBoxGroup", "G", TRect{1, 2, 3, 4}));
    g->Graf->Name = "Inner";
    AddBox(*g->Graf, "clsBoxPicture", "P", TRect{0, 0, 1, 1});
    a->AddLink(b);
    a->AddLink(g);

    const Names_t expected = Concat({
        {"{", "clsGraf=Main", "Title=Prova", "clsBox.Type=clsBoxRectangle", "{"},
        {"Name=A", "Text=Inizio", "Type=clsBoxRectangle", "Frame=10,20,110,70", "FontColor=255",
         "FontName=Arial", "FontSize=10", "LinkSize=3", "LinkLineColor=16711680",
         "LinkSrcColor=255", "FillColor=-1", "ShadowWidth=3", "ShadowColor=8421504",
         "Script=x=1\ty=2", "Link=B", "Link=G", ":=k=v=1", ":=k=again"},
        {"}", "clsBox.Type=clsBoxLine", "{"},
        DefaultBoxLines("B", "clsBoxLine", "0,0,5,-5"),
        {"}", "clsBox.Type=clsBoxGroup", "{", "{"},
        DefaultBoxLines("G", "clsBoxGroup", "1,2,3,4"),
        {"Graf=", "{", "clsGraf=Inner", "Title=", "clsBox.Type=clsBoxPicture", "{"},
        DefaultBoxLines("P", "clsBoxPicture", "0,0,1,1"),
        {"}", "}", "}", "}", "}"},
    });
    EXPECT_EQ(Written(graf), expected);
}

TEST(TextFormat, RoundTripKeepsKindsOrderFieldsLinksAndNesting) {
    clsGraf graf;
    // Links to boxes that stand later in the text, across every kind.
    clsBox* start = AddBox(graf, "clsBoxRectangle", "Start", TRect{10, 10, 90, 40});
    auto* g1 =
        static_cast<clsBoxGroup*>(AddBox(graf, "clsBoxGroup", "G1", TRect{10, 100, 90, 140}));
    clsBox* line = AddBox(graf, "clsBoxLine", "Line", TRect{0, 0, 300, 200});
    clsBox* picture = AddBox(graf, "clsBoxPicture", "Pic", TRect{200, 10, 260, 60});
    start->AddLink(g1);
    start->AddLink(picture);
    picture->AddLink(start);
    line->AddLink(line);
    start->Text = "Text with = and \x80 and \xE8";
    start->FontName = "DejaVu Sans";
    start->FontSize = 14;
    start->FontColor = 0x123456;
    start->LinkSize = 5;
    start->LinkLineColor = 0x00FF00;
    start->LinkSrcColor = 0x00FFFF;
    start->FillColor = 0xFFFFFF;
    start->ShadowWidth = 7;
    start->ShadowColor = 0x010203;
    start->Script.AddText("");
    start->Script.AddText("a = b");
    start->Script.AddText("");
    start->Script.AddText("c");
    start->Variables.AddPair("Totale", "1.234,5");
    start->Variables.AddPair("", "no name");
    start->Variables.AddPair("Empty", "");
    // Fields outside the text take their defaults when read.
    start->Locked = true;
    start->ComputeState = 2;
    start->LinkDstColor = 0;
    static_cast<clsBoxPicture*>(picture)->PictureFile = "x.png";

    auto* g2 = static_cast<clsBoxGroup*>(AddBox(*g1->Graf, "clsBoxGroup", "G2"));
    clsBox* inner1 = AddBox(*g1->Graf, "clsBoxRectangle", "Inner");
    inner1->AddLink(g2);
    auto* g3 = static_cast<clsBoxGroup*>(AddBox(*g2->Graf, "clsBoxGroup", "G3"));
    clsBox* deep = AddBox(*g3->Graf, "clsBoxRectangle", "Deep", TRect{1, 1, 2, 2});
    clsBox* deeper = AddBox(*g3->Graf, "clsBoxLine", "Deeper");
    deep->AddLink(deeper);
    deep->Script.AddText("deep script");

    const Names_t first = Written(graf);
    clsGraf back;
    back.Name = "kept";
    back.Title = "kept too";
    AddBox(back, "clsBoxRectangle", "Replaced");
    ReadLines(back, first);
    EXPECT_EQ(Written(back).size(), first.size());
    EXPECT_EQ(Str(back.Name), "kept") << "the reader does not take the graph's name";
    EXPECT_EQ(Str(back.Title), "kept too");

    // Kinds and order.
    ASSERT_EQ(back.GetCount(), 4);
    const char* kinds[] = {"clsBoxRectangle", "clsBoxGroup", "clsBoxLine", "clsBoxPicture"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(back.GetValue(i)->TypeName(), kinds[i]);
        EXPECT_EQ(back.GetValue(i)->OwnerGraf, &back);
        EXPECT_EQ(Str(back.GetKey(i)), Str(graf.GetValue(i)->Name));
    }
    // Fields.
    clsBox* s = back.GetBox("Start");
    EXPECT_EQ(Str(s->Text), "Text with = and \x80 and \xE8");
    EXPECT_EQ(Str(s->FontName), "DejaVu Sans");
    EXPECT_EQ(s->FontSize, 14);
    EXPECT_EQ(s->FontColor, 0x123456);
    EXPECT_EQ(s->LinkSize, 5);
    EXPECT_EQ(s->LinkLineColor, 0x00FF00);
    EXPECT_EQ(s->LinkSrcColor, 0x00FFFF);
    EXPECT_EQ(s->FillColor, 0xFFFFFF);
    EXPECT_EQ(s->ShadowWidth, 7);
    EXPECT_EQ(s->ShadowColor, 0x010203);
    EXPECT_EQ(s->Frame, (TRect{10, 10, 90, 40}));
    EXPECT_FALSE(s->Locked);
    EXPECT_EQ(s->ComputeState, 0);
    EXPECT_EQ(s->LinkDstColor, 0xFF0000);
    EXPECT_EQ(Str(static_cast<clsBoxPicture*>(back.GetBox("Pic"))->PictureFile), "");
    // Empty script lines inside the script survive.
    ASSERT_EQ(s->Script.GetCount(), 4);
    EXPECT_EQ(Str(s->Script.GetValueText(0)), "");
    EXPECT_EQ(Str(s->Script.GetValueText(3)), "c");
    ASSERT_EQ(s->Variables.GetCount(), 3);
    EXPECT_EQ(Str(s->Variables.GetKey(0)), "Totale");
    EXPECT_EQ(Str(s->Variables.GetValueText(0)), "1.234,5");
    EXPECT_EQ(Str(s->Variables.GetValueText(1)), "no name");
    EXPECT_EQ(Str(s->Variables.GetKey(2)), "Empty");
    // Links point into the graph read, in both lists.
    EXPECT_EQ(Names(s->LinksOut), (Names_t{"G1", "Pic"}));
    EXPECT_EQ(s->LinksOut.GetValue(0), back.GetBox("G1"));
    EXPECT_EQ(Names(s->LinksIn), (Names_t{"Pic"}));
    EXPECT_EQ(Names(back.GetBox("G1")->LinksIn), (Names_t{"Start"}));
    EXPECT_EQ(Names(back.GetBox("Line")->LinksOut), (Names_t{"Line"}));
    EXPECT_EQ(Names(back.GetBox("Line")->LinksIn), (Names_t{"Line"}));

    // Three levels of groups, each nested graph knowing its group box.
    clsBox* b1 = back.GetBox("G1");
    clsGraf* n1 = Nested(b1);
    ASSERT_NE(n1, nullptr);
    EXPECT_EQ(n1->Owner, b1);
    ASSERT_EQ(n1->GetCount(), 2);
    EXPECT_EQ(Names(n1->GetBox("Inner")->LinksOut), (Names_t{"G2"}));
    clsGraf* n2 = Nested(n1->GetBox("G2"));
    ASSERT_NE(n2, nullptr);
    EXPECT_EQ(n2->Owner->OwnerGraf, n1);
    clsGraf* n3 = Nested(n2->GetBox("G3"));
    ASSERT_NE(n3, nullptr);
    ASSERT_EQ(n3->GetCount(), 2);
    EXPECT_EQ(n3->GetBox("Deep")->LinksOut.GetValue(0), n3->GetBox("Deeper"));
    EXPECT_EQ(Str(n3->GetBox("Deep")->Script.GetValueText(0)), "deep script");
    EXPECT_EQ(n3->Owner->OwnerGraf->Owner->OwnerGraf->Owner->OwnerGraf, &back);

    // Reading again replaces everything and gives the same text.
    back.Name.MakeEmpty();
    back.Title.MakeEmpty();
    ReadLines(back, first);
    EXPECT_EQ(back.GetCount(), 4);
    EXPECT_EQ(Written(back), first);
}

TEST(TextFormat, ReadingToleratesMalformedValues) {
    clsGraf graf;
    AddBox(graf, "clsBoxRectangle", "Old");
    ReadLines(graf, {"{", "clsGraf=x", "Name=NotABox", "}"});
    EXPECT_EQ(graf.GetCount(), 0);

    ReadLines(graf, {"clsBox.Type=clsBoxRectangle",
                     "{",
                     "Name=A",
                     "Frame=10,20",
                     "FontSize=12pt",
                     "LinkSize=x",
                     "ShadowWidth=  -42abc",
                     "FontColor=99999999999999999999",
                     "FillColor=-99999999999999999999",
                     "Unknown=5",
                     "name=a lower-case key",
                     "Text",
                     "Link=Nobody",
                     "Link=B,C",
                     "}",
                     "clsBox.Type=clsBoxCircle",
                     "{",
                     "Name=Skipped",
                     "}",
                     "clsBox.Type=clsboxline",
                     "Name=B",
                     "Name=AfterTheBlock"});
    ASSERT_EQ(graf.GetCount(), 2);
    clsBox* a = graf.GetValue(0);
    EXPECT_EQ(Str(a->Name), "a lower-case key");
    EXPECT_EQ(a->Frame, (TRect{10, 20, 0, 0}));
    EXPECT_EQ(a->FontSize, 12);
    EXPECT_EQ(a->LinkSize, 0);
    EXPECT_EQ(a->ShadowWidth, -42);
    EXPECT_EQ(a->FontColor, INT32_MAX);
    EXPECT_EQ(a->FillColor, INT32_MIN);
    EXPECT_EQ(Str(a->Text), "");
    // The line kind read its single next line as its block.
    clsBox* b = graf.GetValue(1);
    EXPECT_STREQ(b->TypeName(), "clsBoxLine");
    EXPECT_EQ(Str(b->Name), "B");
    // A link by a name with a comma is two names: only B exists.
    EXPECT_EQ(Names(a->LinksOut), (Names_t{"B"}));
    EXPECT_EQ(Str(a->PendingLinks), "Nobody,B,C,");

    // A last line that announces a box gives a box with defaults.
    ReadLines(graf, {"{", "clsBox.Type=clsBoxRectangle"});
    ASSERT_EQ(graf.GetCount(), 1);
    EXPECT_EQ(graf.GetValue(0)->Frame, (TRect{0, 0, 1, 1}));

    // Empty lines at the end of a script come back; a line holding a tab
    // comes back as two.
    clsGraf source;
    clsBox* s = AddBox(source, "clsBoxRectangle", "S");
    s->Script.AddText("one\ttwo");
    s->Script.AddText("three");
    s->Script.AddText("");
    s->Script.AddText("");
    clsGraf copy;
    ReadLines(copy, Written(source));
    const quorbase::clsStrings& script = copy.GetValue(0)->Script;
    ASSERT_EQ(script.GetCount(), 5);
    EXPECT_EQ(Str(script.GetValueText(1)), "two");
    EXPECT_EQ(Str(script.GetValueText(2)), "three");
    EXPECT_EQ(Str(script.GetValueText(4)), "");
    EXPECT_EQ(Written(source)[18], "Script=one\ttwo\tthree\t\t\t");
    clsGraf single;
    AddBox(single, "clsBoxRectangle", "E")->Script.AddText("");
    ReadLines(copy, Written(single));
    EXPECT_EQ(copy.GetValue(0)->Script.GetCount(), 1);
}

TEST(TextFormat, LinksResolveToTheFirstOfEqualNames) {
    clsGraf graf;
    ReadLines(graf, {"clsBox.Type=clsBoxRectangle",
                     "{",
                     "Name=Src",
                     "Link=dup",
                     "Link=DUP",
                     "Link=src",
                     "}",
                     "clsBox.Type=clsBoxRectangle",
                     "{",
                     "Name=Dup",
                     "}",
                     "clsBox.Type=clsBoxRectangle",
                     "{",
                     "Name=dup",
                     "Link=Dup",
                     "}",
                     "clsBox.Type=clsBoxRectangle",
                     "{",
                     "Name=SRC",
                     "Link=dup",
                     "}",
                     "clsBox.Type=clsBoxRectangle",
                     "{",
                     "Name=",
                     "Link=Dup",
                     "}",
                     "clsBox.Type=clsBoxRectangle",
                     "{",
                     "Link=Dup",
                     "}"});
    ASSERT_EQ(graf.GetCount(), 6);
    clsBox* src = graf.GetValue(0);
    clsBox* first = graf.GetValue(1);
    clsBox* second = graf.GetValue(2);
    EXPECT_EQ(Names(src->LinksOut), (Names_t{"Dup", "Src"}));
    EXPECT_EQ(src->LinksOut.GetValue(0), first);
    // LinksIn holds one entry per distinct source name; unnamed sources each count.
    EXPECT_EQ(Names(first->LinksIn), (Names_t{"Src", "dup", "", ""}));
    EXPECT_EQ(first->LinksIn.GetValue(1), second);
    EXPECT_EQ(second->LinksIn.GetCount(), 0);
    EXPECT_EQ(Names(src->LinksIn), (Names_t{"Src"}));

    // The same text resolved the plain way (boxes already linked) agrees.
    clsGraf plain;
    for (int i = 0; i < graf.GetCount(); ++i) {
        clsBox* box = NewBox(&plain, graf.GetValue(i)->TypeName());
        box->Name = graf.GetValue(i)->Name;
        box->PendingLinks = graf.GetValue(i)->PendingLinks;
        plain.Add(box->Name, box);
    }
    for (int i = 0; i < plain.GetCount(); ++i) {
        clsBox* box = plain.GetValue(i);
        int position = 0;
        while (position >= 0) {
            quorbase::clsString piece = box->PendingLinks.Token(',', position);
            if (piece.Length() > 0) box->AddLink(plain.GetBox(piece));
        }
    }
    for (int i = 0; i < graf.GetCount(); ++i) {
        EXPECT_EQ(Names(graf.GetValue(i)->LinksOut), Names(plain.GetValue(i)->LinksOut)) << i;
        EXPECT_EQ(Names(graf.GetValue(i)->LinksIn), Names(plain.GetValue(i)->LinksIn)) << i;
    }
}

TEST(TextFormat, DeepNestingIsReadUpToTheLimit) {
    const int levels = MaxReadNesting + 50;
    Names_t text;
    for (int i = 0; i < levels; ++i) {
        text.insert(text.end(), {"{", "clsGraf=", "clsBox.Type=clsBoxGroup", "{", "{",
                                 "Name=G" + std::to_string(i), "Graf="});
    }
    for (int i = 0; i < levels; ++i)
        text.insert(text.end(), {"}", "}", "}"});
    clsGraf root;
    ReadLines(root, text);
    int depth = 0;
    for (clsGraf* graf = &root; graf && graf->GetCount() > 0; graf = Nested(graf->GetValue(0))) {
        EXPECT_EQ(Str(graf->GetValue(0)->Name), "G" + std::to_string(depth));
        ++depth;
    }
    EXPECT_EQ(depth, MaxReadNesting);
    // What was read writes and reads back the same.
    const Names_t written = Written(root);
    clsGraf again;
    ReadLines(again, written);
    EXPECT_EQ(Written(again), written);
}

TEST(TextFormat, BlockLengthsAgreeWithExtractBlock) {
    // Readers measure blocks with a table built once; it must agree with
    // ExtractBlock on every start and every end of reading, braces
    // unbalanced either way and missing lines included.
    std::mt19937 rng(1209);
    const char* pool[] = {"{", "}", "x", " {", "}}", "{", "}"};
    for (int round = 0; round < 400; ++round) {
        quorbase::clsConfig lines;
        const int count = static_cast<int>(rng() % 40);
        for (int i = 0; i < count; ++i) {
            if (rng() % 25 == 0)
                lines.Insert(nullptr);
            else
                quorbase::Add(lines, pool[rng() % 7]);
        }
        const detail::BlockTable table(lines);
        for (int limit = 0; limit <= count + 1; ++limit) {
            quorbase::clsConfig head;
            head.SetOwning(false);
            for (int i = 0; i < limit && i < count; ++i)
                head.Insert(lines.GetItem(i));
            for (int start = -1; start <= count; ++start) {
                const std::unique_ptr<quorbase::clsConfig> block(head.ExtractBlock(start));
                ASSERT_EQ(table.Length(start, limit), block->GetCount())
                    << "round " << round << " start " << start << " limit " << limit;
            }
        }
    }
}
