// How the program comes up over a real archive: the engine folders from the
// product settings, the failures of the start-up, master and detail, and the
// archive left untouched.

#include "app/BracUtilMain.h"
#include "app/ContoCorrenteExport.h"
#include "app/MainUtil.h"
#include "app/Utilitiesbracotene.h"
#include "app/datBracUtil.h"
#include "tests/app/AppFixture.h"

#include "platform/core/Exception.h"
#include "platform/core/Files.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Field.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"
#include "platform/gui/Forms.h"
#include "utilities/Utilitiescomuni.h"

#include "tests/PosixOnWindows.h"

#include <filesystem>
#include <fstream>

namespace {

using Kind = ScriptedDialogs::Kind;

int gArgc = 1;
char gArg0[] = "test_app";
char* gArgv[] = {gArg0, nullptr};

class StartupTest : public AppArchiveTest {};

TEST_F(StartupTest, ProductSettingsReachTheSessionFolders) {
    ReadProductSettings();
    ScopedScriptedDialogs dialogs;
    TdatBracoUtil module;
    EXPECT_TRUE(module.sesBracUtil->Active());
    EXPECT_EQ(module.sesBracUtil->SessionName(), "SessioneBracUtil");
    // With the platform's separators, as the session writes folder names.
    const auto native = [](const std::string& name) {
        return AnsiString(std::filesystem::path(name).make_preferred().string());
    };
    EXPECT_EQ(module.sesBracUtil->NetFileDir(), native(dir_ + "/Net/"));
    EXPECT_EQ(module.sesBracUtil->PrivateDir(), native(dir_ + "/Priv/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/Net"));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/Priv"));
    EXPECT_TRUE(module.dbBracUtil->Connected());
    EXPECT_TRUE(module.dbBracUtil->ReadOnly());
    EXPECT_TRUE(module.tblCondomini->Active());
    EXPECT_TRUE(module.tblMovConti->Active());
    EXPECT_EQ(datBracoUtil, &module);
    EXPECT_TRUE(dialogs->Questions().empty());
}

TEST_F(StartupTest, MissingAliasShowsThePlatformErrorAndNoWindow) {
    const std::string before = ReadArchiveBytes();
    for (const std::string& config :
         {std::string("[Altro]\nDriver=SQLITE\nPath=Archivi/Bracotene.db\n"),
          std::string("[Bracotene]\nDriver=SQLITE\nPath=Archivi/Manca.db\n")}) {
        WriteEngineConfig(config);
        TGuiApplication application(gArgc, gArgv);
        ScopedScriptedDialogs dialogs;
        EXPECT_EQ(RunBracUtilWindow(application, BracUtilOptions()), 0);
        ASSERT_EQ(dialogs->Questions().size(), 1u) << config;
        const auto& error = dialogs->Questions()[0];
        EXPECT_EQ(error.kind, Kind::ShowException);
        EXPECT_NE(error.text.Pos("Bracotene"), 0) << error.text.c_str();
        // The window was created but never shown, and no module is left.
        ASSERT_NE(application.MainForm(), nullptr);
        EXPECT_FALSE(application.MainForm()->Showing());
        EXPECT_EQ(datBracoUtil, nullptr);
    }
    EXPECT_EQ(ReadArchiveBytes(), before);
}

TEST_F(StartupTest, TableThatCannotBeOpenedAsksAndNamesTheModule) {
    Exec("DROP TABLE MovConti");
    {
        ScopedScriptedDialogs dialogs;
        dialogs->AnswerButton(IDNO);
        TdatBracoUtil module;
        const auto& questions = dialogs->Questions();
        ASSERT_EQ(questions.size(), 2u);
        EXPECT_EQ(questions[0].kind, Kind::MessageBox);
        EXPECT_EQ(questions[0].flags, 0x23);
        const AnsiString prefix =
            "Non riesco ad aprire l'archivio \"MovConti.db\"\n\n(tblMovConti: ";
        EXPECT_EQ(questions[0].text.SubString(1, prefix.Length()), prefix)
            << questions[0].text.c_str();
        EXPECT_EQ(questions[0].text.SubString(questions[0].text.Length() - 10, 11), ")\nProseguo?");
        EXPECT_EQ(questions[1].kind, Kind::ShowMessage);
        EXPECT_EQ(questions[1].text, "Errore durante l'apertura degli archivi (datBracoUtil)");
        // What opened before the failure stays open; the session is active.
        EXPECT_TRUE(module.dbBracUtil->Connected());
        EXPECT_TRUE(module.tblCondomini->Active());
        EXPECT_FALSE(module.tblMovConti->Active());
        EXPECT_TRUE(module.sesBracUtil->Active());
    }
    for (int answer : {IDYES, IDCANCEL}) {
        ScopedScriptedDialogs dialogs;
        dialogs->AnswerButton(answer);
        TdatBracoUtil module;
        ASSERT_EQ(dialogs->Questions().size(), 1u) << answer;
        EXPECT_EQ(dialogs->Questions()[0].kind, Kind::MessageBox);
        EXPECT_TRUE(module.tblCondomini->Active());
        EXPECT_FALSE(module.tblMovConti->Active());
    }
}

TEST_F(StartupTest, MovementsFollowTheCurrentCondominium) {
    ScopedScriptedDialogs dialogs;
    TdatBracoUtil module;
    TTable* condomini = module.tblCondomini;
    TTable* movimenti = module.tblMovConti;
    // The grid's order is the name index, case-insensitive.
    EXPECT_EQ(condomini->FieldByName("IdCondominio")->AsInteger(),
              ScalarInt("SELECT IdCondominio FROM Condomini ORDER BY Nome COLLATE NOCASE, "
                        "IdCondominio LIMIT 1"));
    for (int id : {1, 2, condominiums_, 1}) {
        ASSERT_TRUE(condomini->Locate("IdCondominio", Variant(id)));
        EXPECT_EQ(
            movimenti->RecordCount(),
            ScalarInt("SELECT count(*) FROM MovConti WHERE idCondominio=" + std::to_string(id)))
            << id;
        for (movimenti->First(); !movimenti->Eof(); movimenti->Next())
            ASSERT_EQ(movimenti->FieldByName("idCondominio")->AsInteger(), id);
    }
    // Persistent fields: only those listed, in that order.
    ASSERT_EQ(movimenti->FieldCount(), 5);
    EXPECT_EQ(movimenti->Fields()->Fields(0)->FieldName(), "Data");
    EXPECT_EQ(movimenti->Fields()->Fields(4)->FieldName(), "idCondominio");
    ASSERT_EQ(condomini->FieldCount(), 25);
    EXPECT_EQ(condomini->Fields()->Fields(0)->FieldName(), "Nome");
    EXPECT_EQ(condomini->Fields()->Fields(24)->FieldName(), "IdCondominio");
    EXPECT_EQ(condomini->FieldByName("NumeroConto")->DisplayLabel(), "Numero Conto");
    EXPECT_FALSE(condomini->FieldByName("Note")->Visible());
    EXPECT_TRUE(condomini->FieldByName("IdCondominio")->ReadOnly());
    EXPECT_EQ(condomini->FindField("IdAmministratore"), nullptr);
}

TEST_F(StartupTest, ArchiveIsUnchangedAfterASession) {
    const std::string before = ReadArchiveBytes();
    {
        ScopedScriptedDialogs dialogs;
        TdatBracoUtil module;
        for (module.tblCondomini->First(); !module.tblCondomini->Eof(); module.tblCondomini->Next())
            BuildContoCorrenteText(module.tblCondomini);
        module.tblCondomini->First();
        EXPECT_THROW(module.tblCondomini->Edit(), EDatabaseError);
        module.tblMovConti->First();
        EXPECT_ANY_THROW({
            module.tblMovConti->Edit();
            module.tblMovConti->FieldByName("Descrizione")->SetAsString("cambiata");
            module.tblMovConti->Post();
        });
    }
    EXPECT_EQ(ReadArchiveBytes(), before);
}

class RegistryTest : public AppArchiveTest {};

// The settings file stands in for a registry where there is none; the
// Windows registry itself is read by the tests of platform/core.
#ifndef _WIN32
TEST_F(RegistryTest, ProductSettingsFollowTheRules) {
    // A registry without the product's key, and no registry at all.
    const std::string other = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quor\\Altro]\n"
                              "\"Net\"=\"/srv/altro\"\n";
    { std::ofstream(registry_, std::ios::binary | std::ios::trunc) << other; }
    EXPECT_EQ(ToAnsiString(ReadProductSetting("Net")), "");
    EXPECT_EQ(ReadFileBytes(registry_), other);
    const std::string missing = dir_ + "/manca.reg";
    setenv("QUOR_REGISTRY", missing.c_str(), 1);
    EXPECT_EQ(ToAnsiString(ReadProductSetting("Net")), "");
    EXPECT_FALSE(std::filesystem::exists(missing));
    setenv("QUOR_REGISTRY", registry_.c_str(), 1);

