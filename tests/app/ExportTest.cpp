// The current-account export over a real archive: the exact text for
// hand-made movements, and the whole export of a generated condominium
// against the same rows read straight from SQLite.

#include "app/ContoCorrenteExport.h"
#include "app/datBracUtil.h"
#include "tests/app/AppFixture.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const std::string kHeader = "\"Data\"\t\"Valuta\"\t\"Causale\"\t\"Descrizione\"\t\"Importo\"";

std::string Text(const quorbase::clsString& text) {
    return std::string(text.CStr() ? text.CStr() : "", static_cast<std::size_t>(text.Length()));
}

class ExportTest : public AppArchiveTest {
protected:
    // Opens the module as the program does and exports condominium id.
    std::string ExportOf(int id) {
        ScopedScriptedDialogs dialogs;
        TdatBracoUtil module;
        EXPECT_TRUE(module.tblCondomini->Active());
        EXPECT_TRUE(module.tblCondomini->Locate("IdCondominio", Variant(id)));
        const std::string text = Text(BuildContoCorrenteText(module.tblCondomini));
        EXPECT_TRUE(dialogs->Questions().empty());
        return text;
    }
};

TEST_F(ExportTest, CondominiumWithoutMovementsGivesTheHeaderAlone) {
    const int id = AddCondominium("Condominio Vuoto");
    EXPECT_EQ(ExportOf(id), kHeader);
}

TEST_F(ExportTest, QuotesCauseAndDescriptionAndRendersDatesAndAmounts) {
    const int id = AddCondominium("Condominio Prova");
    AddMovement(id, 1, "2007-03-05", "12.50", "l'uno");
    AddMovement(id, 11, "2007-03-06", "100.00", "");
    AddMovement(id, 99, "2007-11-17", "-3.2", "Già pagato all'impresa");
    AddMovement(id, 3, "2024-12-31", "1234567.89", "Revisione ascensore 'annuale'");
    const std::string expected =
        kHeader + "\r\n" +
        "05/03/2007\t\x80\t'Quote condominiali'\t'l''uno'\t12,5\r\n"
        // A cause with an apostrophe; an empty description gives two apostrophes.
        "06/03/2007\t\x80\t'Ritenuta d''acconto'\t''\t100\r\n"
        // A cause missing from Causali still gives its line.
        "17/11/2007\t\x80\t''\t'Gi\xE0 pagato all''impresa'\t-3,2\r\n"
        "31/12/2024\t\x80\t'Manutenzione ascensore'\t'Revisione ascensore ''annuale'''\t"
        "1234567,89";
    EXPECT_EQ(ExportOf(id), expected);
}

TEST_F(ExportTest, NullDateAndAmountLeaveEmptyColumns) {
    const int id = AddCondominium("Condominio Nulli");
    AddMovement(id, 2, std::nullopt, std::nullopt, "senza data");
    AddMovement(id, 2, "2020-02-29", std::nullopt, "bisestile", "L");
    const std::string text = ExportOf(id);
    EXPECT_EQ(text, kHeader + "\r\n\t\x80\t'Spese di pulizia'\t'senza data'\t\r\n" +
                        "29/02/2020\tL\t'Spese di pulizia'\t'bisestile'\t");
    const std::string firstLine =
        text.substr(kHeader.size() + 2, text.find("\r\n", kHeader.size() + 2) - kHeader.size() - 2);
    EXPECT_EQ(std::count(firstLine.begin(), firstLine.end(), '\t'), 4);
}

TEST_F(ExportTest, TabsAndLineBreaksInTextsBecomeSpaces) {
    const int id = AddCondominium("Condominio Incollato");
    Exec("INSERT INTO Causali (idCausale, Nome) VALUES (90, 'Spese' || char(10) || 'varie')");
    AddMovement(id, 90, "2021-01-04", "5", "uno\tdue\r\ntre\n");
    AddMovement(id, 1, "2021-01-05", "6", "riga\rsola", "\t");
    const std::string text = ExportOf(id);
    EXPECT_EQ(text, kHeader + "\r\n" +
                        "04/01/2021\t\x80\t'Spese varie'\t'uno due  tre '\t5\r\n"
                        "05/01/2021\t \t'Quote condominiali'\t'riga sola'\t6");
    // One line per movement, five cells to a line.
    std::size_t start = 0, lines = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find("\r\n", start), text.size());
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        ++lines;
        start = end + 2;
    }
    EXPECT_EQ(lines, 3u);
}

