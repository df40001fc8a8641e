#pragma once
// The program's entry: the window over the product's archive, or with
// --export the current-account text of one condominium on standard output.

#include <iosfwd>
#include <optional>
#include <string>

struct BracUtilOptions {
    bool exportText = false;
    std::optional<int> condominio; // IdCondominio; none: the first by name
    std::string screenshot;        // grab the shown window into this PNG, then quit
};

// Reads the command line with the conventions of the product's programs.
// Returns -1 to go on; else the exit status, after the usage on out (--help,
// 0) or a message and the usage on err (a refused command line, 2).
int ParseBracUtilOptions(int argc, char** argv, BracUtilOptions& options, std::ostream& out,
                         std::ostream& err);

// Opens the archive as the program does, without a window, and writes the
// export of the condominium to out as UTF-8, followed by a line break when
// out is a terminal. Returns 0; or 1 after a message on err, with nothing on
// out, when the archive, the condominium or its movements cannot be read.
int ExportContoCorrente(const std::optional<int>& condominio, std::ostream& out, std::ostream& err,
                        bool toTerminal = false);

class TGuiApplication;

// The windowed program on an application already initialised: reads the
// product settings, creates the main window and then the data module, and
// runs the message loop. When the module cannot be created the error is
// shown and the window never appears. Returns the exit code, 0.
int RunBracUtilWindow(TGuiApplication& application, const BracUtilOptions& options);

// The whole program; the result is the process's exit code.
int BracUtilMain(int argc, char** argv);
