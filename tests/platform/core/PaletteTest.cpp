#include "platform/core/Component.h"
#include "platform/core/Palette.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class TPaletteProbe : public TComponent {
public:
    using TComponent::TComponent;
    QUOR_CLASS_NAME(TPaletteProbe)
};

} // namespace

TEST(Palette, PagesEntriesAndCreation) {
    RegisterComponent<TPaletteProbe>("ProvaA", "TPaletteProbe");
    RegisterComponent<TComponent>("ProvaB", "TComponentProva");
    RegisterComponent<TComponent>("ProvaA", "TAltroProva");

    const auto pages = PalettePages();
    const auto a = std::find(pages.begin(), pages.end(), AnsiString("ProvaA"));
    const auto b = std::find(pages.begin(), pages.end(), AnsiString("ProvaB"));
    ASSERT_NE(a, pages.end());
    ASSERT_NE(b, pages.end());
    EXPECT_LT(a, b);

    const auto onA = PaletteComponents("ProvaA");
    ASSERT_EQ(onA.size(), 2u);
    EXPECT_EQ(onA[0].className, "TPaletteProbe");
    EXPECT_EQ(onA[1].className, "TAltroProva");

    TComponent owner;
    TComponent* made = onA[0].create(&owner);
    EXPECT_TRUE(made->ClassNameIs("TPaletteProbe"));
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_EQ(owner.ComponentCount(), 1);

    // A class registered again moves to its new page.
    RegisterComponent<TPaletteProbe>("ProvaB", "TPaletteProbe");
    EXPECT_EQ(PaletteComponents("ProvaA").size(), 1u);
    ASSERT_NE(FindPaletteEntry("TPaletteProbe"), nullptr);
    EXPECT_EQ(FindPaletteEntry("TPaletteProbe")->page, "ProvaB");
    EXPECT_EQ(FindPaletteEntry("TNessuno"), nullptr);
}
