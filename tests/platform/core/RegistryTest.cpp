#include "platform/core/Registry.h"
#include "platform/core/RegistryFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Files as regedit writes them: line ends CR LF, a blank line after the header
// and after every key, bytes cut after 77 columns with a final backslash.
namespace {

// What "Esporta" writes: UTF-16LE with a byte-order mark.
std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

const char16_t* const kVersion5 =
    u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\r\n"
    u"\"Archivi\"=\"C:\\\\Quor\\\\Archivi\"\r\n"
    u"\"Nota\"=\"caff\u00E8 \u00E8 pronto \u20AC\"\r\n"
    u"\"Net\"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,\\\r\n"
    u"  00,45,00,25,00,5c,00,52,00,65,00,74,00,65,00,00,00\r\n"
    u"\"Vuoto\"=hex(2):00,00\r\n"
    u"\"Versione\"=dword:00000003\r\n"
    u"\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
    u"  16,17\r\n"
    u"\r\n";

// What "Esporta" writes as "File del Registro di sistema di Win9x/NT4":
// Windows-1252, expandable text as ANSI bytes.
const char* const kRegedit4 =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\r\n"
    "\"Archivi\"=\"C:\\\\Quor\\\\Archivi\"\r\n"
    "\"Nota\"=\"caff\xE8 \xE8 pronto \x80\"\r\n"
    "\"Priv\"=hex(2):25,4c,4f,43,41,4c,41,50,50,44,41,54,41,25,5c,51,75,6f,72,5c,42,\\\r\n"
    "  72,61,63,6f,74,65,6e,65,5c,50,72,69,76,61,74,61,00\r\n"
    "\"Versione\"=dword:00000003\r\n"
    "\r\n";

} // namespace

TEST_F(RegistryFileTest, ReadsFilesAsRegeditWritesThem) {
    // The same values whatever the form of the file.
    const std::vector<std::pair<const char*, std::string>> files = {
        {"version 5, UTF-16LE", Utf16File(kVersion5)},
        {"REGEDIT4, Windows-1252", kRegedit4},
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
         "[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\r\n"
         "\"Nota\"=\"caff\xC3\xA8 \xC3\xA8 pronto \xE2\x82\xAC\"\r\n"},
        {"UTF-8 without a mark", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\n"
                                 "\"Nota\"=\"caff\xC3\xA8 \xC3\xA8 pronto \xE2\x82\xAC\"\n"},
    };
    for (const auto& [kind, bytes] : files) {
        SCOPED_TRACE(kind);
        Write(bytes);
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
        EXPECT_EQ(reg.ReadString("Nota"), "caff\xE8 \xE8 pronto \x80");
        EXPECT_EQ(Slurp(file), bytes) << "reading changed the file";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "sub"),
                                std::filesystem::directory_iterator()),
                  1);
    }

    Write(Utf16File(kVersion5));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
    EXPECT_EQ(reg.ReadString("Archivi"), "C:\\Quor\\Archivi");
    // Expandable text is read as it is stored, variables and all.
    EXPECT_TRUE(reg.ValueExists("Net"));
    EXPECT_EQ(reg.ReadString("Net"), "%USERPROFILE%\\Rete");
    EXPECT_TRUE(reg.ValueExists("Vuoto"));
    EXPECT_EQ(reg.ReadString("Vuoto"), "");
    EXPECT_EQ(reg.ReadInteger("Versione"), 3);
    EXPECT_TRUE(reg.ValueExists("Bin"));
    EXPECT_THROW(reg.ReadString("Bin"), ERegistryException);

    Write(kRegedit4);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
    EXPECT_EQ(reg.ReadString("Priv"), "%LOCALAPPDATA%\\Quor\\Bracotene\\Privata");
    EXPECT_EQ(reg.ReadString("Archivi"), "C:\\Quor\\Archivi");
    EXPECT_EQ(reg.ReadInteger("Versione"), 3);
}

