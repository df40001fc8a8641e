#include "db/FieldHelpers.h"
#include "tests/db/DbFixture.h"

#include "platform/core/Exception.h"

namespace {

using dbtest::DbFixture;

class FieldHelpersTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        Sql("create table Anagrafica (Id integer primary key, Nome varchar(30), Note varchar(20),"
            " Eta integer, Attivo boolean, Nato datetime, Saldo currency, Peso real);"
            "insert into Anagrafica values (1, 'Rossi', '', 42, 1, '2004-03-12 18:30:00',"
            " '1234.56', 72.5);"
            "insert into Anagrafica (Id) values (2);");
        table_ = Table("Anagrafica.DB");
        table_->Open();
    }
    TTable* table_ = nullptr;
};

TEST_F(FieldHelpersTest, ReadersGiveTheTypedValuesOfTheCurrentRecord) {
    EXPECT_EQ(ChrField(table_, "Nome"), 'R');
    EXPECT_EQ(IntField(table_, "Eta"), 42);
    EXPECT_TRUE(BoolField(table_, "Attivo"));
    EXPECT_DOUBLE_EQ(DateTimeField(table_, "Nato"),
                     EncodeDate(2004, 3, 12) + EncodeTime(18, 30, 0));
    // The time of day is dropped.
    EXPECT_DOUBLE_EQ(DateField(table_, "Nato"), EncodeDate(2004, 3, 12));
    EXPECT_EQ(CurField(table_, "Saldo").Value, 12345600);
    EXPECT_DOUBLE_EQ(DblField(table_, "Peso"), 72.5);
    EXPECT_EQ(StrField(table_, "Nome"), "Rossi");
    EXPECT_FALSE(IsNullField(table_, "Nome"));

    // A record of nulls reads as the types' null values.
    table_->Next();
    EXPECT_TRUE(IsNullField(table_, "Nome"));
    EXPECT_EQ(ChrField(table_, "Nome"), 0);
    EXPECT_EQ(IntField(table_, "Eta"), 0);
    EXPECT_EQ(StrField(table_, "Nome"), "");
    EXPECT_FALSE(BoolField(table_, "Attivo"));
}

TEST_F(FieldHelpersTest, AbsorbingReadersAnswerNeutralValuesOthersPassTheErrorOn) {
    EXPECT_EQ(ChrField(nullptr, "Nome"), 0);
    EXPECT_EQ(ChrField(table_, "Note"), 0); // holds ""
    EXPECT_EQ(ChrField(table_, "Manca"), 0);
    EXPECT_EQ(IntField(table_, ""), 0);
    EXPECT_EQ(IntField(nullptr, ""), 0);
    EXPECT_EQ(IntField(table_, "Manca"), 0);
    EXPECT_EQ(IntField(table_, "Nome"), 0); // not a number
    EXPECT_TRUE(IsNullField(table_, "Manca"));
    EXPECT_TRUE(IsNullField(nullptr, "Nome"));

    try {
        StrField(table_, "Manca");
        FAIL() << "a missing field must raise";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("Manca"), 0) << e.Message().c_str();
    }
    EXPECT_THROW(BoolField(table_, "Manca"), EDatabaseError);
    EXPECT_THROW(DateTimeField(table_, "Manca"), EDatabaseError);
    EXPECT_THROW(DateField(table_, "Manca"), EDatabaseError);
    EXPECT_THROW(CurField(table_, "Manca"), EDatabaseError);
    EXPECT_THROW(DblField(table_, "Manca"), EDatabaseError);
    // A null dataset is an error, not a crash.
    EXPECT_THROW(StrField(nullptr, "Nome"), EDatabaseError);
    EXPECT_THROW(DateField(table_, "Nome"), Exception); // "Rossi" is no date
}

