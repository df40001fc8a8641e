#include "platform/core/Registry.h"
#include "platform/core/RegistryFile.h"

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

class RegistryFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir / "sub/registry.reg";
    ScopedEnv env{"QUOR_REGISTRY", file.c_str()};

    void Write(const std::string& text) {
        std::filesystem::create_directories(dir.path() / "sub");
        std::ofstream(file, std::ios::binary) << text;
    }
};

const char* const kSample = "REGEDIT4\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\r\n"
                            "\"Archivi\"=\"C:\\\\Quor\\\\Archivi\\\\\"\r\n"
                            "\"Net\"=dword:00000001\r\n"
                            "\"Priv\"=\"\"\r\n"
                            "\"Nota\"=\"L'archivio \xC3\xA8 \\\"utilizzato\\\"\"\r\n"
                            "\"Bin\"=hex:01,02,\\\r\n"
                            "  03\r\n"
                            "\r\n"
                            "[HKEY_LOCAL_MACHINE\\Software\\Quor]\r\n"
                            "@=\"macchina\"\r\n";

} // namespace

TEST_F(RegistryFileTest, ReadingNeverCreatesTheFileOrAKey) {
    {
        TRegistry reg;
        EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
        EXPECT_FALSE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
        EXPECT_FALSE(reg.KeyExists("\\Software"));
        EXPECT_FALSE(reg.ValueExists("Net"));
        EXPECT_EQ(reg.ReadString("Net"), "");
        EXPECT_THROW(reg.ReadInteger("Net"), ERegistryException);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "sub"));

    Write(kSample);
    const std::string before = Slurp(file);
    {
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKey("\\Software\\Quor\\Bracotene\\Nuova", false));
        EXPECT_FALSE(reg.OpenKey("\\Software\\Altro", false));
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
        (void)reg.ReadString("Manca");
    }
    EXPECT_EQ(Slurp(file), before);
}

TEST_F(RegistryFileTest, ReadsTypedValuesCaseInsensitively) {
    Write(kSample);
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("\\software\\QUOR\\bracotene\\", false));
    EXPECT_EQ(reg.CurrentPath(), "software\\QUOR\\bracotene");
    EXPECT_TRUE(reg.ValueExists("archivi"));
    EXPECT_EQ(reg.ReadString("Archivi"), "C:\\Quor\\Archivi\\");
    EXPECT_EQ(reg.ReadString("Nota"), "L'archivio \xE8 \"utilizzato\"");
    EXPECT_TRUE(reg.ValueExists("Priv"));
    EXPECT_EQ(reg.ReadString("Priv"), "");
    EXPECT_EQ(reg.ReadInteger("Net"), 1);
    EXPECT_THROW(reg.ReadString("Net"), ERegistryException);
    EXPECT_THROW(reg.ReadString("Bin"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Archivi"), ERegistryException);
    try {
        reg.ReadString("Net");
    } catch (const ERegistryException& e) {
        EXPECT_NE(e.Message().Pos("'Net'"), 0) << e.what();
    }

    // Without a leading backslash a path is relative to the open key.
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("Software", false));
    EXPECT_TRUE(reg.KeyExists("Quor\\Bracotene"));
    EXPECT_TRUE(reg.KeyExists("\\Software\\Quor")); // a parent with no section of its own
    ASSERT_TRUE(reg.OpenKey("Quor", false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Quor");
    EXPECT_FALSE(reg.ValueExists("Net"));

    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software\\Quor", false));
    EXPECT_EQ(reg.ReadString(""), "macchina");
}

TEST_F(RegistryFileTest, WritingSavesAndRoundTrips) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", true));
        reg.WriteString("Net", "C:\\Rete \"1\" \x80");
        reg.WriteInteger("Versione", -2);
        reg.WriteString("Vuoto", "");
        reg.WriteString("Righe", "uno\r\ndue");
    }
    const std::string text = Slurp(file);
    EXPECT_EQ(text.rfind("REGEDIT4\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]"), std::string::npos);
    EXPECT_NE(text.find("\"Net\"=\"C:\\\\Rete \\\"1\\\" \xE2\x82\xAC\""), std::string::npos);
    EXPECT_NE(text.find("\"Versione\"=dword:fffffffe"), std::string::npos);

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Quor\\Bracotene", false));
    EXPECT_EQ(reg.ReadString("NET"), "C:\\Rete \"1\" \x80");
    EXPECT_EQ(reg.ReadInteger("Versione"), -2);
    EXPECT_TRUE(reg.ValueExists("Vuoto"));
    EXPECT_EQ(reg.ReadString("Righe"), "uno\r\ndue");
    reg.WriteString("net", "D:\\"); // replaces, whatever the case
    EXPECT_EQ(reg.ReadString("Net"), "D:\\");
    EXPECT_TRUE(reg.DeleteValue("Net"));
    EXPECT_FALSE(reg.ValueExists("Net"));
    EXPECT_FALSE(reg.DeleteValue("Net"));
}

TEST(RegistryFile, ParsingToleratesOddInput) {
    const regfile::Store store = regfile::Parse("\xEF\xBB\xBFREGEDIT4\n"
                                                "\"Orphan\"=\"no key\"\n"
                                                "[HKCU\\\\Software\\Quor\\]\n"
                                                "\"Unterminated\"=\"abc\n"
                                                "\"Num\"=dword:zz\n"
                                                "garbage\n"
                                                "\"Ok\"=\"yes\"\n"
                                                "[-HKEY_CURRENT_USER\\Gone]\n"
                                                "\"Lost\"=\"x\"\n"
                                                "[broken\n");
    ASSERT_EQ(store.keys.size(), 1u);
    EXPECT_EQ(store.keys[0].path, "HKEY_CURRENT_USER\\Software\\Quor");
    ASSERT_EQ(store.keys[0].values.size(), 1u);
    EXPECT_EQ(store.keys[0].values[0].text, "yes");
    EXPECT_EQ(regfile::Parse(regfile::Serialise(store)).keys[0].values[0].name, "Ok");
}
