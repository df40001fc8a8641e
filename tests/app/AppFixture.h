#pragma once
// A demo archive in a fresh temporary folder, with the engine configuration
// and the registry file of the test pointing at it, and the Italian number
// and date settings, so that every test sees the same renderings.

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

class WindowsSettings;

class AppArchiveTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Movements of condominium 1 in the generated archive.
    virtual int DemoMovements() const { return 40; }

    // Runs statements on the archive directly, outside the engine.
    void Exec(const std::string& sql);
    long long ScalarInt(const std::string& sql);
    // A new condominium with only a name; returns its IdCondominio.
    int AddCondominium(const std::string& name);
    // One movement; an empty optional stores null. Texts are UTF-8.
    void AddMovement(int condominium, int cause, std::optional<std::string> isoDate,
                     std::optional<std::string> amount, const std::string& description,
                     const std::string& currency = "\xE2\x82\xAC");

    // The registry file of the test, written from scratch with these values
    // under the product's key (an empty text leaves the value out). On
    // Windows the values go into the registry, under a key of the test's own.
    void WriteRegistry(const std::string& body);
    // text as a registry file's quoted value holds it (\\ and \" escaped).
    static std::string RegText(const std::string& text);
    void WriteEngineConfig(const std::string& text);

    std::string ReadArchiveBytes() const;

    std::string dir_;
    std::string archive_;
    std::string engineConfig_;
    std::string registry_;
    int condominiums_ = 0;
#ifdef _WIN32
    std::shared_ptr<WindowsSettings> windowsSettings_;
#endif
};

// Another connection holding the archive's exclusive lock, as a program in
// the middle of writing does, until it is destroyed.
class ArchiveWriteLock {
public:
    explicit ArchiveWriteLock(const std::string& archive);
    ~ArchiveWriteLock();
    ArchiveWriteLock(const ArchiveWriteLock&) = delete;
    ArchiveWriteLock& operator=(const ArchiveWriteLock&) = delete;
    bool Held() const { return held_; }

private:
    sqlite3* db_ = nullptr;
    bool held_ = false;
};

// The bytes of a file, empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