TEST_F(RegistryFileTest, WritingKeepsTheFormOfTheFile) {
    Write(Utf16File(kVersion5));
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
        reg.WriteString("Priv", "D:\\Privata perch\xE9");
    }
    std::string bytes = Slurp(file);
    ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    EXPECT_EQ(text.rfind(u"Windows Registry Editor Version 5.00\r\n", 0), 0u);
    EXPECT_NE(text.find(u"\"Priv\"=\"D:\\\\Privata perch\u00E9\"\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"Net\"=hex(2):25,00,55,00"), std::u16string::npos);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
        EXPECT_EQ(reg.ReadString("Net"), "%USERPROFILE%\\Rete");
        EXPECT_EQ(reg.ReadString("Priv"), "D:\\Privata perch\xE9");
        EXPECT_EQ(reg.ReadString("Nota"), "caff\xE8 \xE8 pronto \x80");
    }

    Write(kRegedit4);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
        reg.WriteString("Net", "Citt\xE0");
    }
    bytes = Slurp(file);
    EXPECT_EQ(bytes.rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_NE(bytes.find("\"Net\"=\"Citt\xE0\"\r\n"), std::string::npos) << "not Windows-1252";
    EXPECT_NE(bytes.find("\"Nota\"=\"caff\xE8 \xE8 pronto \x80\"\r\n"), std::string::npos);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Quor\\Bracotene", false));
    EXPECT_EQ(reg.ReadString("Priv"), "%LOCALAPPDATA%\\Quor\\Bracotene\\Privata");
}

TEST(RegistryFile, BytesOfEveryKindDecode) {
    regfile::Format format;
    EXPECT_EQ(regfile::Decode("caff\xE8", format), "caff\xE8");
    EXPECT_EQ(format.encoding, regfile::Format::Encoding::Ansi);
    EXPECT_EQ(regfile::Decode("caff\xC3\xA8", format), "caff\xE8");
    EXPECT_EQ(format.encoding, regfile::Format::Encoding::Utf8);
    // Overlong and cut sequences are not UTF-8.
    EXPECT_EQ(regfile::Decode("a\xC0\xA0", format), "a\xC0\xA0");
    EXPECT_EQ(regfile::Decode("a\xE2\x82", format), "a\xE2\x82");
    EXPECT_EQ(format.encoding, regfile::Format::Encoding::Ansi);
    EXPECT_EQ(regfile::Decode(std::string("R\0E\0", 4), format), "RE");
    EXPECT_EQ(format.encoding, regfile::Format::Encoding::Utf16Le);
    EXPECT_EQ(regfile::Decode(std::string("\xFE\xFF\0R\0\xE8", 6), format), "R\xE8");
    EXPECT_EQ(format.encoding, regfile::Format::Encoding::Utf16Be);
    for (const auto encoding :
         {regfile::Format::Encoding::Utf8, regfile::Format::Encoding::Utf8Bom,
          regfile::Format::Encoding::Utf16Le, regfile::Format::Encoding::Utf16Be,
          regfile::Format::Encoding::Ansi}) {
        format.encoding = encoding;
        regfile::Format back;
        EXPECT_EQ(regfile::Decode(regfile::Encode("REGEDIT4 \x80 \xE8", format), back),
                  "REGEDIT4 \x80 \xE8");
        EXPECT_EQ(back.encoding, encoding);
    }

    // Bytes that do not make text leave the value unreadable as text.
    const regfile::Store store = regfile::Parse("Windows Registry Editor Version 5.00\n"
                                                "[HKEY_CURRENT_USER\\K]\n"
                                                "\"Rotto\"=hex(2):4g,00\n"
                                                "\"Testo\"=hex(1):41,00,42,00,00,00,43,00\n"
                                                "\"Lista\"=hex(7):41,00,00,00,00,00\n"
                                                "\"Spazi\"=hex(2): 41 , 00 ,\\\n"
                                                "\n");
    ASSERT_EQ(store.keys.size(), 1u);
    EXPECT_TRUE(store.format.version5);
    const auto* broken = store.FindValue("HKEY_CURRENT_USER\\K", "Rotto");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->type, regfile::Value::Type::Other);
    const auto* plain = store.FindValue("HKEY_CURRENT_USER\\K", "Testo");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->type, regfile::Value::Type::String);
    EXPECT_EQ(plain->text, "AB");
    EXPECT_EQ(store.FindValue("HKEY_CURRENT_USER\\K", "Lista")->type, regfile::Value::Type::Other);
    const auto* spaced = store.FindValue("HKEY_CURRENT_USER\\K", "Spazi");
    ASSERT_NE(spaced, nullptr);
    EXPECT_EQ(spaced->type, regfile::Value::Type::ExpandString);
    EXPECT_EQ(spaced->text, "A");
    // What was read as bytes is written back as it came.
    EXPECT_NE(regfile::Serialise(store).find("\"Testo\"=hex(1):41,00,42,00,00,00,43,00\n"),
              std::string::npos);
}

