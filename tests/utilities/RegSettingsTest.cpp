#include "utilities/RegSettings.h"

#include "tests/platform/core/TempDir.h"
#include "utilities/StringConversions.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr const char* kKey = "\\Software\\Quor\\Bracotene";

class RegSettings : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir / "registry.reg";
    ScopedEnv env{"QUOR_REGISTRY", file.c_str()};

    void Write(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
    AnsiString Read(const char* name, const char* def = "", HKEY root = HKEY_CURRENT_USER) {
        return ToAnsiString(ReadRegString(kKey, name, def, root));
    }
};

} // namespace

TEST_F(RegSettings, MissingKeyGivesTheDefaultAndCreatesNothing) {
    EXPECT_EQ(Read("Net"), "");
    EXPECT_EQ(Read("Net", "predefinito"), "predefinito");
    EXPECT_FALSE(std::filesystem::exists(file));

    Write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quor]\n\"Net\"=\"altrove\"\n");
    EXPECT_EQ(Read("Net", "d"), "d");
    TRegistry registry;
    EXPECT_FALSE(registry.KeyExists(kKey));
    EXPECT_EQ(ToAnsiString(ReadRegString(nullptr, "Net", "d", HKEY_CURRENT_USER)), "d");
    EXPECT_EQ(ToAnsiString(ReadRegString(kKey, nullptr, "d", HKEY_CURRENT_USER)), "d");
    EXPECT_EQ(ReadRegString(kKey, "Net", nullptr, HKEY_CURRENT_USER).Length(), 0);
}

TEST_F(RegSettings, ValuesReadExactlyOrFallBack) {
    Write("REGEDIT4\n\n"
          "[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\n"
          "\"Archivi\"=\"C:\\\\Quor\\\\Archivi\"\n"
          "\"Net\"=\"\\\\\\\\server\\\\quor\\\\Net\\\\\"\n"
          "\"Priv\"=\"\"\n"
          "\"Numero\"=dword:00000007\n"
          "\"Accento\"=\"Citt\xC3\xA0\"\n");
    EXPECT_EQ(Read("Archivi", "d"), "C:\\Quor\\Archivi");
    EXPECT_EQ(Read("Net", "d"), "\\\\server\\quor\\Net\\");
    EXPECT_EQ(Read("NET", "d"), "\\\\server\\quor\\Net\\");
    // An empty text is a value: it is not replaced by the default.
    EXPECT_EQ(Read("Priv", "d"), "");
    EXPECT_EQ(Read("Numero", "d"), "d");
    EXPECT_EQ(Read("Numero"), "");
    EXPECT_EQ(Read("Accento"), "Citt\xE0");
    EXPECT_EQ(Read("Manca", "d"), "d");
    EXPECT_EQ(Read("Archivi", "d", HKEY_LOCAL_MACHINE), "d");
    EXPECT_EQ(Read("Archivi", "d", 0x12345), "d");
    EXPECT_EQ(
        ToAnsiString(ReadRegString("Software\\quor\\BRACOTENE", "Archivi", "d", HKEY_CURRENT_USER)),
        "C:\\Quor\\Archivi");
}
