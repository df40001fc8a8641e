// The product's settings as the program reads them on Windows: from the
// registry, under the current user.

#include "app/Utilitiesbracotene.h"
#include "tests/platform/core/RegistrySandbox.h"
#include "utilities/RegSettings.h"
#include "utilities/StringConversions.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* const kKey = L"Software\\Quor\\Bracotene";

class WindowsSettings : public ::testing::Test {
protected:
    RegistrySandbox sandbox;

    void SetUp() override { ASSERT_TRUE(sandbox.Ready()); }
    static AnsiString Setting(const char* name) { return ToAnsiString(ReadProductSetting(name)); }
};

} // namespace

TEST_F(WindowsSettings, MissingKeyOrValueGivesTheDefaultAndCreatesNothing) {
    EXPECT_EQ(Setting("Net"), "");
    EXPECT_EQ(ToAnsiString(ReadRegString(ProductSettingsKey, "Net", "d", HKEY_CURRENT_USER)), "d");
    EXPECT_FALSE(sandbox.KeyExists(L"Software\\Quor"));

    ASSERT_TRUE(sandbox.CreateKey(kKey));
    EXPECT_EQ(Setting("Net"), "");
    EXPECT_EQ(ToAnsiString(ReadRegString(ProductSettingsKey, "Net", "d", HKEY_CURRENT_USER)), "d");
    EXPECT_EQ(ToAnsiString(ReadRegString(ProductSettingsKey, "Net", "d", HKEY_LOCAL_MACHINE)),
              "d");
    EXPECT_EQ(sandbox.Type(kKey, L"Net"), static_cast<DWORD>(REG_NONE));
}

TEST_F(WindowsSettings, ValuesReadExactlyOrFallBack) {
    ASSERT_TRUE(sandbox.SetText(kKey, L"Archivi", L"C:\\Quor\\Archivi"));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Net", L"\\\\server\\quor\\Net\\"));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Priv", L"%LOCALAPPDATA%\\Quor", REG_EXPAND_SZ));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Vuoto", L""));
    ASSERT_TRUE(sandbox.SetNumber(kKey, L"Numero", 7));
    ASSERT_TRUE(sandbox.SetText(kKey, L"Citta", L"Citt\u00E0 di \u0218tefan"));

    EXPECT_EQ(Setting("Archivi"), "C:\\Quor\\Archivi");
    EXPECT_EQ(Setting("net"), "\\\\server\\quor\\Net\\"); // no separator added or removed
    EXPECT_EQ(Setting("Priv"), "%LOCALAPPDATA%\\Quor");
    EXPECT_EQ(Setting("Numero"), "");
    EXPECT_EQ(Setting("Citta"), "Citt\xE0 di Stefan");
    // An empty text is a value: it is not replaced by the default.
    EXPECT_EQ(ToAnsiString(ReadRegString(ProductSettingsKey, "Vuoto", "d", HKEY_CURRENT_USER)),
              "");
    EXPECT_EQ(ToAnsiString(ReadRegString(ProductSettingsKey, "Numero", "d", HKEY_CURRENT_USER)),
              "d");
    EXPECT_EQ(ToAnsiString(ReadRegString("Software\\quor\\BRACOTENE", "Archivi", "d",
                                         HKEY_CURRENT_USER)),
              "C:\\Quor\\Archivi");

    ReadProductSettings();
    EXPECT_EQ(Archivi, "C:\\Quor\\Archivi");
    EXPECT_EQ(Net, "\\\\server\\quor\\Net\\");
    EXPECT_EQ(Priv, "%LOCALAPPDATA%\\Quor");
}