namespace {

// Runs body in a child process, as the user "nobody" when the test runs as
// root (whom no folder refuses); its exit status, 0 when body returned true.
// -1 when no such user exists.
template <class Body> int InChild(Body body, bool asUnprivileged) {
    uid_t uid = geteuid();
    gid_t gid = getegid();
    if (asUnprivileged && uid == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody) return -1;
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        if (uid != geteuid() && (setgid(gid) != 0 || setuid(uid) != 0)) _exit(3);
        bool ok = false;
        try {
            ok = body();
        } catch (...) {
        }
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(RegistryFileTest, TwoProgramsWritingOneFileLoseNoValue) {
    Write(kSample);
    constexpr int kValues = 500;
    // Both start at once, when the pipe they wait on closes.
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> writers;
    for (const char* prefix : {"Primo", "Secondo"}) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(start[1]);
            char c;
            while (read(start[0], &c, 1) > 0) {
            }
            try {
                TRegistry reg;
                if (!reg.OpenKey("\\Software\\Quor\\Valori", true)) _exit(1);
                for (int i = 0; i < kValues; ++i)
                    reg.WriteString(prefix + std::to_string(i), std::to_string(i * 7));
            } catch (...) {
                _exit(2);
            }
            _exit(0);
        }
        ASSERT_GT(pid, 0);
        writers.push_back(pid);
    }
    close(start[0]);
    close(start[1]);
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Quor\\Valori"));
    int missing = 0;
    for (const char* prefix : {"Primo", "Secondo"})
        for (int i = 0; i < kValues; ++i)
            if (reg.ReadString(prefix + std::to_string(i)) != AnsiString(std::to_string(i * 7)))
                ++missing;
    EXPECT_EQ(missing, 0) << "values lost of " << 2 * kValues;
    // What was there before stays, and no temporary file is left behind.
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Quor\\Bracotene"));
    EXPECT_EQ(reg.ReadInteger("Net"), 1);
    EXPECT_EQ(FilesIn(dir.path() / "sub"),
              (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST_F(RegistryFileTest, AFolderThatCannotBeWrittenKeepsTheOldFile) {
    Write(kSample);
    // The file itself could be written in place; the folder refuses the new one.
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(file, std::filesystem::perms(0666));
    std::filesystem::permissions(dir.path() / "sub", std::filesystem::perms(0555));
    std::string message;
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const int status = InChild(
        [&report] {
            TRegistry reg;
            if (!reg.OpenKey("\\Software\\Quor\\Bracotene", false)) return false;
            std::string said = "nothing thrown";
            try {
                reg.WriteString("Net", "/srv/rete");
            } catch (const ERegistryException& e) {
                said = e.Message().str();
            }
            const bool deleted = reg.DeleteValue("Priv");
            const bool created = reg.OpenKey("\\Software\\Quor\\Nuova", true);
            if (deleted || created) said += " (deleted or created)";
            return write(report[1], said.data(), said.size()) == static_cast<ssize_t>(said.size());
        },
        true);
    close(report[1]);
    char buffer[512];
    ssize_t n;
    while ((n = read(report[0], buffer, sizeof buffer)) > 0)
        message.append(buffer, static_cast<std::size_t>(n));
    close(report[0]);
    std::filesystem::permissions(dir.path() / "sub", std::filesystem::perms(0755));
    if (status == -1) GTEST_SKIP() << "running as root without a user 'nobody' to write as";
    EXPECT_EQ(status, 0);
    EXPECT_NE(message.find("Impossibile scrivere il valore 'Net' del registro"), std::string::npos)
        << message;
    EXPECT_NE(message.find(file), std::string::npos) << message;
    EXPECT_EQ(message.find("(deleted or created)"), std::string::npos) << message;
    EXPECT_EQ(Slurp(file), kSample);
    EXPECT_EQ(FilesIn(dir.path() / "sub"), std::vector<std::string>{"registry.reg"});
}
