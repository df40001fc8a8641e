#include "ChartHelpers.h"

#include <gtest/gtest.h>

using namespace quorgrafica;
using charttest::AddBox;
using charttest::Str;
using Names_t = std::vector<std::string>;

namespace {

// A kind whose step records the order of execution and can be told to fail.
class RecordingBox : public clsBoxRectangle {
public:
    RecordingBox(clsGraf* graf, std::vector<std::string>* log) : clsBoxRectangle(graf), log_(log) {}
    bool Execute(clsBox* caller, bool) override {
        log_->push_back(Str(Name) + "<" + (caller ? Str(caller->Name) : std::string("-")));
        return !Fails;
    }
    void Reset() override { log_->push_back("reset " + Str(Name)); }
    const char* TypeName() const override { return "RecordingBox"; }
    bool Fails = false;

private:
    std::vector<std::string>* log_;
};

struct Chart {
    clsGraf graf;
    std::vector<std::string> log;
    RecordingBox* Box(const char* name) {
        auto* box = new RecordingBox(&graf, &log);
        box->Name = name;
        graf.Add(box->Name, box);
        return box;
    }
    int State(const char* name) { return graf.GetBox(name)->ComputeState; }
};

} // namespace

TEST(Compute, ChainsRunDependenciesFirstBothWays) {
    Chart c;
    RecordingBox* a = c.Box("A");
    RecordingBox* b = c.Box("B");
    RecordingBox* d = c.Box("C");
    a->AddLink(b);
    b->AddLink(d);
    EXPECT_TRUE(c.graf.Compute("a", false, false));
    EXPECT_EQ(c.log, (Names_t{"C<B", "B<A", "A<-"}));
    EXPECT_EQ(c.State("A"), 2);
    EXPECT_EQ(c.State("B"), 2);
    EXPECT_EQ(c.State("C"), 2);

    c.log.clear();
    EXPECT_TRUE(c.graf.Compute("C", true, false));
    EXPECT_EQ(c.log, (Names_t{"A<B", "B<C", "C<-"}));

    // A reset walk marks without running the step.
    c.log.clear();
    EXPECT_TRUE(c.graf.Compute("A", false, true));
    EXPECT_EQ(c.log, (Names_t{"reset C", "reset B", "reset A"}));

    // An unknown name changes nothing.
    a->ComputeState = 0;
    c.log.clear();
    EXPECT_FALSE(c.graf.Compute("Z", false, false));
    EXPECT_TRUE(c.log.empty());
    EXPECT_EQ(c.State("A"), 0);
}

TEST(Compute, DiamondComputesSharedBoxOncePerPath) {
    Chart c;
    RecordingBox* a = c.Box("A");
    RecordingBox* b = c.Box("B");
    RecordingBox* d = c.Box("C");
    RecordingBox* e = c.Box("D");
    a->AddLink(b);
    a->AddLink(d);
    b->AddLink(e);
    d->AddLink(e);
    EXPECT_TRUE(c.graf.Compute("A", false, false));
    EXPECT_EQ(c.log, (Names_t{"D<B", "B<A", "D<C", "C<A", "A<-"}));
    // A lone box runs once.
    RecordingBox* lone = c.Box("Lone");
    c.log.clear();
    EXPECT_TRUE(lone->Compute(nullptr, false, false));
    EXPECT_EQ(c.log, (Names_t{"Lone<-"}));
    EXPECT_EQ(lone->ComputeState, 2);
}

TEST(Compute, FailureStopsDependantsAndSkipsLaterDependencies) {
    Chart c;
    RecordingBox* a = c.Box("A");
    RecordingBox* b = c.Box("B");
    RecordingBox* d = c.Box("C");
    a->AddLink(b);
    a->AddLink(d);
    d->ComputeState = 2;
    b->Fails = true;
    EXPECT_FALSE(c.graf.Compute("A", false, false));
    EXPECT_EQ(c.log, (Names_t{"B<A"}));
    EXPECT_EQ(c.State("B"), 3);
    EXPECT_EQ(c.State("A"), 3);
    EXPECT_EQ(c.State("C"), 2) << "left as it was";
}

TEST(Compute, CyclesEndAndMarkTheCycleFailed) {
    // A box that links to itself.
    {
        clsGraf graf;
        clsBox* self = AddBox(graf, "clsBoxRectangle", "Self");
        self->AddLink(self);
        EXPECT_FALSE(graf.Compute("Self", false, false));
        EXPECT_EQ(self->ComputeState, 3);
        EXPECT_FALSE(graf.Compute("Self", true, false));
        EXPECT_EQ(self->ComputeState, 3);
    }
    // Two boxes linking to each other, and a start above a cycle.
    {
        Chart c;
        RecordingBox* start = c.Box("Start");
        RecordingBox* ok = c.Box("Ok");
        RecordingBox* a = c.Box("A");
        RecordingBox* b = c.Box("B");
        start->AddLink(ok);
        start->AddLink(a);
        a->AddLink(b);
        b->AddLink(a);
        EXPECT_FALSE(c.graf.Compute("Start", false, false));
        EXPECT_EQ(c.State("Ok"), 2);
        EXPECT_EQ(c.State("A"), 3);
        EXPECT_EQ(c.State("B"), 3);
        EXPECT_EQ(c.State("Start"), 3);
        EXPECT_EQ(c.log, (Names_t{"Ok<Start"})) << "no step runs on or above the cycle";
        // Computing again from inside the cycle also ends.
        EXPECT_FALSE(c.graf.Compute("B", false, false));
        EXPECT_EQ(c.State("A"), 3);
    }
}

TEST(Compute, NamesAndScriptsByKind) {
    clsGraf graf;
    clsBox* a = AddBox(graf, "clsBoxRectangle", "A");
    AddBox(graf, "clsBoxLine", "L");
    clsBox* b = AddBox(graf, "clsBoxRectangle", "B");
    a->Script.AddText("x = 1");
    a->Script.AddText("y = 2");
    b->Script.AddPair("k", "v");

    quorbase::clsCStrings names;
    quorbase::Add(names, "previous");
    EXPECT_EQ(graf.GetNames("CLSBOXRECTANGLE", names), 3);
    ASSERT_EQ(names.GetCount(), 3);
    EXPECT_EQ(Str(*names.GetItem(1)), "A");
    EXPECT_EQ(Str(*names.GetItem(2)), "B");
    EXPECT_EQ(graf.GetNames("clsBoxGroup", names), 3);

    auto* scripts = new quorbase::clsCollection<quorbase::clsStrings>(true);
    EXPECT_EQ(graf.GetScripts("clsBoxRectangle", *scripts), 2);
    EXPECT_EQ(Str(scripts->GetKey(0)), "A");
    quorbase::clsStrings* first = scripts->GetValue("b");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Str(first->GetKey(0)), "k");
    EXPECT_EQ(Str(first->GetValueText(0)), "v");
    quorbase::clsStrings* copyA = scripts->GetValue(0);
    ASSERT_EQ(copyA->GetCount(), 2);
    EXPECT_EQ(Str(copyA->GetValueText(1)), "y = 2");
    // The copies are independent of the boxes.
    copyA->AddText("z = 3");
    EXPECT_EQ(a->Script.GetCount(), 2);
    delete scripts;
    EXPECT_EQ(Str(a->Script.GetValueText(0)), "x = 1");
    EXPECT_EQ(Str(b->Script.GetValueText(0)), "v");
}
