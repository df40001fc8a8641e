#include "platform/core/ConfigDirs.h"

#include <cstdlib>

namespace {

// The variable's value without trailing separators ("/" itself stays).
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    std::string text = value ? value : "";
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
    return text;
}

} // namespace

#ifdef _WIN32

std::string UserConfigDir() {
    const std::string base = Env("APPDATA");
    return (base.empty() ? "." : base) + "\\Quor";
}

std::string SystemConfigDir() {
    if (std::string named = Env("QUOR_SYSTEM_CONFIG_DIR"); !named.empty()) return named;
    const std::string base = Env("ProgramData");
    return (base.empty() ? "C:\\ProgramData" : base) + "\\Quor";
}

#else

std::string UserConfigDir() {
    // A relative XDG_CONFIG_HOME is invalid and to be ignored.
    if (std::string xdg = Env("XDG_CONFIG_HOME"); !xdg.empty() && xdg[0] == '/')
        return xdg + "/Quor";
    const std::string home = Env("HOME");
    return (home.empty() ? "." : home) + "/.config/Quor";
}

std::string SystemConfigDir() {
    if (std::string named = Env("QUOR_SYSTEM_CONFIG_DIR"); !named.empty()) return named;
    return "/etc/quor";
}

#endif
