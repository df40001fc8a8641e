// The demo archive's chart of accounts: its table and index as the tree view
// needs them, its levels, and adding it to an archive written without it.

#include "tests/tools/ArchiveQueries.h"
#include "tests/tools/RunProgram.h"

#include "tools/demoarchive/ChartOfAccounts.h"
#include "tools/demoarchive/DemoArchive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tooltest::One;
using tooltest::ReadFile;
using tooltest::Rows;

namespace {

// Each account with its level, 1 at the top; accounts that no top-level
// account reaches are left out.
const char* const kLevels =
    "WITH RECURSIVE t(id, level) AS (SELECT IdConto, 1 FROM PianoConti WHERE Padre = 0 "
    "UNION ALL SELECT p.IdConto, t.level + 1 FROM PianoConti p JOIN t ON p.Padre = t.id) ";

class DemoChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        demoarchive::Options options;
        options.movements = 10;
        std::string error;
        ASSERT_TRUE(demoarchive::MakeDemoArchive(dir / "demo", options, result, error)) << error;
    }
    std::string Archive() const { return result.archive; }

    TempDir dir;
    demoarchive::Result result;
};

TEST_F(DemoChartTest, TheTableHasTheTreeViewsFieldsAndIndex) {
    EXPECT_EQ(Rows(Archive(), "SELECT name, type, pk FROM pragma_table_info('PianoConti')"),
              (std::vector<std::string>{"IdConto|INTEGER|1", "Padre|INTEGER|0",
                                        "Descrizione|VARCHAR(60)|0", "Icona|INTEGER|0",
                                        "Ordine|INTEGER|0"}));
    EXPECT_EQ(Rows(Archive(), "SELECT name FROM pragma_index_info('idxPadre')"),
              (std::vector<std::string>{"Padre", "Ordine"}));
    // The key is never 0 and new records get one of their own.
    EXPECT_EQ(One(Archive(), "SELECT min(IdConto) > 0 FROM PianoConti"), "1");
    EXPECT_EQ(One(Archive(), "SELECT seq = (SELECT max(IdConto) FROM PianoConti) FROM "
                             "sqlite_sequence WHERE name = 'PianoConti'"),
              "1");
}

TEST_F(DemoChartTest, FiveLevelsOfAFewHundredAccountsInOrder) {
    const std::string archive = Archive();
    const int total = std::stoi(One(archive, "SELECT count(*) FROM PianoConti"));
    EXPECT_EQ(total, result.accounts);
    EXPECT_GE(total, 200);
    EXPECT_LE(total, 600);
    // Every account hangs from the top level: no dangling link, no loop.
    EXPECT_EQ(One(archive, std::string(kLevels) + "SELECT count(*) FROM t"), std::to_string(total));
    const auto levels =
        Rows(archive, std::string(kLevels) + "SELECT level, count(*) FROM t GROUP BY level");
    ASSERT_EQ(levels.size(), 5u);
    EXPECT_EQ(levels[0], "1|7");
    EXPECT_EQ(levels[1], "2|27");
    EXPECT_EQ(levels[2], "3|82");
    for (const std::string& level : levels)
        EXPECT_GE(std::stoi(level.substr(level.find('|') + 1)), 7) << level;
    EXPECT_EQ(Rows(archive, "SELECT Descrizione FROM PianoConti WHERE Padre = 0 ORDER BY Ordine"),
              (std::vector<std::string>{"Spese generali", "Manutenzioni", "Servizi comuni",
                                        "Riscaldamento", "Spese amministrative", "Entrate",
                                        "Fondi e riserve"}));

    // Siblings are numbered 1..n without gaps and have different captions.
    EXPECT_EQ(Rows(archive, "SELECT Padre FROM PianoConti GROUP BY Padre HAVING min(Ordine) <> 1 "
                            "OR max(Ordine) <> count(*) OR count(DISTINCT Ordine) <> count(*) "
                            "OR count(DISTINCT Descrizione) <> count(*)"),
              std::vector<std::string>{});
    EXPECT_EQ(One(archive, "SELECT count(*) FROM PianoConti WHERE Descrizione IS NULL OR "
                           "trim(Descrizione) = '' OR Padre IS NULL OR Ordine IS NULL"),
              "0");
    // Italian letters are stored as UTF-8.
    EXPECT_EQ(One(archive, "SELECT hex(Descrizione) FROM PianoConti WHERE Descrizione LIKE "
                           "'Responsabilit%'"),
              "526573706F6E736162696C6974C3A020636976696C65");

    // Icons by level and kind, all within the list the gallery draws.
    using namespace demoarchive;
    EXPECT_EQ(One(archive, "SELECT min(Icona) >= 0 AND max(Icona) < " +
                               std::to_string(kChartIcons) + " FROM PianoConti"),
              "1");
    EXPECT_EQ(Rows(archive, std::string(kLevels) +
                                "SELECT DISTINCT min(level, 4), Icona FROM t JOIN PianoConti ON "
                                "IdConto = id ORDER BY 1, 2"),
              (std::vector<std::string>{
                  "1|" + std::to_string(iconCategoria), "2|" + std::to_string(iconSottocategoria),
                  "3|" + std::to_string(iconSpesa), "3|" + std::to_string(iconEntrata),
                  "3|" + std::to_string(iconFondo), "4|" + std::to_string(iconDettaglio)}));
    EXPECT_EQ(One(archive, "SELECT DISTINCT c.Icona FROM PianoConti c JOIN PianoConti g ON "
                           "c.Padre = g.IdConto JOIN PianoConti r ON g.Padre = r.IdConto WHERE "
                           "r.Descrizione = 'Entrate'"),
              std::to_string(iconEntrata));
}

