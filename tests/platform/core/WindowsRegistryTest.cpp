// TRegistry against the Windows registry: values written with the Windows API
// are read back through TRegistry, and the other way round.

#include "platform/core/Registry.h"

#include "RegistrySandbox.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* const kKey = L"Software\\Quor\\Bracotene";

class WindowsRegistry : public ::testing::Test {
protected:
    RegistrySandbox sandbox;

    void SetUp() override { ASSERT_TRUE(sandbox.Ready()); }
};

} // namespace

TEST_F(WindowsRegistry, ReadsTextAsStoredAndConvertsItToTheCodePage) {
    ASSERT_TRUE(sandbox.SetText(kKey, L"Archivi", L"C:\\Quor\\Archivi\\"));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Net", L"\\\\server\\quor\\Net"));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Priv", L"%USERPROFILE%\\Priv", REG_EXPAND_SZ));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Vuoto", L""));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Nota", L"caff\u00E8 \u20AC 5"));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Autore", L"\u0141ukasz \u010Capek \u03BB"));
    ASSERT_TRUE(sandbox.SetText(kKey, L"", L"predefinito"));
    // Text stored without its final NUL, as some programs write it.
    const std::wstring bare = L"senza fine";
    ASSERT_TRUE(sandbox.SetValue(kKey, L"Nudo", REG_SZ, bare.data(),
                                 static_cast<DWORD>(bare.size() * sizeof(wchar_t))));

    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Quor\\Bracotene");
    EXPECT_TRUE(reg.ValueExists("archivi")); // names are case-insensitive
    EXPECT_EQ(reg.ReadString("ARCHIVI"), "C:\\Quor\\Archivi\\");
    EXPECT_EQ(reg.ReadString("Net"), "\\\\server\\quor\\Net");
    // Expandable text comes back as written, its variables left alone.
    EXPECT_EQ(reg.ReadString("Priv"), "%USERPROFILE%\\Priv");
    EXPECT_TRUE(reg.ValueExists("Vuoto"));
    EXPECT_EQ(reg.ReadString("Vuoto"), "");
    EXPECT_EQ(reg.ReadString("Nota"), "caff\xE8 \x80 5");
    EXPECT_EQ(reg.ReadString("Autore"), "Lukasz Capek ?");
    EXPECT_EQ(reg.ReadString(""), "predefinito");
    EXPECT_EQ(reg.ReadString("Nudo"), "senza fine");
    EXPECT_FALSE(reg.ValueExists("Manca"));
    EXPECT_EQ(reg.ReadString("Manca"), "");
}

TEST_F(WindowsRegistry, OtherTypesAreNotText) {
    ASSERT_TRUE(sandbox.SetNumber(kKey, L"Net", 7));
    const unsigned char bytes[] = {1, 2, 3};
    ASSERT_TRUE(sandbox.SetValue(kKey, L"Bin", REG_BINARY, bytes, sizeof bytes));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Testo", L"12"));

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Quor\\Bracotene", false));
    EXPECT_TRUE(reg.ValueExists("Net"));
    EXPECT_EQ(reg.ReadInteger("Net"), 7);
    EXPECT_THROW(reg.ReadString("Net"), ERegistryException);
    EXPECT_THROW(reg.ReadString("Bin"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Testo"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Manca"), ERegistryException);
    try {
        reg.ReadString("Bin");
    } catch (const ERegistryException& e) {
        EXPECT_NE(e.Message().Pos("'Bin'"), 0) << e.what();
    }
}

TEST_F(WindowsRegistry, OpeningForReadingCreatesNothing) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
    EXPECT_FALSE(reg.KeyExists("\\Software\\Quor"));
    EXPECT_FALSE(sandbox.KeyExists(L"Software\\Quor"));

    ASSERT_TRUE(sandbox.CreateKey(L"Software\\Quor"));
    EXPECT_TRUE(reg.KeyExists("\\Software\\Quor\\"));
    EXPECT_FALSE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
    EXPECT_FALSE(sandbox.KeyExists(kKey));
    // Without a leading backslash a path is relative to the open key.
    ASSERT_TRUE(reg.OpenKey("\\Software", false));
    ASSERT_TRUE(reg.OpenKey("Quor", false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Quor");
    EXPECT_FALSE(reg.ValueExists("Net"));
    EXPECT_EQ(reg.ReadString("Net"), "");
    EXPECT_EQ(sandbox.Type(L"Software\\Quor", L"Net"), static_cast<DWORD>(REG_NONE));

    // Another root holds other keys.
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(reg.OpenKey("\\Software\\Quor\\Bracotene\\Nuova", false));
}

TEST_F(WindowsRegistry, WritesAreWhatTheApiReads) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", true));
        reg.WriteString("Net", "C:\\Rete \"1\" caff\xE8 \x80");
        reg.WriteString("Vuoto", "");
        reg.WriteInteger("Versione", -2);
    }
    EXPECT_TRUE(sandbox.KeyExists(kKey));
    EXPECT_EQ(sandbox.Type(kKey, L"Net"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(sandbox.Text(kKey, L"Net"), L"C:\\Rete \"1\" caff\u00E8 \u20AC");
    EXPECT_EQ(sandbox.Type(kKey, L"Vuoto"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(sandbox.Type(kKey, L"Versione"), static_cast<DWORD>(REG_DWORD));

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\software\\QUOR\\bracotene", false));
    EXPECT_EQ(reg.ReadInteger("Versione"), -2);
    EXPECT_TRUE(reg.DeleteValue("net"));
    EXPECT_FALSE(reg.DeleteValue("Net"));
    EXPECT_EQ(sandbox.Type(kKey, L"Net"), static_cast<DWORD>(REG_NONE));
}
