#include "platform/core/Component.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> events;

class Probe : public TComponent {
public:
    Probe(TComponent* owner, const char* name) : TComponent(owner) { SetName(name); }
    ~Probe() override { events.push_back("~" + Name().str()); }
    QUOR_CLASS_NAME(Probe)
    bool throwOnLoad = false;

protected:
    void Loaded() override {
        events.push_back("Loaded " + Name().str() + (IsLoading() ? " loading" : ""));
        if (throwOnLoad) throw std::runtime_error("load failed");
    }
};

class SubProbe : public Probe {
public:
    using Probe::Probe;
    QUOR_CLASS_NAME(SubProbe)
};

} // namespace

TEST(Component, OwnerDestroysItsComponentsLastFirst) {
    events.clear();
    auto* root = new Probe(nullptr, "root");
    auto* a = new Probe(root, "a");
    new Probe(a, "a1");
    new Probe(root, "b");
    auto* c = new Probe(root, "c");
    ASSERT_EQ(root->ComponentCount(), 3);
    EXPECT_EQ(root->Components(0), a);
    EXPECT_EQ(root->Components(2), c);
    EXPECT_EQ(root->Components(3), nullptr);
    EXPECT_EQ(root->Components(-1), nullptr);
    EXPECT_EQ(a->Owner(), root);

    // Destroyed by hand, a component leaves its owner's list.
    delete c;
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(root->FindComponent("B")->Name(), "b");
    EXPECT_EQ(root->FindComponent("c"), nullptr);
    EXPECT_EQ(root->FindComponent("a1"), nullptr); // not owned directly

    delete root;
    EXPECT_EQ(events, (std::vector<std::string>{"~c", "~root", "~b", "~a", "~a1"}));
}

TEST(Component, SetOwnerMovesBetweenLists) {
    events.clear();
    TComponent first;
    TComponent second;
    auto* p = new Probe(&first, "p");
    p->SetOwner(&second);
    EXPECT_EQ(first.ComponentCount(), 0);
    ASSERT_EQ(second.ComponentCount(), 1);
    EXPECT_EQ(p->Owner(), &second);
    // An owner cannot be moved under its own component.
    auto* q = new Probe(p, "q");
    p->SetOwner(q);
    EXPECT_EQ(p->Owner(), &second);
    p->SetOwner(nullptr);
    EXPECT_EQ(second.ComponentCount(), 0);
    delete p;
    EXPECT_EQ(events, (std::vector<std::string>{"~p", "~q"}));
}

TEST(Component, ClassNameIsExact) {
    SubProbe sub(nullptr, "s");
    EXPECT_STREQ(sub.ClassName(), "SubProbe");
    EXPECT_TRUE(sub.ClassNameIs("SubProbe"));
    EXPECT_FALSE(sub.ClassNameIs("Probe"));
    EXPECT_FALSE(sub.ClassNameIs("TComponent"));
    Probe probe(nullptr, "p");
    EXPECT_TRUE(probe.ClassNameIs("Probe"));
    EXPECT_FALSE(probe.ClassNameIs("SubProbe"));
    events.clear();
}

TEST(Component, LoadingReachesComponentsInCreationOrder) {
    events.clear();
    Probe root(nullptr, "root");
    auto* before = new Probe(&root, "before");
    root.BeginLoading();
    auto* a = new Probe(&root, "a");
    auto* a1 = new Probe(a, "a1");
    new Probe(&root, "b");
    EXPECT_TRUE(root.IsLoading());
    EXPECT_TRUE(a->IsLoading());
    EXPECT_TRUE(a1->IsLoading());
    EXPECT_FALSE(before->IsLoading());
    root.EndLoading();
    EXPECT_EQ(events,
              (std::vector<std::string>{"Loaded root", "Loaded a", "Loaded a1", "Loaded b"}));
    EXPECT_FALSE(a1->IsLoading());
    events.clear();
    root.EndLoading(); // Loaded() is called once only
    EXPECT_TRUE(events.empty());
}

TEST(Component, ExceptionFromLoadedStopsTheRest) {
    events.clear();
    Probe root(nullptr, "root");
    root.BeginLoading();
    auto* a = new Probe(&root, "a");
    auto* b = new Probe(&root, "b");
    a->throwOnLoad = true;
    EXPECT_THROW(root.EndLoading(), std::runtime_error);
    EXPECT_EQ(events, (std::vector<std::string>{"Loaded root", "Loaded a"}));
    EXPECT_TRUE(b->IsLoading());
    events.clear();
}

namespace {

// Keeps a pointer to another component, as a control keeps its label.
class Holder : public TComponent {
public:
    TComponent* held = nullptr;
    int removals = 0;
    void Hold(TComponent* c) {
        if (held) RemoveFreeNotification(held);
        held = c;
        if (c) FreeNotification(c);
    }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove && component == held) {
            held = nullptr;
            ++removals;
        }
    }
};

// Notes every component it hears has gone.
class Listener : public TComponent {
public:
    // Addresses as numbers: they are compared after the components are gone.
    std::vector<std::uintptr_t> heard;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove) heard.push_back(reinterpret_cast<std::uintptr_t>(component));
    }
};

} // namespace

TEST(Component, FreeNotificationClearsPointersOfEitherSide) {
    Holder holder;
    auto* label = new TComponent;
    holder.Hold(label);
    holder.FreeNotification(label); // asked twice, heard once
    delete label;
    EXPECT_EQ(holder.held, nullptr);
    EXPECT_EQ(holder.removals, 1);

    // The link runs both ways: the held component hears of its holder going first, and
    // the holder leaves nothing behind, so that only the live holder hears of it later.
    auto* image = new Listener;
    auto* early = new Holder;
    early->Hold(image);
    const auto earlyAddress = reinterpret_cast<std::uintptr_t>(early);
    delete early;
    EXPECT_EQ(image->heard, (std::vector<std::uintptr_t>{earlyAddress}));
    Holder other;
    other.Hold(image);
    delete image;
    EXPECT_EQ(other.held, nullptr);
    EXPECT_EQ(other.removals, 1);
    other.removals = 0;

    // A pointer given up no longer hears of the destruction.
    auto* dropped = new TComponent;
    other.Hold(dropped);
    other.Hold(nullptr);
    delete dropped;
    EXPECT_EQ(other.removals, 0);
}
