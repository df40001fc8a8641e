#include "platform/data/EngineConfig.h"

#include "platform/core/ConfigDirs.h"
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

enum class Lookup { Found, NoSection, Unreadable };

// Reads the section of the alias (names compared case-insensitively).
Lookup ReadSection(const std::string& file, const std::string& alias, Section& out) {
    std::ifstream in(Cp1252ToUtf8(file));
    if (!in) return Lookup::Unreadable;
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
    return found ? Lookup::Found : Lookup::NoSection;
}

[[noreturn]] void RaiseNotConfigured(const std::string& alias, const AnsiString& looked) {
    throw EDatabaseError(
        "Alias '" + AnsiString(alias) + "' non configurato. File cercati: " + looked +
        ". Una sezione [" + AnsiString(alias) +
        "] deve contenere Driver=SQLITE e Path=<file dell'archivio> (relativo alla cartella del "
        "file), oppure Driver=POSTGRES e Connection=<parametri di libpq>");
}

} // namespace

std::vector<std::string> EngineConfigFiles() {
    if (const char* env = std::getenv("QUOR_ENGINE_CONFIG"); env && *env)
        return {Utf8ToCp1252(env)};
#ifdef _WIN32
    const char* sep = "\\";
#else
    const char* sep = "/";
#endif
    return {Utf8ToCp1252(UserConfigDir() + sep + "engine.ini"),
            Utf8ToCp1252(SystemConfigDir() + sep + "engine.ini")};
}

std::string EngineConfigPath() {
    return EngineConfigFiles().front();
}

ConnectParams ResolveAlias(const std::string& alias, bool fileMayBeNew) {
    std::string file;
    Section section;
    AnsiString looked;
    for (const std::string& candidate : EngineConfigFiles()) {
        if (!looked.IsEmpty()) looked += ", ";
        looked += "'" + AnsiString(candidate) + "'";
        if (!FileExistsOnDisk(AnsiString(candidate))) {
            looked += " (non esiste)";
            continue;
        }
        const Lookup found = ReadSection(candidate, alias, section);
        if (found == Lookup::Found) {
            file = candidate;
            break;
        }
        looked += found == Lookup::Unreadable ? " (illeggibile)" : " (senza la sezione)";
    }
    if (file.empty()) RaiseNotConfigured(alias, looked);
    const AnsiString where = " (file di configurazione '" + AnsiString(file) + "')";
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
