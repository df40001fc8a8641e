#include "platform/core/CommandLine.h"

#include <cstring>
#include <utility>

CommandLine::CommandLine(std::string program, std::string usage)
    : program_(std::move(program)), usage_(std::move(usage)) {
    if (!usage_.empty() && usage_.back() != '\n') usage_ += '\n';
}

CommandLine& CommandLine::Flag(const std::string& name) {
    options_[name] = false;
    return *this;
}

CommandLine& CommandLine::Value(const std::string& name) {
    options_[name] = true;
    return *this;
}

int CommandLine::Parse(int argc, char** argv, std::ostream& out, std::ostream& err) {
    given_.clear();
    arguments_.clear();
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            arguments_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            out << usage_;
            out.flush();
            return 0;
        }
        if (arg == "--version") {
            out << program_ << ' ' << QuorVersion() << '\n';
            out.flush();
            return 0;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto option = options_.find(name);
        if (option == options_.end()) return Refuse(err, "opzione sconosciuta: " + name);
        if (!option->second) {
            if (equals != std::string::npos) return Refuse(err, name + " non vuole un valore");
            given_[name];
        } else if (equals != std::string::npos) {
            given_[name] = arg.substr(equals + 1);
        } else if (i + 1 < argc) {
            given_[name] = argv[++i];
        } else {
            return Refuse(err, name + " vuole un valore");
        }
    }
    return -1;
}

std::string CommandLine::Get(const std::string& name, const std::string& fallback) const {
    const auto it = given_.find(name);
    return it == given_.end() ? fallback : it->second;
}

int CommandLine::Refuse(std::ostream& err, const std::string& message) const {
    err << program_ << ": " << message << '\n' << usage_;
    err.flush();
    return 2;
}

int CommandLine::Fail(std::ostream& err, const std::string& message) const {
    err << program_ << ": " << message << '\n';
    err.flush();
    return 1;
}

const char* QuorVersion() {
#ifdef QUOR_VERSION
    return QUOR_VERSION;
#else
    return "0.0.0";
#endif
}

bool HasExtension(const std::string& path, std::initializer_list<const char*> extensions) {
    for (const char* extension : extensions) {
        const std::size_t n = std::strlen(extension);
        if (path.size() <= n) continue;
        bool same = true;
        for (std::size_t i = 0; i < n && same; ++i) {
            char c = path[path.size() - n + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            same = c == extension[i];
        }
        // "dir/.png" names no file of its own.
        const char before = path[path.size() - n - 1];
        if (same && before != '/' && before != '\\') return true;
    }
    return false;
}
