#pragma once
// The few POSIX calls the tests use, for the Windows build: setenv, unsetenv
// and mkdtemp. Elsewhere this header only brings in the system's own.

#include <cstdlib>

#ifdef _WIN32
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

// An empty value removes the variable on Windows.
inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value);
}

inline int unsetenv(const char* name) {
    return _putenv_s(name, "");
}

// The trailing "XXXXXX" of pattern becomes digits naming a new folder.
inline char* mkdtemp(char* pattern) {
    std::string text(pattern);
    if (text.size() < 6 || text.compare(text.size() - 6, 6, "XXXXXX") != 0) return nullptr;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string digits = std::to_string(1000000 + random() % 9000000).substr(1);
        text.replace(text.size() - 6, 6, digits);
        std::error_code ec;
        if (std::filesystem::create_directory(text, ec)) {
            text.copy(pattern, text.size());
            return pattern;
        }
    }
    return nullptr;
}
#else
#include <stdlib.h>
#include <unistd.h>
#endif