TEST_F(ExportTest, AmountsOfEverySizeRenderInTheGeneralForm) {
    const int id = AddCondominium("Condominio Grande");
    // As the archive's NUMERIC(32,2) column stores them: integers up to 64
    // bits exactly, larger or wider amounts as reals.
    const char* amounts[] = {"1000000000000000000.00", "-999999999999999999", "922337203685477.58",
                             "123456789012.34", "0.10", "-0.01", "1E25", "0"};
    for (const char* amount : amounts)
        AddMovement(id, 1, "2020-01-01", amount, "x");
    const std::string text = ExportOf(id);
    std::vector<std::string> cells;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
        const std::size_t end = std::min(text.find("\r\n", at + 2), text.size());
        const std::string line = text.substr(at + 2, end - at - 2);
        cells.push_back(line.substr(line.rfind('\t') + 1));
    }
    EXPECT_EQ(cells, (std::vector<std::string>{"1000000000000000000", "-999999999999999999",
                                               "922337203685477,6", "123456789012,34", "0,1",
                                               "-0,01", "10000000000000000000000000", "0"}));
}

TEST_F(ExportTest, FailuresNameTheirCauseInsteadOfGivingAText) {
    auto expectFailure = [](TDataSet* condomini, const std::vector<std::string>& named) {
        try {
            const quorbase::clsString text = BuildContoCorrenteText(condomini);
            ADD_FAILURE() << "a text instead of a failure: " << Text(text);
        } catch (const EDatabaseError& e) {
            for (const std::string& name : named)
                EXPECT_NE(e.Message().Pos(name.c_str()), 0) << e.Message().c_str();
        }
    };
    ScopedScriptedDialogs dialogs;
    {
        TdatBracoUtil module;
        // No condominium chosen: no module, or a table with none.
        expectFailure(nullptr, {"Nessun condominio"});
        module.tblCondomini->Close();
        expectFailure(module.tblCondomini, {"Nessun condominio", "Condomini.DB", "aperto"});
    }
    Exec("DELETE FROM Condomini");
    {
        TdatBracoUtil module;
        ASSERT_TRUE(module.tblCondomini->Active());
        expectFailure(module.tblCondomini, {"Nessun condominio", "Condomini.DB", "vuoto"});
    }
    AddCondominium("Condominio Nuovo");
    TdatBracoUtil module;
    ASSERT_EQ(Text(BuildContoCorrenteText(module.tblCondomini)), kHeader);
    // The movements or the causes gone while the program runs.
    Exec("ALTER TABLE Causali RENAME TO CausaliVecchie");
    expectFailure(module.tblCondomini, {"movimenti", "Causali"});
    Exec("ALTER TABLE CausaliVecchie RENAME TO Causali");
    Exec("ALTER TABLE MovConti RENAME TO MovContiVecchi");
    expectFailure(module.tblCondomini, {"movimenti", "MovConti"});
    Exec("ALTER TABLE MovContiVecchi RENAME TO MovConti");
    EXPECT_EQ(Text(BuildContoCorrenteText(module.tblCondomini)), kHeader);
    EXPECT_TRUE(dialogs->Questions().empty());
}

TEST_F(ExportTest, ALockedArchiveIsAFailureNotAText) {
    ScopedScriptedDialogs dialogs;
    TdatBracoUtil module;
    ASSERT_TRUE(module.tblCondomini->Locate("IdCondominio", Variant(1)));
    ArchiveWriteLock lock(archive_);
    ASSERT_TRUE(lock.Held());
    try {
        BuildContoCorrenteText(module.tblCondomini);
        ADD_FAILURE() << "a text from a locked archive";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("bloccato"), 0) << e.Message().c_str();
    }
}

