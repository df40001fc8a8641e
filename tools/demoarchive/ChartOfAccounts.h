#pragma once
// The demo archive's chart of accounts: the table PianoConti, a hierarchy of
// a condominium's expense and income accounts over five levels, for the data
// tree view.
//
//   IdConto      INTEGER PRIMARY KEY AUTOINCREMENT   the key, never 0
//   Padre        INTEGER     the parent's IdConto, 0 at the top level
//   Descrizione  VARCHAR(60) the caption
//   Icona        INTEGER     icon number, 0 .. kChartIcons - 1 (ChartIcon)
//   Ordine       INTEGER     position among its siblings, from 1
//
// and the index idxPadre on (Padre, Ordine), in which order each level reads
// as it is shown. The content is the same on every run and every machine.

#include <string>

struct sqlite3;

namespace demoarchive {

// The icon numbers the chart uses.
enum ChartIcon {
    iconCategoria,    // a top-level group
    iconSottocategoria,
    iconSpesa,        // an expense account
    iconEntrata,      // an income account
    iconFondo,        // a reserve fund
    iconDettaglio,    // a detail under an account
    kChartIcons
};

// Creates PianoConti with its index in the open database and fills it.
// False with error when a statement fails; the caller owns the transaction.
bool WriteChartOfAccounts(sqlite3* db, std::string& error);

// Adds PianoConti to the archive file when it has no table of that name
// (an archive written before the chart existed); leaves it alone otherwise.
// False with error, and the file unchanged, when it cannot be done.
bool AddChartOfAccounts(const std::string& archive, std::string& error);

} // namespace demoarchive
