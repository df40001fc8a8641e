#include "db/RecordHelpers.h"
#include "db/FieldHelpers.h"
#include "db/NavigatorHelpers.h"
#include "tests/db/DbFixture.h"

#include "platform/core/Application.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/DataSource.h"

namespace {

using dbtest::DbFixture;
using Kind = ScriptedDialogs::Kind;

class RecordHelpersTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        Sql("create table Condomini (Id integer primary key, Nome varchar(30) not null,"
            " CAP varchar(5), Comune varchar(30), Provincia varchar(2), Saldo currency);"
            "insert into Condomini values (1, 'Aurora', '00100', 'Roma', 'RM', '1');"
            "insert into Condomini values (2, 'Belvedere', '20100', 'Milano', null, '2');"
            "insert into Condomini values (3, 'Cedri', '10100', 'Torino', 'TO', '3');"
            "insert into Condomini values (4, 'Dalie', '40100', 'Bologna', 'BO', '4');"
            "insert into Condomini values (5, 'Edera', '50100', 'Firenze', 'FI', '5');"
            "create unique index CondominiNome on Condomini (Nome);");
        table_ = Table("Condomini.DB");
        Application->SetTitle("Condomini");
    }
    TTable* table_ = nullptr;
};

TEST_F(RecordHelpersTest, RiapriKeepsThePlaceOrEndsOnTheLastRecord) {
    Riapri(nullptr);
    table_->Open();
    ASSERT_TRUE(TrovaRecord(table_, "Id", 3));
    Sql("update Condomini set Nome='Cedri nuovi' where Id=3");
    Riapri(table_);
    EXPECT_TRUE(table_->Active());
    EXPECT_EQ(IntField(table_, "Id"), 3);
    EXPECT_EQ(StrField(table_, "Nome"), "Cedri nuovi"); // read again
    EXPECT_FALSE(table_->ControlsDisabled());

    // The current record vanished meanwhile.
    Sql("delete from Condomini where Id=3");
    Riapri(table_);
    EXPECT_EQ(IntField(table_, "Id"), 5);
    EXPECT_FALSE(table_->ControlsDisabled());

    // A dataset that cannot reopen: nothing is raised, controls come back.
    TTable* missing = Table("Mancante.DB");
    EXPECT_NO_THROW(Riapri(missing));
    EXPECT_FALSE(missing->Active());
    EXPECT_FALSE(missing->ControlsDisabled());
}

TEST_F(RecordHelpersTest, TagCountsTheUsersOfADataset) {
    TagRiapri(table_);
    EXPECT_TRUE(table_->Active());
    EXPECT_EQ(table_->Tag(), 1);
    TagRiapri(table_);
    TagChiudi(table_);
    EXPECT_TRUE(table_->Active());
    EXPECT_EQ(table_->Tag(), 1);
    TagChiudi(table_);
    EXPECT_FALSE(table_->Active());
    EXPECT_EQ(table_->Tag(), 0);

    // A count of 0 goes below without closing anything.
    table_->Open();
    TagChiudi(table_);
    EXPECT_EQ(table_->Tag(), -1);
    EXPECT_TRUE(table_->Active());

    // A dataset marked for opening (Tag 1) is already in use once.
    table_->SetTag(1);
    TagRiapri(table_);
    EXPECT_EQ(table_->Tag(), 2);
}

TEST_F(RecordHelpersTest, IndirizzoComposesTheAddressLine) {
    table_->Open();
    EXPECT_EQ(Indirizzo(table_), "00100 Roma (RM)");
    table_->Next();
    EXPECT_EQ(Indirizzo(table_), "20100 Milano ()");
    Sql("create table Persone (Id integer primary key, CAP varchar(5), Comune varchar(30))");
    TTable* other = Table("Persone");
    other->Open();
    EXPECT_THROW(Indirizzo(other), EDatabaseError);
}

TEST_F(RecordHelpersTest, ImpostaFormatoGivesEuroTwoDecimals) {
    table_->Open();
    auto* saldo = dynamic_cast<TNumericField*>(table_->FieldByName("Saldo"));
    ASSERT_NE(saldo, nullptr);
    ImpostaFormato(saldo, '\x80');
    EXPECT_EQ(saldo->EditFormat(), "0.00");
    EXPECT_EQ(saldo->DisplayFormat(), ",0.00");
    for (char other : {'L', ' ', '\0', '$'}) {
        ImpostaFormato(saldo, other);
        EXPECT_EQ(saldo->EditFormat(), "0");
        EXPECT_EQ(saldo->DisplayFormat(), ",0");
    }
}

