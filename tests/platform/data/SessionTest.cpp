// Sessions, databases and data modules: start-up order while a module
// loads, the engine folders, and lookups by name.

#include "TestArchive.h"

#include "platform/core/Files.h"
#include "platform/data/DataModule.h"
#include "platform/data/DataSource.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A module as the utility builds one: components created while loading.
class ModuleUnderTest : public TDataModule {
public:
    std::vector<std::string> events;
    TSession* session;
    TDatabase* database;
    TTable* table;

    ModuleUnderTest(const std::string& netDir, const char* alias) {
        SetName("datProva");
        session = new TSession(this);
        session->SetSessionName("SessioneModulo");
        session->OnStartup = [this, netDir](TObject* sender) {
            events.push_back(std::string("startup:") + (sender == session ? "session" : "?"));
            session->SetNetFileDir(netDir.c_str());
            session->SetPrivateDir(netDir.c_str());
        };
        session->SetActive(true);
        database = new TDatabase(this);
        database->SetDatabaseName("dbModulo");
        database->SetAliasName(alias);
        database->SetSessionName("SessioneModulo");
        database->SetReadOnly(true);
        database->SetConnected(true);
        table = new TTable(this);
        table->SetDatabaseName("dbModulo");
        table->SetSessionName("SessioneModulo");
        table->SetTableName("Condomini.DB");
        table->SetActive(true);
        auto* source = new TDataSource(this);
        source->SetDataSet(table);
        OnCreate = [this](TObject*) {
            events.push_back(std::string("create:") + (database->Connected() ? "connected" : "no") +
                             (table->Active() ? ",open" : ",closed"));
        };
        events.push_back(std::string("built:") + (session->Active() ? "active" : "inactive") +
                         (database->Connected() ? ",connected" : ",disconnected"));
        FinishLoading();
    }
};

TEST(SessionTest, AModuleStartsItsSessionThenConnectsThenRunsOnCreate) {
    TestArchive archive;
    archive.Populate();
    const std::string before = archive.Contents();
    {
        ModuleUnderTest module(archive.NetDir(), "Prova");
        EXPECT_EQ(module.events,
                  (std::vector<std::string>{"built:inactive,disconnected", "startup:session",
                                            "create:connected,open"}));
        EXPECT_EQ(module.session->NetFileDir().str(), archive.NetDir() + PathDelim);
        EXPECT_EQ(Sessions->FindSession("sessionemodulo"), module.session);
        EXPECT_EQ(module.session->FindDatabase("DBMODULO"), module.database);
        EXPECT_EQ(module.table->RecordCount(), 4);
        EXPECT_FALSE(module.table->CanModify());
        module.FinishLoading(); // once only
        EXPECT_EQ(module.events.size(), 3u);
    }
    // Gone with its module.
    EXPECT_EQ(Sessions->FindSession("SessioneModulo"), nullptr);
    EXPECT_EQ(archive.Contents(), before);
}

TEST(SessionTest, AFailureWhileLoadingLeavesBeforeOnCreate) {
    TestArchive archive;
    try {
        ModuleUnderTest module(archive.NetDir(), "Mancante");
        FAIL() << "the module was created without its alias";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Mancante'"), 0) << e.Message().c_str();
    }
    EXPECT_EQ(Sessions->FindSession("SessioneModulo"), nullptr);
}

TEST(SessionTest, EngineFoldersMustExist) {
    TestArchive archive;
    TSession s;
    s.SetSessionName("Cartelle");
    EXPECT_EQ(s.NetFileDir(), "");
    try {
        s.SetNetFileDir((archive.NetDir() + "/manca").c_str());
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("manca"), 0) << e.Message().c_str();
    }
    EXPECT_EQ(s.NetFileDir(), "");
    EXPECT_THROW(s.SetPrivateDir("/non/esiste"), EDatabaseError);
    s.SetPrivateDir(archive.NetDir().c_str());
    EXPECT_EQ(s.PrivateDir().str(), archive.NetDir() + PathDelim);
    s.SetPrivateDir("");
    EXPECT_EQ(s.PrivateDir(), "");

    // Names are unique; the empty name is the default session.
    TSession twin;
    EXPECT_THROW(twin.SetSessionName("CARTELLE"), EDatabaseError);
    EXPECT_EQ(Sessions->FindSession(""), Session);
    EXPECT_EQ(Sessions->FindSession("Default"), Session);
    EXPECT_THROW(Sessions->SessionByName("Nessuna"), EDatabaseError);

    // Starting raises OnStartup once; stopping disconnects the databases.
    int startups = 0;
    archive.Session()->OnStartup = [&](TObject*) { ++startups; };
    archive.Database()->SetConnected(true);
    archive.Database()->SetConnected(false);
    archive.Database()->SetConnected(true);
    EXPECT_EQ(startups, 1);
    archive.Session()->SetActive(false);
    EXPECT_FALSE(archive.Database()->Connected());
}

} // namespace

namespace {

TEST(EngineConfigTest, AliasesResolveFromTheConfigurationFile) {
    TestArchive archive;
    const std::string ini = archive.ConfigPath();
    // On the server, a connection string takes the place of the path.
    const std::string where = archive.OnServer() ? archive.Raw().ConfigLines("")
                                                 : "  Path = " + archive.DbPath() + "  \n";
    std::ofstream(ini) << "; archivi di prova\n[prova]\n"
                       << where << "[Server]\nDriver=POSTGRES\nPath=x\n[Vuoto]\nDriver=SQLITE\n";
    // Absolute path, alias matched whatever its case, blanks trimmed: the alias reaches
    // the archive the test wrote.
    archive.Populate();
    archive.Database()->SetAliasName("PROVA");
    archive.Database()->SetConnected(true);
    EXPECT_TRUE(archive.Database()->Connected());
    {
        TTable condomini;
        archive.Bind(&condomini);
        condomini.SetTableName("Condomini.DB");
        condomini.Open();
        EXPECT_EQ(condomini.RecordCount(), 4);
        condomini.Close();
    }
    archive.Database()->SetConnected(false);

    for (const char* alias : {"Server", "Vuoto", "Assente"}) {
        archive.Database()->SetAliasName(alias);
        try {
            archive.Database()->SetConnected(true);
            ADD_FAILURE() << alias;
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message().Pos((std::string("'") + alias + "'").c_str()), 0)
                << e.Message().c_str();
            EXPECT_NE(e.Message().Pos(ini.c_str()), 0) << e.Message().c_str();
        }
    }

    // No configuration file at all.
    std::filesystem::remove(ini);
    archive.Database()->SetAliasName("Prova");
    try {
        archive.Database()->SetConnected(true);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Prova'"), 0) << e.Message().c_str();
        EXPECT_NE(e.Message().Pos(ini.c_str()), 0) << e.Message().c_str();
    }
}

} // namespace
