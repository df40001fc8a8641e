#pragma once
// A throwaway archive for the engine's benchmarks: a temporary folder with a
// SQLite file built by one script and an engine configuration naming it.

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

class BenchArchive {
public:
    BenchArchive(const std::string& alias, const std::string& script) {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorbenchXXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        dir = pattern;
        db = (dir / (alias + ".db")).string();
        sqlite3* h = nullptr;
        if (sqlite3_open(db.c_str(), &h) != SQLITE_OK ||
            sqlite3_exec(h, script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        sqlite3_close(h);
        std::ofstream(dir / "engine.ini")
            << "[" << alias << "]\nDriver=SQLITE\nPath=" << alias << ".db\n";
        setenv("QUOR_ENGINE_CONFIG", (dir / "engine.ini").c_str(), 1);
    }
    ~BenchArchive() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    BenchArchive(const BenchArchive&) = delete;
    BenchArchive& operator=(const BenchArchive&) = delete;

    std::filesystem::path dir;
    std::string db;
};
