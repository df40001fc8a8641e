#include "quorbase/clsCollection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorbase;

namespace {

struct Value {
    static int alive;
    explicit Value(int v) : n(v) { ++alive; }
    virtual ~Value() { --alive; }
    int n;
};
int Value::alive = 0;

std::string Keys(const clsCollection<Value>& c) {
    std::string out;
    for (int i = 0; i < c.GetCount(); ++i) {
        const clsNodo<Value>* node = c.GetNode(i);
        out += node ? (node->HasKey() ? node->GetKey().CStr() : "-") : "_";
    }
    return out;
}

std::string Values(const clsStrings& s) {
    std::string out;
    for (int i = 0; i < s.GetCount(); ++i) {
        const clsString* v = s.GetValue(i);
        out += std::string(s.GetKey(i).CStr() ? s.GetKey(i).CStr() : "") + "/" +
               (v && v->CStr() ? v->CStr() : "") + "|";
    }
    return out;
}

} // namespace

TEST(clsCollection, GrowthClosesHolesAndRestartsAfterClear) {
    Value::alive = 0;
    clsCollection<Value> c(true);
    EXPECT_EQ(c.Capacity(), 0);
    std::vector<int> capacities;
    for (int i = 0; i < 40; ++i) {
        c.Add(new Value(i));
        capacities.push_back(c.Capacity());
    }
    const std::vector<int> expected{2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 14, 14, 14, 19};
    EXPECT_EQ(std::vector<int>(capacities.begin(), capacities.begin() + 14), expected);
    EXPECT_EQ(capacities[18], 25);
    EXPECT_EQ(capacities[24], 33);
    EXPECT_EQ(capacities[32], 43);
    EXPECT_EQ(c.Flags() & 1u, 0u);
    c.Clear(true);
    EXPECT_EQ(Value::alive, 0);
    c.Add("a", new Value(0));
    EXPECT_EQ(c.Capacity(), 2);

    // Holes survive until the array grows, which renumbers the nodes.
    for (char k = 'b'; k <= 'j'; ++k)
        c.Add(clsString(k), new Value(k));
    ASSERT_EQ(c.Capacity(), 14);
    EXPECT_EQ(c.RemoveAt(1, false, false), 10);
    EXPECT_EQ(c.GetValue(1), nullptr);
    EXPECT_THROW(c.GetKey(1), const char*);
    EXPECT_EQ(c.Find("C"), 2);
    EXPECT_EQ(c.Add("k", new Value(0)), 10);
    EXPECT_EQ(c.Add("l", new Value(0)), 11);
    EXPECT_EQ(c.Add("m", new Value(0)), 12);
    EXPECT_EQ(Keys(c), "a_cdefghijklm");
    EXPECT_EQ(c.Add("n", new Value(0)), 12); // grew: the hole closed first
    EXPECT_EQ(c.Capacity(), 19);
    EXPECT_EQ(Keys(c), "acdefghijklmn");
    EXPECT_EQ(c.Find("c"), 1);
    EXPECT_EQ(Value::alive, 13);
    EXPECT_EQ(c.RemoveAt(0, false, false), 13);
    EXPECT_EQ(c.RemoveAt(0, true, false), 12); // compacting a hole
    EXPECT_EQ(Keys(c), "cdefghijklmn");
    EXPECT_EQ(Value::alive, 12);
}

