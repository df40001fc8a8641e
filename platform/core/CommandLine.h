#pragma once
// The command-line conventions every executable of the product follows:
// "--help" prints the usage on standard output and exits 0, "--version" prints
// "program VERSION" the same way; an unknown option,
// a missing value or a wrong argument prints the usage on standard error and
// exits 2; an error while working prints "program: message" and exits 1.

#include <initializer_list>
#include <map>
#include <ostream>
#include <string>
#include <vector>

class CommandLine {
public:
    // usage: the whole help text, starting with the "Uso: ..." line.
    CommandLine(std::string program, std::string usage);

    // An option without a value ("--grid").
    CommandLine& Flag(const std::string& name);
    // An option with a value, given as "--name VALUE" or "--name=VALUE".
    CommandLine& Value(const std::string& name);

    // Returns -1 when the program should go on; otherwise the exit status
    // (0 after --help or --version, 2 on a refused command line), with the usage printed.
    // "--" ends the options; "-" alone is an argument.
    int Parse(int argc, char** argv, std::ostream& out, std::ostream& err);

    bool Has(const std::string& name) const { return given_.count(name) != 0; }
    // The value of an option, or fallback when it was not given.
    std::string Get(const std::string& name, const std::string& fallback = {}) const;
    const std::vector<std::string>& Arguments() const { return arguments_; }

    // Prints "program: message" and the usage on err; returns 2.
    int Refuse(std::ostream& err, const std::string& message) const;
    // Prints "program: message" on err; returns 1.
    int Fail(std::ostream& err, const std::string& message) const;

    const std::string& Program() const { return program_; }
    const std::string& Usage() const { return usage_; }

private:
    std::string program_;
    std::string usage_;
    std::map<std::string, bool> options_; // name -> takes a value
    std::map<std::string, std::string> given_;
    std::vector<std::string> arguments_;
};

// The product's version, one for every program and library ("1.0.0").
const char* QuorVersion();

// True when path ends in one of the extensions (".png"), whatever the case.
bool HasExtension(const std::string& path, std::initializer_list<const char*> extensions);
