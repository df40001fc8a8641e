#include "platform/data/EngineConfig.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/core/Files.h"

#include <cstdlib>
#include <fstream>
#include <map>

namespace dbengine {

namespace {

std::string Trim(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool IsAbsolute(const std::string& p) {
    if (!p.empty() && (p[0] == '/' || p[0] == '\\')) return true;
    return p.size() >= 2 && p[1] == ':';
}

using Section = std::map<std::string, std::string>;

// Reads the section of the alias (names compared case-insensitively); false
// when the file or the section is missing.
bool ReadSection(const std::string& file, const std::string& alias, Section& out) {
    std::ifstream in(Cp1252ToUtf8(file));
    if (!in) return false;
    std::string line;
    bool inSection = false, found = false;
    while (std::getline(in, line)) {
        line = Trim(Utf8ToCp1252(line));
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            inSection =
                AnsiString(Trim(line.substr(1, line.size() - 2))).EqualsIC(AnsiString(alias));
            found = found || inSection;
            continue;
        }
        if (!inSection) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = AnsiString(Trim(line.substr(0, eq))).UpperCase().str();
        out[key] = Trim(line.substr(eq + 1));
    }
    return found;
}

} // namespace

std::string EngineConfigPath() {
    if (const char* env = std::getenv("QUOR_ENGINE_CONFIG"); env && *env) return Utf8ToCp1252(env);
#ifdef _WIN32
    const char* base = std::getenv("APPDATA");
    return Utf8ToCp1252(base ? base : ".") + "\\Quor\\engine.ini";
#else
    const char* home = std::getenv("HOME");
    return Utf8ToCp1252(home ? home : ".") + "/.config/Quor/engine.ini";
#endif
}

ConnectParams ResolveAlias(const std::string& alias, bool fileMayBeNew) {
    const std::string file = EngineConfigPath();
    const AnsiString where = " (file di configurazione '" + AnsiString(file) + "')";
    if (!FileExistsOnDisk(AnsiString(file)))
        throw EDatabaseError("Alias '" + AnsiString(alias) +
                             "' non configurato: il file di configurazione del motore '" +
                             AnsiString(file) + "' non esiste");
    Section section;
    if (!ReadSection(file, alias, section))
        throw EDatabaseError("Alias '" + AnsiString(alias) + "' non configurato" + where);
    ConnectParams params;
    params.AliasName = alias;
    params.Driver = section.count("DRIVER") ? section["DRIVER"] : "SQLITE";
    if (!FindDriver(params.Driver))
        throw EDatabaseError("Driver '" + AnsiString(params.Driver) + "' dell'alias '" +
                             AnsiString(alias) + "' non disponibile" + where);
    if (AnsiString(params.Driver).EqualsIC("POSTGRES")) {
        // A server: where and as whom, as libpq reads it; the driver checks it.
        params.Connection = section.count("CONNECTION") ? section["CONNECTION"] : "";
        if (params.Connection.empty())
            throw EDatabaseError("Alias '" + AnsiString(alias) + "' senza Connection" + where);
        return params;
    }
    std::string path = section.count("PATH") ? section["PATH"] : "";
    if (path.empty()) throw EDatabaseError("Alias '" + AnsiString(alias) + "' senza Path" + where);
    if (!IsAbsolute(path)) path = ExtractFilePath(AnsiString(file)).str() + path;
    path = NormalizePath(AnsiString(path)).str();
    if (AnsiString(params.Driver).EqualsIC("SQLITE") && !fileMayBeNew &&
        !FileExistsOnDisk(AnsiString(path)))
        throw EDatabaseError("Archivio dell'alias '" + AnsiString(alias) + "' non trovato: '" +
                             AnsiString(path) + "'" + where);
    params.Path = path;
    return params;
}

} // namespace dbengine