TEST(clsCollection, KeysAreCaseInsensitiveAndFirstMatchWins) {
    clsCollection<Value> c(true);
    c.Add("Uno", new Value(1));
    c.Add("uno", new Value(2));
    c.Add(clsString("UNO"), new Value(3));
    c.Add(new Value(4));
    EXPECT_EQ(c.Find("uNo"), 0);
    EXPECT_EQ(c.Find(""), -1); // a keyless node is never found
    EXPECT_EQ(c.Find("due"), -1);
    EXPECT_EQ(c.GetValue("UNO")->n, 1);
    EXPECT_EQ(c.GetValue("none"), nullptr);
    EXPECT_EQ(&c.GetKey(3), &EmptyString);

    EXPECT_EQ(c.Set("uno", new Value(5)), 0);
    EXPECT_STREQ(c.GetKey(0).CStr(), "uno");
    EXPECT_EQ(c.GetValue(0)->n, 5);
    EXPECT_EQ(c.GetValue(1)->n, 2);
    EXPECT_EQ(c.Set("due", new Value(6)), 4);
    Value* same = c.GetValue(4);
    c.Set("DUE", same); // re-setting the stored value keeps it alive
    EXPECT_EQ(c.GetValue(4)->n, 6);

    Value mine(7);
    EXPECT_EQ(c.AddUnique("UNO", &mine), 0);
    EXPECT_EQ(c.GetValue(0)->n, 5);
    EXPECT_EQ(c.AddUnique("tre", &mine, true), 5);
    EXPECT_EQ(c.Remove("tre"), 5);
    EXPECT_EQ(mine.n, 7); // not owned, not deleted

    const auto thrownBy = [&c](int index) -> std::string {
        try {
            c.GetKey(index);
        } catch (const char* message) {
            return message;
        }
        return "nothing thrown";
    };
    EXPECT_EQ(thrownBy(-1), "clsString: Bad index!");
    EXPECT_EQ(thrownBy(99), "clsString: Bad index!");
    EXPECT_EQ(thrownBy(c.GetCount()), "clsString: Bad index!");
    EXPECT_EQ(c.RemoveAt(99, true, false), 5);
    EXPECT_EQ(c.Remove("absent"), 5);
}

TEST(clsCollection, MoveRemoveAndOwnership) {
    Value::alive = 0;
    {
        clsCollection<Value> c(true);
        c.Add("A", new Value(1));
        c.Add("B", new Value(2));
        c.Add("C", new Value(3));
        EXPECT_TRUE(c.Move(0, 2));
        EXPECT_EQ(Keys(c), "BCA");
        EXPECT_TRUE(c.Move(2, 0));
        EXPECT_EQ(Keys(c), "ABC");
        EXPECT_FALSE(c.Move(1, 1));
        EXPECT_FALSE(c.Move(0, 3));
        EXPECT_FALSE(c.Move(-1, 0));

        Value* kept = c.GetValue(0);
        EXPECT_EQ(c.RemoveAt(0, true, true), 2);
        EXPECT_EQ(Keys(c), "BC");
        EXPECT_EQ(Value::alive, 3);
        delete kept;
        EXPECT_EQ(c.RemoveAt(0, true, false), 1);
        EXPECT_EQ(Value::alive, 1);

        // A node copied from another carries the key text and the pointer.
        clsCollection<Value> borrowing(false);
        EXPECT_EQ(borrowing.AddNode(nullptr), -1);
        EXPECT_EQ(borrowing.AddNode(c.GetNode(0)), 0);
        EXPECT_STREQ(borrowing.GetKey(0).CStr(), "C");
        EXPECT_EQ(borrowing.GetValue(0), c.GetValue(0));
        EXPECT_FALSE(borrowing.GetNode(0)->Owns());

        // An owning collection can still hold values it does not own.
        Value outside(9);
        c.Add("x", &outside, true);
        EXPECT_FALSE(c.GetNode(1)->Owns());
    }
    EXPECT_EQ(Value::alive, 0);

    clsCollection<Value> c(true);
    c.Add("k", new Value(1));
    clsNodo<Value>* node = c.GetNode(0);
    c.Clear(false); // the node outlives the array
    EXPECT_EQ(c.GetCount(), 0);
    EXPECT_STREQ(node->GetKey().CStr(), "k");
    delete node;
    EXPECT_EQ(Value::alive, 0);
}