TEST_F(DemoChartTest, AnArchiveWithoutTheChartGetsTheSameOneAndOneWithItKeepsIt) {
    const std::string archive = Archive();
    const std::string all = "SELECT * FROM PianoConti ORDER BY IdConto";
    const auto chart = Rows(archive, all);

    // Another run writes the same chart.
    demoarchive::Result again;
    std::string error;
    ASSERT_TRUE(demoarchive::MakeDemoArchive(dir / "again", demoarchive::Options(), again, error));
    EXPECT_EQ(Rows(again.archive, all), chart);

    // An archive of before the chart.
    tooltest::Exec(archive, "DROP TABLE PianoConti; DELETE FROM sqlite_sequence WHERE name = "
                            "'PianoConti'");
    const auto movements = Rows(archive, "SELECT * FROM MovConti ORDER BY idMovConti");
    ASSERT_TRUE(demoarchive::AddChartOfAccounts(archive, error)) << error;
    EXPECT_EQ(Rows(archive, all), chart);
    EXPECT_EQ(Rows(archive, "SELECT name FROM pragma_index_info('idxPadre')"),
              (std::vector<std::string>{"Padre", "Ordine"}));
    EXPECT_EQ(Rows(archive, "SELECT * FROM MovConti ORDER BY idMovConti"), movements);

    // One that has it, changed by its user, stays as it is.
    tooltest::Exec(archive, "UPDATE PianoConti SET Descrizione = 'Mie spese' WHERE IdConto = 1");
    ASSERT_TRUE(demoarchive::AddChartOfAccounts(archive, error)) << error;
    EXPECT_EQ(One(archive, "SELECT count(*) FROM PianoConti"), std::to_string(chart.size()));
    EXPECT_EQ(One(archive, "SELECT Descrizione FROM PianoConti WHERE IdConto = 1"), "Mie spese");

    // A file that is not an archive is named and left alone.
    const std::string text = dir / "appunti.db";
    std::ofstream(text, std::ios::binary) << "non sono un archivio\n";
    EXPECT_FALSE(demoarchive::AddChartOfAccounts(text, error));
    EXPECT_TRUE(tooltest::Contains(error, text)) << error;
    EXPECT_EQ(ReadFile(text), "non sono un archivio\n");
    EXPECT_FALSE(demoarchive::AddChartOfAccounts(dir / "manca.db", error));
    EXPECT_TRUE(tooltest::Contains(error, dir / "manca.db")) << error;
    EXPECT_FALSE(std::filesystem::exists(dir / "manca.db"));
}

TEST_F(DemoChartTest, TheProgramSaysHowManyAccountsItWrote) {
    const auto run = tooltest::RunProgram(MAKE_DEMO_ARCHIVE_EXE, {"demo2", "--movements=3"},
                                          dir.path().string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(tooltest::Contains(run.out, ", " + std::to_string(result.accounts) + " conti" + tooltest::kLineEnd))
        << run.out;
}

} // namespace
