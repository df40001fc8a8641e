#pragma once
// Lookups that differ only by a constant ("... where id=7", "... where
// id=8") share one compiled statement when their constants become bound
// values. Only constants whose meaning cannot change are lifted.

#include "platform/data/DbValue.h"

#include <string>
#include <vector>

namespace dbengine {

struct LiftedStatement {
    // The text with each lifted constant replaced by "?".
    std::string Shape;
    // The constants in the order of their markers.
    std::vector<DbValue> Values;
};

// Lifts the integer and quoted text constants that directly follow a
// comparison operator (= == <> != < > <= >=) in the top-level WHERE clause
// of a SELECT. Nothing is lifted (false) from any other statement, from one
// that already has parameter markers, or when no constant qualifies.
// Constants in the result columns, in parentheses, in ORDER BY, GROUP BY,
// LIMIT or after a compound operator stay as written: there they name
// columns, or shape the result's column names.
bool LiftLiterals(const std::string& sql, LiftedStatement& out);

} // namespace dbengine