TEST_F(ExportTest, FieldErrorsReachTheCaller) {
    ScopedScriptedDialogs dialogs;
    TdatBracoUtil module;
    // A dataset without the condominium's key: the error names the field.
    TTable causali(&module);
    causali.SetName("tblCausali");
    causali.SetDatabaseName("dbBracUtil");
    causali.SetSessionName("SessioneBracUtil");
    causali.SetTableName("Causali");
    causali.Open();
    try {
        BuildContoCorrenteText(&causali);
        ADD_FAILURE() << "no error for a dataset without idCondominio";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("idCondominio"), 0) << e.Message().c_str();
    }
}

// Every movement of a generated condominium, in table order, rendered from
// the raw SQLite values with the same rules.
class GeneratedExportTest : public ExportTest {
protected:
    int DemoMovements() const override { return 300; }

    std::string Expected(int id) {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(archive_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* stmt = nullptr;
        const std::string sql =
            "SELECT m.Data, m.Valuta, c.Nome, m.Descrizione, m.Importo FROM MovConti m "
            "LEFT JOIN Causali c ON c.idCausale = m.idCausale WHERE m.idCondominio = " +
            std::to_string(id) + " ORDER BY m.idMovConti";
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK);
        std::string text = kHeader;
        auto column = [&](int i) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            return Utf8ToCp1252(p ? p : "");
        };
        auto quote = [](const std::string& s) {
            std::string q = "'";
            for (char c : s) {
                q += c;
                if (c == '\'') q += '\'';
            }
            return q + "'";
        };
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::string date = column(0);
            if (!date.empty())
                date = date.substr(8, 2) + "/" + date.substr(5, 2) + "/" + date.substr(0, 4);
            std::string amount = column(4);
            std::replace(amount.begin(), amount.end(), '.', ',');
            text += "\r\n" + date + "\t" + column(1) + "\t" + quote(column(2)) + "\t" +
                    quote(column(3)) + "\t" + amount;
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return text;
    }
};

TEST_F(GeneratedExportTest, MatchesTheRowsOfTheArchive) {
    for (int id : {1, 2, condominiums_}) {
        const std::string expected = Expected(id);
        EXPECT_EQ(ExportOf(id), expected) << "condominium " << id;
        const long long movements =
            ScalarInt("SELECT count(*) FROM MovConti WHERE idCondominio=" + std::to_string(id));
        EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), movements);
    }
    // The generated data covers the cases the rendering must handle.
    EXPECT_GT(ScalarInt("SELECT count(*) FROM MovConti WHERE idCondominio=1 AND Data IS NULL"), 0);
    EXPECT_GT(ScalarInt("SELECT count(*) FROM MovConti WHERE idCondominio=1 AND Importo IS NULL"),
              0);
    EXPECT_GT(ScalarInt("SELECT count(*) FROM MovConti WHERE idCondominio=1 AND idCausale NOT IN "
                        "(SELECT idCausale FROM Causali)"),
              0);
}

} // namespace

namespace {

TEST_F(GeneratedExportTest, TheExportsModuleDoesNotReadTheMovementsOfTheFirstCondominium) {
    ScopedScriptedDialogs dialogs;
    std::string first, text;
    {
        // The window's table follows the first condominium in name order...
        TdatBracoUtil window;
        ASSERT_TRUE(window.tblCondomini->Active());
        ASSERT_GT(window.tblMovConti->RecordCount(), 0);
        first = window.tblCondomini->FieldByName("IdCondominio")->AsString().str();
        text = Text(BuildContoCorrenteText(window.tblCondomini));
    }
    // ...the export's only tells that the table is there, whatever that one holds.
    TdatBracoUtil exporting(nullptr, true);
    EXPECT_TRUE(exporting.tblMovConti->Active());
    EXPECT_EQ(exporting.tblMovConti->RecordCount(), 0);
    EXPECT_EQ(exporting.tblCondomini->FieldByName("IdCondominio")->AsString().str(), first);
    EXPECT_EQ(Text(BuildContoCorrenteText(exporting.tblCondomini)), text);
    EXPECT_TRUE(dialogs->Questions().empty());
}

} // namespace
