#pragma once
// Writes a demo archive of the product: a SQLite file with the tables
// Condomini, MovConti and Causali filled with made-up but plausible data,
// the chart of accounts PianoConti (ChartOfAccounts.h) for the tree view,
// and the engine configuration that names it as the alias "Bracotene".
// The content depends only on the options: the same options give the same
// archive on every run and every machine.

#include <string>

namespace demoarchive {

struct Options {
    // Movements of condominium 1, the busiest one. The other condominiums
    // get a few dozen each, one of them none at all.
    int movements = 1200;
};

// What the generator wrote, as absolute paths.
struct Result {
    std::string archive;      // <folder>/Archivi/Bracotene.db
    std::string engineConfig; // <folder>/engine.ini
    int condominiums = 0;
    int movements = 0; // over all condominiums
    int accounts = 0;  // records of PianoConti
};

// Creates folder (and its missing parents) and writes the archive and the
// engine configuration into it, replacing an archive already there.
// Returns false and fills error when something cannot be written.
bool MakeDemoArchive(const std::string& folder, const Options& options, Result& result,
                     std::string& error);

} // namespace demoarchive
