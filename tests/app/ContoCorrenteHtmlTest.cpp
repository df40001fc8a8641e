// The HTML table of the export, read back cell by cell with an XML reader:
// well-formed, five cells to a row, the values and the types a spreadsheet
// takes from the markup.

#include "app/ContoCorrenteExport.h"
#include "app/ContoCorrenteHtml.h"
#include "app/datBracUtil.h"
#include "tests/app/AppFixture.h"

#include "platform/core/DateTime.h"
#include "platform/core/Encoding.h"
#include "platform/core/Locale.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/core/TextBlocks.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

struct Cell {
    std::string tag; // th or td
    std::map<std::string, std::string> attributes;
    std::string text;
};
using Row = std::vector<Cell>;

std::string Joined(TTextBlocks& blocks) {
    std::string text;
    blocks.Drain([&text](std::string_view block) { text += block; });
    return text;
}

// The rows of the document's table; a document that is not well-formed
// fails the test.
std::vector<Row> ReadTable(const std::string& utf8) {
    QXmlStreamReader xml(QByteArray::fromStdString(utf8));
    std::vector<Row> rows;
    int tables = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const QString name = xml.name().toString();
        if (name == "table") ++tables;
        if (name == "tr") rows.emplace_back();
        if (name == "td" || name == "th") {
            Cell cell;
            cell.tag = name.toStdString();
            for (const QXmlStreamAttribute& a : xml.attributes())
                cell.attributes[a.qualifiedName().toString().toStdString()] =
                    a.value().toString().toStdString();
            cell.text = xml.readElementText().toStdString();
            EXPECT_FALSE(rows.empty()) << "a cell outside a row";
            if (!rows.empty()) rows.back().push_back(cell);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    EXPECT_EQ(tables, 1);
    return rows;
}

class ContoCorrenteHtmlTest : public AppArchiveTest {
protected:
    // The text and the HTML (in UTF-8, as it leaves) of condominium id.
    std::vector<Row> TableOf(int id, std::string* text = nullptr) {
        ScopedScriptedDialogs dialogs;
        TdatBracoUtil module;
        EXPECT_TRUE(module.tblCondomini->Locate("IdCondominio", Variant(id)));
        TTextBlocks plain, html;
        WriteContoCorrente(module.tblCondomini, plain, &html);
        if (text) *text = Joined(plain);
        html_ = Cp1252ToUtf8(Joined(html));
        return ReadTable(html_);
    }
    std::string html_;
};

TEST_F(ContoCorrenteHtmlTest, EveryMovementIsARowOfFiveTypedCells) {
    const int id = AddCondominium("Condominio Tabella");
    AddMovement(id, 1, "2007-03-05", "12.50", "l'uno & <l'altro> \"citato\"");
    AddMovement(id, 99, std::nullopt, std::nullopt, "Gi\xC3\xA0 pagato\tdue\r\nvolte");
    AddMovement(id, 11, "1999-12-31", "-1234567.8", "", "L");
    AddMovement(id, 2, "2024-02-29", "1000000000000000000", "12,5");
    std::string text;
    const std::vector<Row> rows = TableOf(id, &text);
    ASSERT_EQ(rows.size(), 5u);
    for (const Row& row : rows)
        EXPECT_EQ(row.size(), 5u);

    const char* titles[] = {"Data", "Valuta", "Causale", "Descrizione", "Importo"};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(rows[0][c].tag, "th");
        EXPECT_EQ(rows[0][c].text, titles[c]);
    }
    // A date: the day's serial number (days since 30 December 1899), a date
    // format for each suite, the text as the export shows it.
    const Cell& date = rows[1][0];
    EXPECT_EQ(date.text, "05/03/2007");
    EXPECT_EQ(date.attributes.at("sdval"), "39146");
    EXPECT_EQ(date.attributes.at("x:num"), "39146");
    EXPECT_EQ(date.attributes.at("sdnum"), "2057;2057;DD/MM/YYYY");
    EXPECT_EQ(date.attributes.at("class"), "d");
    EXPECT_EQ(rows[3][0].attributes.at("sdval"), "36525");
    EXPECT_EQ(rows[4][0].attributes.at("x:num"), "45351");
    // An amount: the number with a point whatever the locale.
    const Cell& amount = rows[1][4];
    EXPECT_EQ(amount.text, "12,5");
    EXPECT_EQ(amount.attributes.at("sdval"), "12.5");
    EXPECT_EQ(amount.attributes.at("x:num"), "12.5");
    EXPECT_EQ(amount.attributes.at("sdnum"), "1033;0;General");
    EXPECT_EQ(amount.attributes.at("class"), "n");
    EXPECT_EQ(rows[3][4].attributes.at("sdval"), "-1234567.8");
    EXPECT_EQ(rows[4][4].attributes.at("x:num"), "1000000000000000000");
    // Texts as they are, without apostrophes, marked as text; a text that
    // looks like a number stays text.
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(rows[r][c].attributes.at("sdnum"), "1033;0;@") << r << "," << c;
            EXPECT_EQ(rows[r][c].attributes.count("x:num"), 0u);
            EXPECT_EQ(rows[r][c].attributes.count("class"), 0u);
        }
    EXPECT_EQ(rows[1][1].text, "\xE2\x82\xAC");
    EXPECT_EQ(rows[1][2].text, "Quote condominiali");
    EXPECT_EQ(rows[1][3].text, "l'uno & <l'altro> \"citato\"");
    EXPECT_EQ(rows[2][2].text, ""); // no such cause
    EXPECT_EQ(rows[2][3].text, "Gi\xC3\xA0 pagato due  volte");
    EXPECT_EQ(rows[3][1].text, "L");
    EXPECT_EQ(rows[3][3].text, "");
    EXPECT_EQ(rows[4][3].text, "12,5");
    // Null dates and amounts are empty cells without a type.
    EXPECT_TRUE(rows[2][0].attributes.empty());
    EXPECT_EQ(rows[2][0].text, "");
    EXPECT_TRUE(rows[2][4].attributes.empty());

    // The document says how it is encoded and where the table is, and gives
    // Excel the formats of its classes.
    EXPECT_NE(html_.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(html_.find("<!--StartFragment-->"), std::string::npos);
    EXPECT_NE(html_.find("td.d {mso-number-format:\"dd\\/mm\\/yyyy\"}"), std::string::npos);
    EXPECT_NE(html_.find("td {mso-number-format:\"\\@\"}"), std::string::npos);
    // The text of the same reading still holds the same movements.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
}

