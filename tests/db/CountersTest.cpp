#include "db/Counters.h"
#include "tests/db/DbFixture.h"

#include "platform/core/Application.h"
#include "platform/core/ScriptedDialogs.h"

namespace {

using dbtest::DbFixture;

const char* const kRetryText =
    "L'archivio \xE8 utilizzato da un altro utente, premere Ok per riprovare...";

class CountersTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        Sql("create table Contatori (Contatore varchar(40) primary key, Valore integer)");
        counters_ = Table("Contatori.DB");
        Application->SetTitle("Contatori");
    }
    std::string Stored(const std::string& name) {
        return Value("select Valore from Contatori where Contatore='" + name + "'");
    }
    TTable* counters_ = nullptr;
};

TEST_F(CountersTest, NumbersStartAtOneAndGoUpPerName) {
    ScopedScriptedDialogs dialogs;
    EXPECT_EQ(SetCounter(counters_, "Fatture"), 1);
    EXPECT_FALSE(counters_->Active());
    EXPECT_EQ(SetCounter(counters_, "Fatture"), 2);
    EXPECT_EQ(SetCounter(counters_, "Ricevute"), 1);
    EXPECT_EQ(SetCounter(counters_, "Fatture"), 3);
    EXPECT_EQ(Stored("Fatture"), "3");
    EXPECT_EQ(Stored("Ricevute"), "1");
    EXPECT_FALSE(counters_->Active());

    // A null value counts as 0; an existing value goes on from there.
    Sql("insert into Contatori values ('Nullo', null); insert into Contatori values ('Cento', "
        "100)");
    EXPECT_EQ(SetCounter(counters_, "Nullo"), 1);
    EXPECT_EQ(SetCounter(counters_, "Cento"), 101);
    EXPECT_TRUE(dialogs->Questions().empty());
}

TEST_F(CountersTest, ApostrophesInNamesAreLiteral) {
    ScopedScriptedDialogs dialogs;
    EXPECT_EQ(SetCounter(counters_, "L'Aquila"), 1);
    EXPECT_EQ(SetCounter(counters_, "L'Aquila"), 2);
    EXPECT_EQ(Value("select Valore from Contatori where Contatore='L''Aquila'"), "2");
    // A name cannot rewrite the filter and reach other counters.
    EXPECT_EQ(SetCounter(counters_, "Fatture"), 1);
    EXPECT_EQ(SetCounter(counters_, "x' or Contatore<>'"), 1);
    EXPECT_EQ(Stored("Fatture"), "1");
    EXPECT_EQ(Value("select count(*) from Contatori"), "3");
    EXPECT_TRUE(dialogs->Questions().empty());
}

TEST_F(CountersTest, RefusedOpenIsRetriedUntilTheUserCancels) {
    TTable* unreachable = Table("Mancante.DB");
    ScopedScriptedDialogs dialogs;
    dialogs->AnswerButton(IDOK);
    dialogs->AnswerButton(IDOK);
    dialogs->AnswerButton(IDCANCEL);
    EXPECT_EQ(SetCounter(unreachable, "Fatture"), 0);
    EXPECT_FALSE(unreachable->Active());
    ASSERT_EQ(dialogs->Questions().size(), 3u);
    for (const auto& q : dialogs->Questions()) {
        EXPECT_EQ(q.kind, ScriptedDialogs::Kind::MessageBox);
        EXPECT_EQ(q.text, kRetryText);
        EXPECT_EQ(q.caption, "Contatori");
        EXPECT_EQ(q.flags, 0x41);
    }
}

TEST_F(CountersTest, FailuresAfterOpeningGiveZeroAndCloseTheTable) {
    Sql("create table SenzaValore (Contatore varchar(40) primary key, Altro integer)");
    TTable* wrong = Table("SenzaValore");
    ScopedScriptedDialogs dialogs;
    EXPECT_EQ(SetCounter(wrong, "Fatture"), 0);
    EXPECT_FALSE(wrong->Active());
    EXPECT_EQ(Value("select count(*) from SenzaValore"), "0");
    EXPECT_EQ(SetCounter(nullptr, "Fatture"), 0);
    EXPECT_TRUE(dialogs->Questions().empty());
}

} // namespace