TEST_F(FieldHelpersTest, WritersAssignWithoutPostingAndNeedAnEditedRecord) {
    EXPECT_THROW(SetStrField(table_, "Nome", "Bianchi"), EDatabaseError); // only browsing
    SetNullField(table_, "Nome"); // refused quietly while browsing
    EXPECT_TRUE(table_->State() == dsBrowse);
    EXPECT_FALSE(IsNullField(table_, "Nome"));
    EXPECT_EQ(StrField(table_, "Nome"), "Rossi");

    table_->Edit();
    SetStrField(table_, "Nome", "Bianchi");
    SetIntField(table_, "Eta", 7);
    SetBoolField(table_, "Attivo", false);
    SetCurField(table_, "Saldo", Currency::FromUnits(10000 * 99 + 5000));
    SetDblField(table_, "Peso", 1.25);
    SetDateField(table_, "Nato", EncodeDate(2010, 1, 31));
    EXPECT_FALSE(IsNullField(table_, "Note"));
    SetNullField(table_, "Note");
    EXPECT_TRUE(IsNullField(table_, "Note"));
    SetNullField(table_, "Manca"); // absorbed
    SetNullField(nullptr, "Note");
    EXPECT_TRUE(IsNullField(table_, "Note"));
    EXPECT_EQ(StrField(table_, "Nome"), "Bianchi");
    EXPECT_THROW(SetIntField(table_, "Manca", 1), EDatabaseError);
    EXPECT_THROW(SetDblField(table_, "Manca", 1.0), EDatabaseError);
    EXPECT_THROW(SetCurField(table_, "Manca", Currency{}), EDatabaseError);
    EXPECT_THROW(SetBoolField(table_, "Manca", true), EDatabaseError);
    EXPECT_THROW(SetDateField(table_, "Manca", TDateTime(1.0)), EDatabaseError);
    // Nothing reaches the archive before the caller posts.
    EXPECT_EQ(Value("select Nome from Anagrafica where Id=1"), "Rossi");
    table_->Post();

    EXPECT_EQ(Value("select Nome from Anagrafica where Id=1"), "Bianchi");
    EXPECT_EQ(Value("select Eta from Anagrafica where Id=1"), "7");
    EXPECT_EQ(Value("select Attivo from Anagrafica where Id=1"), "0");
    EXPECT_EQ(Value("select Peso from Anagrafica where Id=1"), "1.25");
    EXPECT_EQ(Value(dbtest::Either("select substr(Nato, 1, 10) from Anagrafica where Id=1",
                                   "select Nato::date from Anagrafica where Id=1")),
              "2010-01-31");
    EXPECT_EQ(Value("select Note from Anagrafica where Id=1"), "<null>");
    table_->Close();
    table_->Open();
    EXPECT_EQ(CurField(table_, "Saldo").Value, 995000);
}

TEST_F(FieldHelpersTest, CopyingTakesTheSourceValueAsAVariant) {
    Sql("create table Copia (Id integer primary key, Nome varchar(30), Cognome varchar(30),"
        " Eta integer, Testo varchar(10));"
        "insert into Copia (Id, Nome, Eta) values (1, 'Vecchio', 5)");
    TTable* target = Table("Copia");
    target->Open();
    target->Edit();

    EXPECT_TRUE(CopyField(table_, "Nome", target, "Cognome"));
    EXPECT_TRUE(CopyField(table_, "Eta", target));
    EXPECT_FALSE(CopyField(table_, "Nome", target, "Manca"));
    EXPECT_FALSE(CopyField(table_, "Manca", target, "Nome"));
    EXPECT_FALSE(CopyField(nullptr, "Nome", target, "Nome"));
    EXPECT_EQ(StrField(target, "Cognome"), "Rossi");
    EXPECT_EQ(IntField(target, "Eta"), 42);

    // Target first; a null source stores the fourth argument as text.
    CopiaCampo(target, "Testo", nullptr, "Verdi");
    EXPECT_EQ(StrField(target, "Testo"), "Verdi");
    CopiaCampo(target, "Nome", table_, "Nome");
    EXPECT_EQ(StrField(target, "Nome"), "Rossi");
    EXPECT_THROW(CopiaCampo(target, "Manca", nullptr, "x"), EDatabaseError);
    EXPECT_THROW(CopiaCampo(target, "Nome", table_, "Manca"), EDatabaseError);

    // A null source makes the target null.
    table_->Next();
    EXPECT_TRUE(CopyField(table_, "Nome", target, "Nome"));
    EXPECT_TRUE(IsNullField(target, "Nome"));
    target->Post();
    EXPECT_EQ(Value("select Nome || '|' || Cognome || '|' || Eta || '|' || Testo from Copia"),
              "<null>");
    EXPECT_EQ(Value("select Cognome || '|' || Eta || '|' || Testo from Copia"), "Rossi|42|Verdi");
}

} // namespace
