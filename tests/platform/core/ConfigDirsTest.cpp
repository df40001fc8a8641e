// The user's and the system's configuration folders, and the registry file
// read over both.

#include "platform/core/ConfigDirs.h"
#include "platform/core/Registry.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string Slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ConfigDirs, FollowTheEnvironment) {
    ScopedEnv home("HOME", "/home/anna");
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv system("QUOR_SYSTEM_CONFIG_DIR", nullptr);
    EXPECT_EQ(UserConfigDir(), "/home/anna/.config/Quor");
    EXPECT_EQ(SystemConfigDir(), "/etc/quor");
    {
        ScopedEnv set("XDG_CONFIG_HOME", "/srv/conf/");
        ScopedEnv other("QUOR_SYSTEM_CONFIG_DIR", "/tmp/radice/etc/quor/");
        EXPECT_EQ(UserConfigDir(), "/srv/conf/Quor");
        EXPECT_EQ(SystemConfigDir(), "/tmp/radice/etc/quor");
    }
    // Not absolute, so not a valid XDG_CONFIG_HOME; empty means unset.
    for (const char* ignored : {"conf", ""}) {
        ScopedEnv set("XDG_CONFIG_HOME", ignored);
        ScopedEnv empty("QUOR_SYSTEM_CONFIG_DIR", "");
        EXPECT_EQ(UserConfigDir(), "/home/anna/.config/Quor") << ignored;
        EXPECT_EQ(SystemConfigDir(), "/etc/quor");
    }
}

const char* const kKey = "\\Software\\Quor\\Bracotene";

TEST(ConfigDirs, TheRegistryReadsTheUsersFileOverTheSystemsAndWritesOnlyTheUsers) {
    TempDir dir;
    ScopedEnv noNamed("QUOR_REGISTRY", nullptr);
    ScopedEnv xdg("XDG_CONFIG_HOME", (dir / "utente").c_str());
    ScopedEnv system("QUOR_SYSTEM_CONFIG_DIR", (dir / "sistema").c_str());
    const std::string userFile = dir / "utente/Quor/registry.reg";
    const std::string systemFile = dir / "sistema/registry.reg";
    EXPECT_EQ(TRegistry::StoreFileName(), userFile);
    EXPECT_EQ(TRegistry::SystemStoreFileName(), systemFile);

    std::filesystem::create_directories(dir.path() / "sistema");
    const std::string systemText = "REGEDIT4\n\n"
                                   "[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\n"
                                   "\"Net\"=\"/srv/bracotene/net\"\n"
                                   "\"Priv\"=\"/srv/bracotene/priv\"\n"
                                   "\"Copie\"=dword:00000003\n";
    std::ofstream(systemFile, std::ios::binary) << systemText;

    // Only the system's file: its key and values, and reading creates nothing.
    {
        TRegistry reg;
        EXPECT_TRUE(reg.KeyExists(kKey));
        ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
        EXPECT_EQ(reg.ReadString("Net"), "/srv/bracotene/net");
        EXPECT_EQ(reg.ReadInteger("Copie"), 3);
        EXPECT_FALSE(reg.ValueExists("Archivi"));
    }
    EXPECT_FALSE(std::filesystem::exists(userFile));

    // The user's value of the same name wins; the others still come through.
    std::filesystem::create_directories(dir.path() / "utente/Quor");
    std::ofstream(userFile, std::ios::binary)
        << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\n"
           "\"Net\"=\"/home/anna/net\"\n";
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kKey, false));
        EXPECT_EQ(reg.ReadString("Net"), "/home/anna/net");
        EXPECT_EQ(reg.ReadString("Priv"), "/srv/bracotene/priv");
        // Writing, even over a value from the system's file, goes to the user's.
        reg.WriteString("Priv", "/home/anna/priv");
        reg.WriteInteger("Copie", 5);
        EXPECT_EQ(reg.ReadString("Priv"), "/home/anna/priv");
        EXPECT_EQ(reg.ReadInteger("Copie"), 5);
        // Deleting the user's value shows the system's again.
        EXPECT_TRUE(reg.DeleteValue("Copie"));
        EXPECT_EQ(reg.ReadInteger("Copie"), 3);
    }
    EXPECT_EQ(Slurp(systemFile), systemText);
    EXPECT_NE(Slurp(userFile).find("/home/anna/priv"), std::string::npos);

    // A named file stands alone: the system's is not read under it.
    const std::string named = dir / "solo.reg";
    ScopedEnv only("QUOR_REGISTRY", named.c_str());
    EXPECT_EQ(TRegistry::SystemStoreFileName(), "");
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists(kKey));
    EXPECT_FALSE(reg.OpenKeyReadOnly(kKey));
}

} // namespace
