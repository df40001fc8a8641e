#pragma once
// Copies every table of one alias's archive into another's: the declared
// types, the keys, the indexes and the rows, in one transaction on the
// target. It is how an archive moves from a SQLite file to a server (or
// back). Names and texts are Windows-1252, as everywhere in the library.

#include <cstdint>
#include <functional>
#include <string>

namespace archivecopy {

struct Options {
    // Tables of the same names already in the target are dropped first;
    // without it the copy refuses to start.
    bool replace = false;
};

// Told how far a large table has come.
using Progress =
    std::function<void(const std::string& table, std::int64_t done, std::int64_t total)>;

// Tables at least this large report their progress.
inline constexpr std::int64_t kProgressRows = 10000;

struct Result {
    int tables = 0;
    std::int64_t rows = 0;
};

// Raises EDatabaseError with a message in Italian naming the alias, the
// table or the statement; the target is then as it was.
Result CopyArchive(const std::string& fromAlias, const std::string& toAlias, const Options& options,
                   const Progress& progress = Progress());

} // namespace archivecopy
