#include "tests/app/WindowsSettings.h"

#include "tests/platform/core/RegistrySandbox.h"
#include "tests/WindowsText.h"

#include <sstream>

namespace {

const wchar_t* const kProductKey = L"Software\\Quor\\Bracotene";

// The text between the quotes at text[at], unescaped; at moves past them.
bool Quoted(const std::string& text, std::size_t& at, std::string& out) {
    if (at >= text.size() || text[at] != '"') return false;
    out.clear();
    for (++at; at < text.size(); ++at) {
        if (text[at] == '"') {
            ++at;
            return true;
        }
        if (text[at] == '\\' && at + 1 < text.size()) ++at;
        out += text[at];
    }
    return false;
}

} // namespace

struct WindowsSettings::Sandbox {
    RegistrySandbox registry;
};

WindowsSettings::WindowsSettings() : sandbox_(std::make_unique<Sandbox>()) {}
WindowsSettings::~WindowsSettings() = default;

bool WindowsSettings::Ready() const {
    return sandbox_->registry.Ready();
}

bool WindowsSettings::Write(const std::string& body) {
    if (!Ready()) return false;
    // The current user's key is the sandbox's, for this process.
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
    if (!sandbox_->registry.CreateKey(kProductKey)) return false;
    std::istringstream lines(body);
    std::string line, name, value;
    while (std::getline(lines, line)) {
        std::size_t at = 0;
        if (line.empty()) continue;
        if (!Quoted(line, at, name) || at >= line.size() || line[at++] != '=' ||
            !Quoted(line, at, value))
            return false;
        if (!sandbox_->registry.SetText(kProductKey, Widen(name), Widen(value))) return false;
    }
    return true;
}
