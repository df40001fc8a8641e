// Where an alias is looked up: the user's engine.ini over the system-wide
// one, or the one file QUOR_ENGINE_CONFIG names.

#include "platform/data/EngineConfig.h"

#include "platform/core/Exception.h"
#include "tests/platform/core/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

class EngineConfigTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string home = dir / "casa";
    std::string system = dir / "etc";
    ScopedEnv noConfig{"QUOR_ENGINE_CONFIG", nullptr};
    ScopedEnv homeEnv{"HOME", home.c_str()};
    ScopedEnv noXdg{"XDG_CONFIG_HOME", nullptr};
    ScopedEnv systemEnv{"QUOR_SYSTEM_CONFIG_DIR", system.c_str()};

    std::string UserIni() const { return home + "/.config/Quor/engine.ini"; }
    std::string SystemIni() const { return system + "/engine.ini"; }

    // Writes the file and an empty archive for each relative path.
    static void Write(const std::string& file, const std::string& text) {
        const std::filesystem::path path(file);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(file) << text;
    }
    static std::string Archive(const std::string& folder, const std::string& name) {
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/" + name;
        std::ofstream(path) << "";
        return path;
    }
    static std::string Failure(const std::string& alias) {
        try {
            dbengine::ResolveAlias(alias);
        } catch (const EDatabaseError& e) {
            return e.Message().str();
        }
        return "(nessun errore)";
    }
};

TEST_F(EngineConfigTest, TheUsersAliasesComeBeforeTheSystemWideOnes) {
    EXPECT_EQ(dbengine::EngineConfigFiles(),
              (std::vector<std::string>{UserIni(), SystemIni()}));
    const std::string shared = Archive(system + "/Archivi", "Bracotene.db");
    const std::string own = Archive(home + "/.config/Quor", "Mio.db");
    Write(SystemIni(), "[Bracotene]\nDriver=SQLITE\nPath=Archivi/Bracotene.db\n"
                       "[Altro]\nPath=Archivi/Bracotene.db\n");

    // No user file at all: the system's alias, its path taken from the system's folder.
    EXPECT_EQ(dbengine::ResolveAlias("bracotene").Path, shared);

    // The user's file without the alias leaves it to the system's file.
    Write(UserIni(), "[Mio]\nPath=Mio.db\n");
    EXPECT_EQ(dbengine::ResolveAlias("Bracotene").Path, shared);
    EXPECT_EQ(dbengine::ResolveAlias("Mio").Path, own);

    // The same alias in the user's file wins, whole: a broken one is not
    // patched up from the system's.
    Write(UserIni(), "[BRACOTENE]\nPath=Mio.db\n[Altro]\nDriver=SQLITE\n");
    EXPECT_EQ(dbengine::ResolveAlias("Bracotene").Path, own);
    const std::string broken = Failure("Altro");
    EXPECT_NE(broken.find("senza Path"), std::string::npos) << broken;
    EXPECT_NE(broken.find(UserIni()), std::string::npos) << broken;

    // XDG_CONFIG_HOME moves the user's folder; a relative one is ignored.
    const std::string xdg = dir / "xdg";
    {
        ScopedEnv relative("XDG_CONFIG_HOME", "relativa");
        EXPECT_EQ(dbengine::EngineConfigPath(), UserIni());
    }
    ScopedEnv xdgEnv("XDG_CONFIG_HOME", xdg.c_str());
    EXPECT_EQ(dbengine::EngineConfigPath(), xdg + "/Quor/engine.ini");
    EXPECT_EQ(dbengine::ResolveAlias("Bracotene").Path, shared);
    const std::string mine = Archive(xdg + "/Quor", "Xdg.db");
    Write(xdg + "/Quor/engine.ini", "[Bracotene]\nPath=Xdg.db\n");
    EXPECT_EQ(dbengine::ResolveAlias("Bracotene").Path, mine);

    // The variable names the one file read: neither of the others helps.
    const std::string named = dir / "nominato.ini";
    Write(named, "[Solo]\nPath=casa/.config/Quor/Mio.db\n");
    ScopedEnv configEnv("QUOR_ENGINE_CONFIG", named.c_str());
    EXPECT_EQ(dbengine::EngineConfigFiles(), std::vector<std::string>{named});
    EXPECT_EQ(dbengine::ResolveAlias("Solo").Path, own);
    const std::string message = Failure("Bracotene");
    EXPECT_NE(message.find("'" + named + "' (senza la sezione)"), std::string::npos) << message;
    EXPECT_EQ(message.find(SystemIni()), std::string::npos) << message;
}

TEST_F(EngineConfigTest, AnAliasFoundNowhereNamesEveryFileAndWhatASectionHolds) {
    std::string message = Failure("Bracotene");
    EXPECT_NE(message.find("Alias 'Bracotene' non configurato"), std::string::npos) << message;
    EXPECT_NE(message.find("'" + UserIni() + "' (non esiste), '" + SystemIni() + "' (non esiste)"),
              std::string::npos)
        << message;
    for (const char* part : {"[Bracotene]", "Driver=SQLITE", "Path=", "Driver=POSTGRES",
                             "Connection="})
        EXPECT_NE(message.find(part), std::string::npos) << part << " in " << message;

    Write(SystemIni(), "; solo commenti\n");
    Write(UserIni(), "[Altro]\nPath=x.db\n");
    message = Failure("Bracotene");
    EXPECT_NE(message.find("'" + UserIni() + "' (senza la sezione), '" + SystemIni() +
                           "' (senza la sezione)"),
              std::string::npos)
        << message;

    // A file that cannot be read is said to be so, and the next one is still read.
    if (geteuid() != 0) {
        std::filesystem::permissions(UserIni(), std::filesystem::perms::none);
        Write(SystemIni(), "[Bracotene]\nPath=Bracotene.db\n");
        const std::string archive = Archive(system, "Bracotene.db");
        EXPECT_EQ(dbengine::ResolveAlias("Bracotene").Path, archive);
        message = Failure("Assente");
        EXPECT_NE(message.find("'" + UserIni() + "' (illeggibile)"), std::string::npos)
            << message;
    }
}

} // namespace