TEST(clsCollection, CompareNodesOrdersNullsFirst) {
    clsNodo<Value> a, b;
    a.SetKey("apple");
    b.SetKey("BANANA");
    clsNodo<Value>* pa = &a;
    clsNodo<Value>* pb = &b;
    clsNodo<Value>* none = nullptr;
    EXPECT_LT(CompareNodes(&pa, &pb), 0);
    EXPECT_GT(CompareNodes(&pb, &pa), 0);
    EXPECT_EQ(CompareNodes(&none, &none), 0);
    EXPECT_EQ(CompareNodes<Value>(nullptr, &pa), -1);
    EXPECT_EQ(CompareNodes(&pa, &none), 1);
    a.SetKey("");
    EXPECT_FALSE(a.HasKey());
    EXPECT_EQ(a.CompareKey(""), 1);
    b.SetKey("banana");
    EXPECT_EQ(b.CompareKey("Banana"), 0);
}

TEST(clsStrings, PairsSplitAndJoin) {
    clsStrings s;
    EXPECT_EQ(s.AddText("v"), 0);
    EXPECT_EQ(s.AddPair("k", "1"), 1);
    EXPECT_EQ(s.AddPair("K", "2"), 2);
    EXPECT_EQ(s.AddPair("k", "3", true), 1);
    EXPECT_EQ(s.AddPair("K", "4", false, true), 1);
    EXPECT_EQ(s.AddPair("new", "5", false, true), 3);
    EXPECT_EQ(Values(s), "/v|k/3|K/2|new/5|");
    EXPECT_STREQ(s.GetValueText(1).CStr(), "3");
    EXPECT_EQ(s.GetValueText(9).CStr(), nullptr);
    EXPECT_STREQ(s.JoinValues(",").CStr(), "v,3,2,5");
    EXPECT_STREQ(s.JoinValues(",", false).CStr(), "v325");
    s.RemoveAt(1, false, false);
    EXPECT_STREQ(s.JoinValues(",").CStr(), "v,,2,5");

    EXPECT_EQ(s.Split("a;b;;c", ';', 0), 4);
    EXPECT_EQ(Values(s), "/a|/b|/|/c|");
    EXPECT_EQ(s.Split("x=1;y;=z;w=", ';', 2), 4);
    EXPECT_EQ(Values(s), "x/1|y/|/z|w/|");
    EXPECT_EQ(s.Split(" a = 1 ; b ;", ';', 2, true), 2);
    EXPECT_EQ(Values(s), "a/1|b/|");
    EXPECT_EQ(s.Split("a\tB\t", '\t', 1), 2);
    EXPECT_EQ(s.Find("b"), 1);
    EXPECT_EQ(Values(s), "a/a|B/B|");
    EXPECT_EQ(s.Split("'a;b';c", ';', 0, false, true), 2);
    EXPECT_EQ(Values(s), "/'a;b'|/c|");
    EXPECT_EQ(s.Split("'a;b';c", ';', 0), 3);
    EXPECT_EQ(s.Split("a;b", ';', 7), 0);
    EXPECT_EQ(s.Split("", ';'), 0);
    EXPECT_EQ(s.Split(";", ';'), 1);
}

namespace {

// Counts the clearing a subclass would hang its own state on.
class CountingCollection : public clsCollection<clsString> {
public:
    CountingCollection() : clsCollection<clsString>(true) {}
    void Clear(bool destroy = true) override {
        ++clears;
        clsCollection<clsString>::Clear(destroy);
    }
    int clears = 0;
};

} // namespace

TEST(clsCollection, AddingToAnEmptyCollectionRunsNoClear) {
    CountingCollection list;
    EXPECT_EQ(list.Add("a", new clsString("uno")), 0);
    EXPECT_EQ(list.clears, 0);
    EXPECT_EQ(list.Add("b", new clsString("due")), 1);
    list.Clear();
    EXPECT_EQ(list.clears, 1);
    EXPECT_EQ(list.GetCount(), 0);
    // After a clear the next Add starts a fresh array, again without Clear.
    EXPECT_EQ(list.Add("c", new clsString("tre")), 0);
    EXPECT_EQ(list.clears, 1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.Find("C"), 0);
    EXPECT_STREQ(list.GetValue(0)->CStr(), "tre");
}