TEST_F(RecordHelpersTest, SalvaMasterRecordPostsOnlyAPendingChange) {
    EXPECT_FALSE(SalvaMasterRecord(nullptr));
    TDataSource source(nullptr);
    EXPECT_TRUE(SalvaMasterRecord(&source));
    source.SetDataSet(table_);
    EXPECT_TRUE(SalvaMasterRecord(&source)); // closed
    table_->Open();
    EXPECT_TRUE(SalvaMasterRecord(&source));
    EXPECT_EQ(table_->State(), dsBrowse);

    table_->Edit();
    SetStrField(table_, "Comune", "Ostia");
    EXPECT_TRUE(SalvaMasterRecord(&source));
    EXPECT_EQ(table_->State(), dsBrowse);
    EXPECT_EQ(Value("select Comune from Condomini where Id=1"), "Ostia");

    // A post the archive refuses (Nome is unique) is reported as false.
    table_->Edit();
    SetStrField(table_, "Nome", "Belvedere");
    EXPECT_FALSE(SalvaMasterRecord(&source));
    EXPECT_EQ(Value("select Nome from Condomini where Id=1"), "Aurora");
    table_->Cancel();
}

TEST_F(RecordHelpersTest, TrovaRecordIsAnExactKeyMatch) {
    table_->Open();
    EXPECT_TRUE(TrovaRecord(table_, "Id", 4));
    EXPECT_EQ(StrField(table_, "Nome"), "Dalie");
    EXPECT_FALSE(TrovaRecord(table_, "Id", 42));
    EXPECT_EQ(StrField(table_, "Nome"), "Dalie"); // not moved
    EXPECT_THROW(TrovaRecord(table_, "Manca", 1), EDatabaseError);
}

TEST_F(RecordHelpersTest, DeletionFromANavigatorNeedsAYes) {
    ScopedScriptedDialogs dialogs;
    for (TNavigateBtn button :
         {nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbEdit, nbPost, nbCancel, nbRefresh})
        EXPECT_NO_THROW(ConfermaAzioneNavigator(button));
    EXPECT_TRUE(dialogs->Questions().empty());

    dialogs->AnswerButton(IDYES);
    EXPECT_NO_THROW(ConfermaAzioneNavigator(nbDelete));
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].text, "Cancello la scheda selezionata?");
    EXPECT_EQ(dialogs->Questions()[0].caption, "Condomini");
    EXPECT_EQ(dialogs->Questions()[0].flags, 0x133);

    for (int answer : {IDNO, IDCANCEL}) {
        dialogs->AnswerButton(answer);
        try {
            ConfermaAzioneNavigator(nbDelete);
            ADD_FAILURE() << "answer " << answer << " must stop the deletion";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "L'utente ha annullato l'eliminazione della scheda.");
        }
    }
    // Without an answer the default button, No, keeps the record.
    EXPECT_THROW(ConfermaAzioneNavigator(nbDelete), Exception);
}

TEST_F(RecordHelpersTest, OnEditErrorShowsTheErrorAndAborts) {
    ScopedScriptedDialogs dialogs;
    EDatabaseError error("Valore non valido");
    TDataAction action = daFail;
    OnEditError(table_, &error, action);
    EXPECT_EQ(action, daAbort);
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].kind, Kind::ShowMessage);
    EXPECT_EQ(dialogs->Questions()[0].text, "Verificare i dati inseriti\n\nValore non valido");

    // Wired to a dataset's post errors: one message, then a silent abort.
    table_->OnPostError = OnEditError;
    table_->Open();
    table_->Edit();
    SetStrField(table_, "Nome", "Belvedere");
    EXPECT_THROW(table_->Post(), EAbort);
    ASSERT_EQ(dialogs->Questions().size(), 2u);
    EXPECT_EQ(dialogs->Questions()[1].text.SubString(1, 28), "Verificare i dati inseriti\n\n");
    table_->Cancel();
}

} // namespace
