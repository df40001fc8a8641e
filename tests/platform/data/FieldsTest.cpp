// Typed fields over a real archive: types from the declared columns, values
// read from every storage form, renderings, and the way back to the file.

#include "TestArchive.h"

#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

namespace {

TEST(FieldsTest, TypesComeFromTheDeclaredColumns) {
    TestArchive archive;
    TTable table;
    archive.Bind(&table);
    table.SetTableName("MovConti.db");
    table.Open();
    struct Expect {
        const char* name;
        TFieldType type;
        const char* className;
    } expected[] = {
        {"idMovConti", ftAutoInc, "TAutoIncField"},
        {"idCondominio", ftInteger, "TIntegerField"},
        {"Data", ftDate, "TDateField"},
        {"Importo", ftBCD, "TBCDField"},
        {"Valuta", ftString, "TStringField"},
        {"Registrato", ftDateTime, "TDateTimeField"},
        {"Saldo", ftCurrency, "TCurrencyField"},
        {"Cambio", ftFloat, "TFloatField"},
    };
    for (const Expect& e : expected) {
        TField* f = table.FieldByName(e.name);
        EXPECT_EQ(f->DataType(), e.type) << e.name;
        EXPECT_TRUE(f->ClassNameIs(e.className)) << e.name << " is " << f->ClassName();
        EXPECT_EQ(f->DataSet(), &table);
    }
    EXPECT_EQ(table.FieldCount(), 10);
    EXPECT_EQ(table.FieldByName("Valuta")->Size(), 1);
    EXPECT_EQ(table.FieldByName("Descrizione")->Size(), 50);
    EXPECT_EQ(static_cast<TBCDField*>(table.FieldByName("Importo"))->Scale(), 2);
    EXPECT_EQ(table.FieldByName("importo")->Index(), 4); // case-insensitive lookup
    EXPECT_EQ(table.FieldByName("Descrizione")->DisplayLabel(), "Descrizione");

    TTable condomini;
    archive.Bind(&condomini);
    condomini.SetTableName("Condomini.DB");
    condomini.Open();
    EXPECT_EQ(condomini.FieldByName("Note")->DataType(), ftMemo);
    EXPECT_EQ(condomini.FieldByName("Riscaldamento")->DataType(), ftBoolean);
    EXPECT_TRUE(condomini.FieldByName("Nome")->Required()); // NOT NULL
    EXPECT_FALSE(condomini.FieldByName("IdCondominio")->Required());

    // A column with a default, or a key the file assigns, need not be given.
    archive.Exec("CREATE TABLE Stati (Id INTEGER PRIMARY KEY NOT NULL, "
                 "Stato CHAR(1) NOT NULL DEFAULT 'A', Nota TEXT NOT NULL)");
    TTable stati;
    archive.Bind(&stati);
    stati.SetTableName("Stati");
    stati.Open();
    EXPECT_EQ(stati.FieldByName("Id")->DataType(), ftInteger);
    EXPECT_FALSE(stati.FieldByName("Id")->Required());
    EXPECT_FALSE(stati.FieldByName("Stato")->Required());
    EXPECT_TRUE(stati.FieldByName("Nota")->Required());
    stati.Insert();
    stati.FieldByName("Nota")->SetAsString("prima");
    stati.Post();
    EXPECT_EQ(stati.FieldByName("Stato")->AsString(), "A"); // read back after the insert
    EXPECT_EQ(stati.FieldByName("Id")->AsInteger(), 1);
}

TEST(FieldsTest, ReadsEveryStorageFormAndRendersAsThePlatform) {
    TestArchive archive;
    archive.Exec(R"SQL(
INSERT INTO MovConti (idMovConti, Data, Importo, Valuta, Registrato, Saldo, Cambio) VALUES
  (1, '2004-03-12', 12.50, 'E', '2004-03-12 18:30:00', 1936.27, 0.5),
  (2, '2004-03-13', 100.00, 'L', NULL, 12, 2),
  (3, NULL, '1234567890123.45', NULL, NULL, '0.0001', NULL),
  (4, NULL, NULL, NULL, NULL, NULL, NULL);
)SQL");
    // The column's affinity (on the server: its type) has already made
    // numbers of the text.
    ASSERT_EQ(archive.Scalar("SELECT Importo FROM MovConti WHERE idMovConti=2", true),
              TestArchive::Either("100|integer", "100.00|numeric"));

    TTable t;
    archive.Bind(&t);
    t.SetTableName("MovConti");
    t.Open();
    TField* importo = t.FieldByName("Importo");
    TField* data = t.FieldByName("Data");
    EXPECT_EQ(importo->AsString(), "12,5");
    EXPECT_EQ(importo->AsCurrency().Value, 125000);
    EXPECT_EQ(data->AsString(), "12/03/2004");
    EXPECT_DOUBLE_EQ(data->AsDateTime().Val, EncodeDate(2004, 3, 12).Val);
    EXPECT_EQ(t.FieldByName("Registrato")->AsString(), "12/03/2004 18:30:00");
    EXPECT_EQ(t.FieldByName("Saldo")->AsString(), "1936,27");
    EXPECT_DOUBLE_EQ(t.FieldByName("Cambio")->AsFloat(), 0.5);
    EXPECT_EQ(t.FieldByName("Cambio")->AsString(), "0,5");
    EXPECT_EQ(t.FieldByName("idMovConti")->AsInteger(), 1);

    t.Next();
    EXPECT_EQ(importo->AsString(), "100");
    EXPECT_EQ(t.FieldByName("Saldo")->AsCurrency().Value, 120000);

    t.Next();
    EXPECT_EQ(importo->AsCurrency().Value, 12345678901234500);
    EXPECT_EQ(importo->AsString(), "1234567890123,45");
    EXPECT_EQ(t.FieldByName("Saldo")->AsString(), "0,0001");

    t.Next(); // all null: the null value of each type
    EXPECT_TRUE(importo->IsNull());
    EXPECT_EQ(importo->AsString(), "");
    EXPECT_EQ(importo->AsCurrency().Value, 0);
    EXPECT_EQ(data->AsString(), "");
    EXPECT_EQ(data->AsDateTime().Val, 0.0);
    EXPECT_EQ(t.FieldByName("Valuta")->AsString(), "");
    EXPECT_TRUE(t.FieldByName("Cambio")->AsVariant().IsNull());

    // With no current record at all, the same null values.
    t.SetFilter("idMovConti = 99");
    t.SetFiltered(true);
    ASSERT_TRUE(t.Eof());
    EXPECT_EQ(importo->AsInteger(), 0);
    EXPECT_EQ(t.FieldByName("Valuta")->AsString(), "");
    EXPECT_FALSE(t.FieldByName("idMovConti")->AsBoolean());
    EXPECT_EQ(data->AsDateTime().Val, 0.0);
    EXPECT_TRUE(data->IsNull());
}

TEST(FieldsTest, AmountsBeyondACurrencyStillReadAndRender) {
    TestArchive archive;
    // Every size a NUMERIC(32,2) column holds: integers up to 64 bits exactly,
    // larger ones and wide decimals as the reals the file keeps.
    archive.Exec(R"SQL(
INSERT INTO MovConti (idMovConti, Importo) VALUES
  (1, 1000000000000000000.00), (2, -9223372036854775808), (3, 123456789012345678901234567890.12),
  (4, 99999999999999.99), (5, 922337203685477.58), (6, 92233720368547758.07),
  (7, 0.005), (8, '-0.004');
)SQL");
    ASSERT_EQ(archive.Scalar("SELECT Importo FROM MovConti WHERE idMovConti=1", true),
              TestArchive::Either("1000000000000000000|integer",
                                  "1000000000000000000.00|numeric"));
    TTable t;
    archive.Bind(&t);
    t.SetTableName("MovConti");
    t.Open();
    TField* importo = t.FieldByName("Importo");
    // A file keeps a wide decimal as a real; the server keeps it exact, and
    // it reads exactly whenever a Currency holds it.
    const std::string expected[] = {
        "1000000000000000000",
        "-9223372036854775808",
        "123456789012345680000000000000", // as many digits as a real keeps
        TestArchive::Either("99999999999999,98", "99999999999999,99"),
        TestArchive::Either("922337203685477,6", "922337203685477,58"),
        "92233720368547760",
        "0,01",
        "0"};
    for (const std::string& text : expected) {
        EXPECT_EQ(importo->AsString(), text) << t.RecNo();
        t.Next();
    }
    t.First();
    EXPECT_DOUBLE_EQ(importo->AsFloat(), 1e18);
    EXPECT_THROW(importo->AsCurrency(), Exception); // no Currency holds it
    static_cast<TNumericField*>(importo)->SetDisplayFormat(",0.00");
    EXPECT_EQ(importo->DisplayText(), "1.000.000.000.000.000.000,00");
    // Written back, a wide amount keeps its value.
    t.Edit();
    importo->SetAsFloat(2e20);
    t.Post();
    EXPECT_EQ(archive.Scalar("SELECT Importo FROM MovConti WHERE idMovConti=1", true),
              TestArchive::Either("2.0e+20|real", "200000000000000000000.00|numeric"));
    EXPECT_EQ(importo->AsString(), "200000000000000000000");
}

TEST(FieldsTest, DisplayFormatsApplyToNumericAndDateFields) {
    TestArchive archive;
    archive.Exec(
        "INSERT INTO MovConti (Importo, Cambio, Data) VALUES (1234.5, 1234.5, '2007-03-05');");
    TTable t;
    archive.Bind(&t);
    t.SetTableName("MovConti");
    t.Open();
    auto* importo = static_cast<TNumericField*>(t.FieldByName("Importo"));
    EXPECT_EQ(importo->DisplayText(), "1234,5");
    importo->SetDisplayFormat(",0.00");
    importo->SetEditFormat("0.00");
    EXPECT_EQ(importo->DisplayText(), "1.234,50");
    EXPECT_EQ(importo->AsString(), "1234,5"); // AsString ignores the display format
    EXPECT_EQ(importo->EditFormat(), "0.00");
    auto* cambio = static_cast<TNumericField*>(t.FieldByName("Cambio"));
    cambio->SetDisplayFormat(",0");
    EXPECT_EQ(cambio->DisplayText(), "1.235");
    auto* data = static_cast<TDateTimeField*>(t.FieldByName("Data"));
    data->SetDisplayFormat("dd/mm/yy");
    EXPECT_EQ(data->DisplayText(), "05/03/07");
    EXPECT_EQ(t.DisplayTextAt(0, importo), "1.234,50");
    EXPECT_EQ(t.DisplayTextAt(5, importo), "");
}

TEST(FieldsTest, WritesKeepEveryCentAndConvertAtTheBoundaries) {
    TestArchive archive;
    archive.Exec("INSERT INTO MovConti (idMovConti, Importo) VALUES (1, 0);");
    TTable t;
    archive.Bind(&t);
    t.SetTableName("MovConti");
    t.Open();
    TField* importo = t.FieldByName("Importo");
    // Outside edit state nothing can be written.
    EXPECT_THROW(importo->SetAsString("1"), EDatabaseError);

    t.Edit();
    importo->SetAsString("12,345"); // two decimals in this column: rounded
    EXPECT_EQ(importo->AsString(), "12,35");
    t.FieldByName("Saldo")->SetAsCurrency(Currency::FromUnits(123456789012345LL));
    t.FieldByName("Data")->SetAsDateTime(EncodeDate(2004, 3, 12) + EncodeTime(18, 30, 0));
    t.FieldByName("Registrato")->SetAsString("12/03/2004 18:30:05");
    t.FieldByName("Valuta")->SetAsString("EUR"); // cut to the column's size
    t.FieldByName("Descrizione")->SetAsString("Caff\xE8 \x80");
    t.FieldByName("idCondominio")->SetAsString("");
    EXPECT_THROW(t.FieldByName("idCausale")->SetAsString("12,5"), EConvertError);
    EXPECT_THROW(t.FieldByName("Cambio")->SetAsString("tanto"), EConvertError);
    t.Post();

    EXPECT_EQ(archive.Scalar("SELECT Importo FROM MovConti", true),
              TestArchive::Either("12.35|real", "12.35|numeric"));
    EXPECT_EQ(archive.Scalar("SELECT Saldo FROM MovConti", true),
              TestArchive::Either("12345678901.2345|real", "12345678901.2345|numeric"));
    EXPECT_EQ(archive.Scalar("SELECT Data FROM MovConti"), "2004-03-12");
    EXPECT_EQ(archive.Scalar("SELECT Registrato FROM MovConti"), "2004-03-12 18:30:05");
    EXPECT_EQ(archive.Scalar("SELECT Valuta FROM MovConti"), "E");
    EXPECT_EQ(archive.Scalar("SELECT Descrizione FROM MovConti"), "Caff\xC3\xA8 \xE2\x82\xAC");
    EXPECT_EQ(archive.Scalar("SELECT idCondominio FROM MovConti"), "NULL");

    t.Close();
    t.Open();
    EXPECT_EQ(t.FieldByName("Saldo")->AsCurrency().Value, 123456789012345LL);
    EXPECT_EQ(t.FieldByName("Descrizione")->AsString(), "Caff\xE8 \x80");
    EXPECT_EQ(t.FieldByName("Data")->AsString(), "12/03/2004");

    t.Edit();
    t.FieldByName("Importo")->SetAsString("100");
    t.FieldByName("Cambio")->SetAsVariant(Variant("2,5"));
    t.Post();
    EXPECT_EQ(archive.Scalar("SELECT Importo FROM MovConti", true),
              TestArchive::Either("100|integer", "100.00|numeric"));
    t.Edit();
    t.FieldByName("Importo")->Clear();
    t.Post();
    EXPECT_EQ(archive.Scalar("SELECT Importo FROM MovConti"), "NULL");
    EXPECT_EQ(archive.Scalar("SELECT Cambio FROM MovConti"), "2.5");
}

TEST(FieldsTest, BooleanFieldsReadTheUsualSpellings) {
    TestArchive archive;
    // A file may hold a spelling; the server holds 0 and 1 only.
    archive.Exec("INSERT INTO Condomini (Nome, Riscaldamento) VALUES ('a', 1), ('b', 0), ('c', " +
                 TestArchive::Either("'T'", "1") + ");");
    TTable t;
    archive.Bind(&t);
    t.SetTableName("Condomini");
    t.Open();
    TField* b = t.FieldByName("Riscaldamento");
    EXPECT_TRUE(b->AsBoolean());
    EXPECT_EQ(b->AsString(), "True");
    t.Next();
    EXPECT_FALSE(b->AsBoolean());
    EXPECT_EQ(b->AsString(), "False");
    t.Next();
    EXPECT_TRUE(b->AsBoolean());
    t.Edit();
    b->SetAsString("No");
    t.Post();
    EXPECT_EQ(archive.Scalar("SELECT Riscaldamento FROM Condomini WHERE Nome='c'", true),
              TestArchive::Either("0|integer", "0|smallint"));
    t.Edit();
    EXPECT_THROW(b->SetAsString("forse"), EConvertError);
    t.Cancel();
}

TEST(FieldsTest, NamesOutsideTheCodePageReadAsWindowsWouldShowThem) {
    TestArchive archive;
    archive.Exec("INSERT INTO Condomini (IdCondominio, Nome, Comune) VALUES "
                 "(1, '\xC4\x8C" "apek', 'Gy\xC5\x91r'), (2, '\xC8\x98" "tefan', '\xCE\xBB');");
    TTable t;
    archive.Bind(&t);
    t.SetTableName("Condomini");
    t.Open();
    EXPECT_EQ(t.FieldByName("Nome")->AsString(), "Capek");
    EXPECT_EQ(t.FieldByName("Comune")->AsString(), "Gyor");
    t.Next();
    EXPECT_EQ(t.FieldByName("Nome")->AsString(), "Stefan");
    EXPECT_EQ(t.FieldByName("Comune")->AsString(), "?");
}

} // namespace

