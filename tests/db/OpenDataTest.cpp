#include "db/OpenArchives.h"
#include "tests/db/DbFixture.h"

#include "platform/core/Application.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/DataModule.h"
#include "platform/data/Query.h"

namespace {

using dbtest::DbFixture;
using Kind = ScriptedDialogs::Kind;

class TTabellaSpeciale : public TTable {
public:
    using TTable::TTable;
    QUOR_CLASS_NAME(TTabellaSpeciale)
};

class OpenDataTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        Sql("create table Condomini (Id integer primary key, Nome varchar(30));"
            "create table Fornitori (Id integer primary key);"
            "create table Conti (Id integer primary key);");
        module_ = std::make_unique<TDataModule>(nullptr);
        module_->SetName("datBracoUtil");
        Application->SetTitle("Prova");
    }

    template <typename T> T* Add(const AnsiString& name, int tag) {
        auto* component = new T(module_.get());
        component->SetName(name);
        component->SetTag(tag);
        return component;
    }

    TTable* AddTable(const AnsiString& name, const AnsiString& tableName, int tag) {
        return AddTableOf<TTable>(name, tableName, tag);
    }

    template <typename T>
    T* AddTableOf(const AnsiString& name, const AnsiString& tableName, int tag) {
        T* table = Add<T>(name, tag);
        table->SetDatabaseName(kDatabase);
        table->SetSessionName(kSession);
        table->SetTableName(tableName);
        return table;
    }

    TQuery* AddQuery(const AnsiString& name, const AnsiString& sql, int tag) {
        TQuery* query = Add<TQuery>(name, tag);
        query->SetDatabaseName(kDatabase);
        query->SetSessionName(kSession);
        query->SQL()->Add(sql);
        return query;
    }

    void TearDown() override {
        module_.reset();
        DbFixture::TearDown();
    }

    std::unique_ptr<TDataModule> module_;
};

TEST_F(OpenDataTest, OnlyOddTagsAndExactClassesTakePart) {
    TTable* tag0 = AddTable("tbl0", "Condomini.DB", 0);
    TTable* tag2 = AddTable("tbl2", "Condomini.DB", 2);
    TTable* tag3 = AddTable("tbl3", "Condomini.DB", 3);
    auto* derived = AddTableOf<TTabellaSpeciale>("tblDerivata", "Condomini.DB", 1);
    TQuery* query = AddQuery("qryNomi", "select Nome from Condomini", 1);
    TQuery* idle = AddQuery("qryFerma", "select Nome from Condomini", 4);

    module_->FinishLoading();
    ScopedScriptedDialogs dialogs;
    OpenData(module_.get(), true);
    EXPECT_FALSE(tag0->Active());
    EXPECT_FALSE(tag2->Active());
    EXPECT_TRUE(tag3->Active());
    EXPECT_FALSE(derived->Active());
    EXPECT_TRUE(query->Active());
    EXPECT_FALSE(idle->Active());

    tag0->Open();
    derived->Open();
    OpenData(module_.get(), false);
    EXPECT_FALSE(tag3->Active());
    EXPECT_FALSE(query->Active());
    EXPECT_TRUE(tag0->Active());
    EXPECT_TRUE(derived->Active());
    EXPECT_TRUE(dialogs->Questions().empty());
    OpenData(nullptr, true); // nothing to do, nothing raised
}

TEST_F(OpenDataTest, DatabasesAreConnectedAndDisconnected) {
    dbtest::WriteEngineConfig(dir_->Path(), {{"ArchivioProva", "archivio.db"}});
    auto* database = Add<TDatabase>("dbModulo", 1);
    database->SetDatabaseName("dbModulo");
    database->SetAliasName("ArchivioProva");
    database->SetSessionName(kSession);
    module_->FinishLoading();
    ScopedScriptedDialogs dialogs;
    OpenData(module_.get(), true);
    EXPECT_TRUE(database->Connected());
    OpenData(module_.get(), false);
    EXPECT_FALSE(database->Connected());

    // A database that cannot connect is named without a table name.
    database->SetAliasName("AliasInesistente");
    dialogs->AnswerButton(IDYES);
    OpenData(module_.get(), true);
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    const AnsiString text = dialogs->Questions()[0].text;
    EXPECT_EQ(text.SubString(1, 43), "Non riesco ad aprire l'archivio \"dbModulo: ");
    EXPECT_NE(text.Pos("AliasInesistente"), 0) << text.c_str();
}

TEST_F(OpenDataTest, AnsweringNoAbandonsThePassAndNamesTheModule) {
    TTable* first = AddTable("tblCondomini", "Condomini.DB", 1);
    TTable* missing = AddTable("tblMancante", "Mancante.DB", 1);
    TTable* third = AddTable("tblFornitori", "Fornitori.DB", 1);
    module_->FinishLoading();

    ScopedScriptedDialogs dialogs;
    dialogs->AnswerButton(IDNO);
    OpenData(module_.get(), true);

    EXPECT_TRUE(first->Active());
    EXPECT_FALSE(missing->Active());
    EXPECT_FALSE(third->Active());
    ASSERT_EQ(dialogs->Questions().size(), 2u);
    const auto& question = dialogs->Questions()[0];
    EXPECT_EQ(question.kind, Kind::MessageBox);
    EXPECT_EQ(question.flags, 0x23);
    EXPECT_EQ(question.caption, "Prova"); // the application's title
    const AnsiString prefix = "Non riesco ad aprire l'archivio \"Mancante.DB\"\n\n(tblMancante: ";
    EXPECT_EQ(question.text.SubString(1, prefix.Length()), prefix) << question.text.c_str();
    EXPECT_NE(question.text.Pos("Mancante"), 0);
    const AnsiString suffix = ")\nProseguo?";
    EXPECT_EQ(
        question.text.SubString(question.text.Length() - suffix.Length() + 1, suffix.Length()),
        suffix);
    const auto& final = dialogs->Questions()[1];
    EXPECT_EQ(final.kind, Kind::ShowMessage);
    EXPECT_EQ(final.text, "Errore durante l'apertura degli archivi (datBracoUtil)");
}

TEST_F(OpenDataTest, YesAndCancelGoOnWithTheNextComponent) {
    for (int answer : {IDYES, IDCANCEL}) {
        SCOPED_TRACE(answer);
        module_ = std::make_unique<TDataModule>(nullptr);
        module_->SetName("datProva");
        TQuery* broken = AddQuery("qryRotta", "select * from Mancante", 1);
        TTable* missing = AddTable("tblMancante", "Mancante.DB", 1);
        TTable* good = AddTable("tblConti", "Conti.DB", 1);
        module_->FinishLoading();

        ScopedScriptedDialogs dialogs;
        dialogs->AnswerButton(answer);
        dialogs->AnswerButton(answer);
        OpenData(module_.get(), true);
        EXPECT_FALSE(broken->Active());
        EXPECT_FALSE(missing->Active());
        EXPECT_TRUE(good->Active());
        ASSERT_EQ(dialogs->Questions().size(), 2u); // no final message
        // A query is named without a table name.
        EXPECT_EQ(dialogs->Questions()[0].text.SubString(1, 43),
                  "Non riesco ad aprire l'archivio \"qryRotta: ");
        EXPECT_EQ(dialogs->Questions()[1].text.SubString(1, 47),
                  "Non riesco ad aprire l'archivio \"Mancante.DB\"\n\n");
    }
}

} // namespace
