#include "db/GridLayouts.h"

#include "platform/gui/DBGrid.h"
#include "platform/gui/Form.h"
#include "quorbase/clsCollection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using quorbase::clsString;
using quorbase::clsStrings;

class TGrigliaSpeciale : public TDBGrid {
public:
    using TDBGrid::TDBGrid;
    QUOR_CLASS_NAME(TGrigliaSpeciale)
};

template <typename Grid = TDBGrid>
Grid* MakeGrid(TForm* form, const AnsiString& name,
               const std::vector<std::pair<const char*, int>>& columns) {
    auto* grid = new Grid(form);
    grid->SetName(name);
    for (const auto& [field, width] : columns)
        grid->Columns().Add(field)->SetWidth(width);
    return grid;
}

// The grid's columns as "Field=Width" joined with spaces.
std::string Layout(const TDBGrid* grid) {
    std::string text;
    for (int i = 0; i < grid->Columns().Count(); ++i) {
        const TColumn* column = grid->Columns().Items(i);
        if (!text.empty()) text += ' ';
        text += column->FieldName().str() + "=" + std::to_string(column->Width());
    }
    return text;
}

std::string Text(const clsString& text) {
    return text.CStr() ? std::string(text.CStr(), text.Length()) : std::string();
}

void Fill(clsStrings& list, const std::vector<const char*>& values) {
    list.Clear(true);
    for (const char* value : values)
        list.AddText(value);
}

TEST(GridLayoutsTest, SaveGivesTheNameThenOneEntryPerColumn) {
    TForm form(nullptr);
    TDBGrid* grid = MakeGrid(&form, "grdProva", {{"A", 64}, {"B", 100}, {"C", 80}});
    clsStrings list;
    list.AddText("vecchio");
    ASSERT_TRUE(SaveGridColumns(grid, list));
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(Text(list.GetValueText(0)), "grdProva\t");
    EXPECT_EQ(Text(list.GetValueText(1)), "A=64");
    EXPECT_EQ(Text(list.GetValueText(2)), "B=100");
    EXPECT_EQ(Text(list.GetValueText(3)), "C=80");
    EXPECT_EQ(Text(list.GetKey(1)), "");

    // No grid, no form: a result, not a crash.
    EXPECT_FALSE(SaveGridColumns(nullptr, list));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(LoadGridColumns(nullptr, list));
    EXPECT_EQ(Text(StringFormGrids(nullptr)), "");
    EXPECT_FALSE(LoadFormGrids(nullptr, clsString("grdProva\t\tA=1\n")));
}

TEST(GridLayoutsTest, LoadPutsTheNamedColumnsFirstAndSkipsBadEntries) {
    TForm form(nullptr);
    TDBGrid* grid = MakeGrid(&form, "grdProva", {{"A", 64}, {"B", 100}, {"C", 80}});
    clsStrings list;
    Fill(list, {"C=80", "A=50"});
    ASSERT_TRUE(LoadGridColumns(grid, list));
    EXPECT_EQ(Layout(grid), "C=80 A=50 B=100");

    // Skipped entries take no position; field names match with their case.
    Fill(list, {"grdProva", "", "B=0", "B=abc", "B", "X=10", "b=5", "B=-3", "A=30x", "B=7"});
    ASSERT_TRUE(LoadGridColumns(grid, list));
    EXPECT_EQ(Layout(grid), "A=30 B=7 C=80");

    clsStrings empty;
    ASSERT_TRUE(LoadGridColumns(grid, empty));
    EXPECT_EQ(Layout(grid), "A=30 B=7 C=80");
}

TEST(GridLayoutsTest, FormTextHasOneLinePerGridInComponentOrder) {
    TForm form(nullptr);
    EXPECT_EQ(Text(StringFormGrids(&form)), "");
    EXPECT_TRUE(LoadFormGrids(&form, clsString("grdX\t\tA=1\n")));

    MakeGrid(&form, "grdCondomini", {{"Nome", 200}, {"Comune", 120}});
    new TComponent(&form);
    MakeGrid<TGrigliaSpeciale>(&form, "grdMovimenti", {{"Data", 80}});
    EXPECT_EQ(Text(StringFormGrids(&form)),
              "grdCondomini\t\tNome=200\tComune=120\ngrdMovimenti\t\tData=80\n");
}

TEST(GridLayoutsTest, FormTextIsAppliedByGridNameWithoutRegardToCase) {
    TForm form(nullptr);
    TDBGrid* condomini = MakeGrid(&form, "grdCondomini", {{"Nome", 200}, {"Comune", 120}});
    TDBGrid* movimenti = MakeGrid(&form, "grdMovimenti", {{"Data", 80}, {"Importo", 90}});
    TDBGrid* spese = MakeGrid(&form, "grdSpese", {{"Voce", 60}});

    // No line feed after the last line; an unknown grid; the first of two
    // lines for the same grid wins.
    const clsString text("grdAltro\t\tVoce=10\n"
                         "\n"
                         "GRDCONDOMINI\t\tComune=150\tnome=10\n"
                         "grdMovimenti\t\tImporto=95\tData=85\n"
                         "grdmovimenti\t\tData=1");
    EXPECT_TRUE(LoadFormGrids(&form, text));
    EXPECT_EQ(Layout(condomini), "Comune=150 Nome=200");
    EXPECT_EQ(Layout(movimenti), "Importo=95 Data=85");
    EXPECT_EQ(Layout(spese), "Voce=60");

    // What is saved loads back to the same layout.
    const clsString saved = StringFormGrids(&form);
    condomini->Columns().Items(0)->SetIndex(1);
    condomini->Columns().Items(0)->SetWidth(5);
    EXPECT_TRUE(LoadFormGrids(&form, saved));
    EXPECT_EQ(Layout(condomini), "Comune=150 Nome=200");
    EXPECT_EQ(Text(StringFormGrids(&form)), Text(saved));
}

} // namespace