namespace {

// Integers outside their field's type are refused as any invalid text is,
// and the field keeps its value: nothing written can fail to read back.
TEST(FieldsTest, IntegersOutsideTheirTypeAreRefusedAndTheFieldKeepsItsValue) {
    TestArchive archive;
    archive.Exec("CREATE TABLE Numeri (Id INTEGER PRIMARY KEY NOT NULL, Intero INTEGER, "
                 "Piccolo SMALLINT, Grande BIGINT)");
    archive.Exec("INSERT INTO Numeri (Id, Intero, Piccolo, Grande) VALUES (1, 7, 8, 9)");
    TTable t;
    archive.Bind(&t);
    t.SetTableName("Numeri");
    t.Open();
    TField* intero = t.FieldByName("Intero");
    TField* piccolo = t.FieldByName("Piccolo");
    TField* grande = t.FieldByName("Grande");
    ASSERT_EQ(intero->DataType(), ftInteger);
    ASSERT_EQ(grande->DataType(), ftLargeint);
    t.Edit();
    for (TField* f : {intero, piccolo}) {
        for (const char* text : {"2147483648", "-2147483649", "99999999999999999999",
                                 " 4294967296 "}) {
            EXPECT_THROW(f->SetAsString(text), EConvertError) << f->FieldName().str() << text;
        }
        EXPECT_THROW(f->SetAsLargeInt(std::int64_t{1} << 40), EConvertError);
        EXPECT_THROW(f->SetAsVariant(Variant(5e9)), EConvertError);
    }
    EXPECT_EQ(intero->AsInteger(), 7);
    EXPECT_EQ(piccolo->AsInteger(), 8);
    // The ends of the range are values like any other.
    intero->SetAsString("2147483647");
    EXPECT_EQ(intero->AsInteger(), 2147483647);
    intero->SetAsString("-2147483648");
    EXPECT_EQ(intero->AsInteger(), -2147483647 - 1);
    intero->SetAsString("2147483647");
    piccolo->SetAsString("-12");

    for (const char* text : {"9223372036854775808", "-9223372036854775809",
                             "123456789012345678901234567890"})
        EXPECT_THROW(grande->SetAsString(text), EConvertError) << text;
    EXPECT_EQ(grande->AsLargeInt(), 9);
    grande->SetAsString("9223372036854775807");
    EXPECT_EQ(grande->AsLargeInt(), std::numeric_limits<std::int64_t>::max());
    grande->SetAsString("-9223372036854775808");
    t.Post();
    EXPECT_EQ(archive.Scalar("SELECT Intero FROM Numeri"), "2147483647");
    EXPECT_EQ(archive.Scalar("SELECT Piccolo FROM Numeri"), "-12");
    EXPECT_EQ(archive.Scalar("SELECT Grande FROM Numeri"), "-9223372036854775808");
    EXPECT_EQ(intero->AsInteger(), 2147483647);
    EXPECT_EQ(grande->AsLargeInt(), std::numeric_limits<std::int64_t>::min());
}

} // namespace
