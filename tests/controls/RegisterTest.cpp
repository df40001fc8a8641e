#include "controls/Register.h"
#include "platform/core/Component.h"
#include "platform/core/Palette.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>
#include <string>
#include <vector>

#include "tests/platform/gui/GuiTestSupport.h"

TEST(RegisterQuorControls, TheThreeControlsAreOnThePageQuor) {
    TestApp();
    RegisterQuorControls();
    std::vector<std::string> names;
    for (const TPaletteEntry& entry : PaletteComponents("Quor"))
        names.push_back(entry.className.str());
    EXPECT_EQ(names, (std::vector<std::string>{"QuorDbEdit", "TDBQuorLookupComboBox",
                                               "TQuorTreeView"}));
    // Each entry makes a component of its class, owned by the given owner.
    TComponent owner;
    for (const char* name : {"QuorDbEdit", "TDBQuorLookupComboBox", "TQuorTreeView"}) {
        const TPaletteEntry* entry = FindPaletteEntry(name);
        ASSERT_NE(entry, nullptr) << name;
        TComponent* made = entry->create(&owner);
        ASSERT_NE(made, nullptr);
        EXPECT_STREQ(made->ClassName(), name);
        EXPECT_EQ(made->Owner(), &owner);
    }
    EXPECT_EQ(owner.ComponentCount(), 3);
    // Registering again replaces the entries instead of adding more.
    RegisterQuorControls();
    EXPECT_EQ(PaletteComponents("Quor").size(), 3u);
}