TEST_F(ContoCorrenteHtmlTest, ACondominiumWithoutMovementsIsTheHeaderRow) {
    const std::vector<Row> rows = TableOf(AddCondominium("Condominio Vuoto"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].size(), 5u);
}

TEST_F(ContoCorrenteHtmlTest, DatesFollowTheLocaleAndStayDates) {
    // A generated condominium in another locale: every date cell still
    // carries the day's number, every amount the number with a point.
    FormatSettings() = TFormatSettings::ForLocale("de_DE.UTF-8");
    const std::vector<Row> rows = TableOf(1);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(DemoMovements()) + 1);
    int dates = 0, amounts = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 5u);
        const Cell& date = rows[r][0];
        if (!date.text.empty()) {
            ++dates;
            EXPECT_EQ(date.attributes.at("sdnum"), "1031;1031;TT.MM.JJJJ");
            const double serial = std::stod(date.attributes.at("sdval"));
            EXPECT_EQ(AnsiString(date.text), DateToStr(TDateTime(serial)));
        }
        const Cell& amount = rows[r][4];
        if (!amount.text.empty()) {
            ++amounts;
            std::string value = amount.text;
            std::replace(value.begin(), value.end(), ',', '.');
            EXPECT_EQ(amount.attributes.at("x:num"), value);
        }
    }
    EXPECT_GT(dates, 0);
    EXPECT_GT(amounts, 0);
    EXPECT_NE(html_.find("td.d {mso-number-format:\"dd\\.mm\\.yyyy\"}"), std::string::npos);

    EXPECT_EQ(CalcDateFormat("M/d/yyyy", '/'), "1033;1033;MM/DD/YYYY");
    EXPECT_EQ(CalcDateFormat("dd/MM/yyyy", '-'), "1033;1033;YYYY-MM-DD");
    EXPECT_EQ(CalcDateFormat("yyyy/MM/dd", '/'), "1033;1033;YYYY-MM-DD");
    EXPECT_EQ(ExcelDateFormat("M/d/yyyy", '-'), "m\\-d\\-yyyy");
    EXPECT_EQ(ExcelDateFormat("dd/MM/yy", '/'), "dd\\/mm\\/yy");
}

} // namespace