    // Texts as stored, a number or an empty text reading as empty.
    WriteRegistry("\"Archivi\"=\"C:\\\\Quor\\\\Archivi\\\\\"\n"
                  "\"Net\"=\"/srv/condivisa/Net\"\n"
                  "\"Priv\"=\"/home/nicol\xC3\xB2/Priv\"\n"
                  "\"Numero\"=dword:00000001\n"
                  "\"Vuoto\"=\"\"\n");
    EXPECT_EQ(ToAnsiString(ReadProductSetting("Archivi")), "C:\\Quor\\Archivi\\");
    EXPECT_EQ(ToAnsiString(ReadProductSetting("Net")), "/srv/condivisa/Net");
    EXPECT_EQ(ToAnsiString(ReadProductSetting("Numero")), "");
    EXPECT_EQ(ToAnsiString(ReadProductSetting("Vuoto")), "");
    EXPECT_EQ(ToAnsiString(ReadProductSetting("Manca")), "");

    Archivi = Net = Priv = "";
    ReadProductSettings();
    EXPECT_EQ(Archivi, "C:\\Quor\\Archivi\\");
    EXPECT_EQ(Net, "/srv/condivisa/Net");
    EXPECT_EQ(Priv, "/home/nicol\xF2/Priv");
    Archivi = Net = Priv = "";
}
#endif

} // namespace
