#include "quorbase/clsPCollection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorbase;

namespace {

struct Tracked {
    static int alive;
    explicit Tracked(int v) : value(v) { ++alive; }
    ~Tracked() { --alive; }
    int value;
};
int Tracked::alive = 0;

// A window on part of another collection, as readers of nested blocks use.
class Window : public clsC<Tracked> {
public:
    Window(const clsPCollection<Tracked>& source, int start, int count) {
        Borrow(source, start, count);
    }
};

} // namespace

TEST(clsPCollection, GrowthSequenceAndInsertPositions) {
    clsPCollection<int> list(false);
    EXPECT_EQ(list.Capacity(), 1);
    int values[100];
    std::vector<int> capacities;
    for (int i = 0; i < 51; ++i) {
        values[i] = i;
        ASSERT_EQ(list.Insert(&values[i], -1), i);
        capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(std::vector<int>(capacities.begin(), capacities.begin() + 10),
              (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 26, 26}));
    EXPECT_EQ(capacities[24], 26);
    EXPECT_EQ(capacities[25], 50);
    EXPECT_EQ(capacities[48], 50);
    EXPECT_EQ(capacities[49], 86);
    EXPECT_EQ(list.GetItem(-1), nullptr);
    EXPECT_EQ(list.GetItem(51), nullptr);

    clsPCollection<int> small;
    int a = 1, b = 2, c = 3, d = 4;
    small.Insert(&a);
    small.Insert(&b);
    EXPECT_EQ(small.Insert(&c, 0), 0);
    EXPECT_EQ(small.Insert(&d, 1), 1);
    const std::vector<int*> order{small.GetItem(0), small.GetItem(1), small.GetItem(2),
                                  small.GetItem(3)};
    EXPECT_EQ(order, (std::vector<int*>{&c, &d, &a, &b}));

    EXPECT_FALSE(small.Resize(3));
    EXPECT_TRUE(small.Resize(4));
    EXPECT_EQ(small.Capacity(), 5);
    EXPECT_TRUE(small.Resize(20));
    EXPECT_EQ(small.Capacity(), 20);
    EXPECT_EQ(small.GetItem(3), &b);

    small.Clear(true); // not owning: the ints stay
    EXPECT_EQ(small.GetCount(), 0);
    EXPECT_EQ(small.Capacity(), 0);
    EXPECT_EQ(small.Insert(&a), 0);
    EXPECT_EQ(small.Capacity(), 1);
}

TEST(clsPCollection, OwnershipDecidesWhatIsDeleted) {
    Tracked::alive = 0;
    Tracked* items[3];
    {
        clsC<Tracked> owning;
        EXPECT_TRUE(owning.Owning());
        for (int i = 0; i < 3; ++i)
            owning.Insert(items[i] = new Tracked(i));
        EXPECT_EQ(Tracked::alive, 3);
        owning.Clear(false); // frees only the array
        EXPECT_EQ(owning.GetCount(), 0);
    }
    EXPECT_EQ(Tracked::alive, 3);
    for (Tracked* item : items)
        delete item;
    EXPECT_EQ(Tracked::alive, 0);
    {
        Tracked kept(7);
        clsPCollection<Tracked> borrowing(false);
        borrowing.Insert(&kept);
        clsC<Tracked> owning;
        owning.Insert(new Tracked(1));
        owning.Insert(new Tracked(2));
        EXPECT_EQ(Tracked::alive, 3);
    }
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(clsPCollection, AWindowSharesItemsWithoutOwningThem) {
    Tracked::alive = 0;
    {
        clsC<Tracked> source;
        for (int i = 0; i < 6; ++i)
            source.Insert(new Tracked(i));
        {
            const Window middle(source, 2, 3);
            EXPECT_EQ(middle.GetCount(), 3);
            EXPECT_EQ(middle.GetItem(0), source.GetItem(2));
            EXPECT_EQ(middle.GetItem(2)->value, 4);
            EXPECT_EQ(middle.GetItem(3), nullptr); // the source's next item is not the window's
            EXPECT_EQ(middle.GetItem(-1), nullptr);
        }
        EXPECT_EQ(Tracked::alive, 6); // the window deleted nothing
        {
            Window grown(source, 4, 2);
            Tracked extra(9);
            grown.Insert(&extra, 0); // the window takes an array of its own
            EXPECT_EQ(grown.GetCount(), 3);
            EXPECT_EQ(grown.GetItem(1), source.GetItem(4));
            EXPECT_EQ(source.GetItem(4)->value, 4); // the source's array is untouched
            EXPECT_EQ(source.GetCount(), 6);
            EXPECT_FALSE(grown.Owning());
        }
        EXPECT_EQ(Tracked::alive, 6);
        // Out of range asks give an empty window.
        EXPECT_EQ(Window(source, 5, 2).GetCount(), 0);
        EXPECT_EQ(Window(source, -1, 1).GetCount(), 0);
        EXPECT_EQ(Window(source, 6, 0).GetCount(), 0);
    }
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(clsPCollection, AddCopiesAndJoin) {
    clsCStrings lines;
    EXPECT_EQ(Join(lines, "\t").CStr(), nullptr);
    clsString text("x");
    Add(lines, text);
    text = "changed";
    Add(lines, "y", 2);
    Add(lines, "z", 0);
    Add(lines, "never", -3);
    ASSERT_EQ(lines.GetCount(), 3);
    EXPECT_STREQ(lines.GetItem(0)->CStr(), "x");
    EXPECT_NE(lines.GetItem(1), lines.GetItem(2));
    EXPECT_STREQ(Join(lines, "\t").CStr(), "x\ty\ty");
    EXPECT_STREQ(Join(lines, clsString("\n\r")).CStr(), "x\n\ry\n\ry");

    lines.Insert(nullptr, 1);
    Add(lines, "");
    EXPECT_STREQ(Join(lines, ",").CStr(), "x,,y,y,");
    lines.Insert(nullptr, 0); // a null item in the first place gets no separator
    EXPECT_STREQ(Join(lines, ",").CStr(), ",x,,y,y,");
}
