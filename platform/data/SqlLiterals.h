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

// LiftLiterals for a caller that lifts one statement after another, as a
// lookup run once per row does: it keeps the last statement lifted, and a
// statement that differs from that one only in the digits of its integer
// constants is lifted by comparing the two texts instead of reading it again.
class LiteralLifter {
public:
    // As LiftLiterals. When sameShape comes back true, the statement has the
    // shape of the one lifted before it and out.Shape is left empty: the
    // caller still has that shape.
    bool Lift(const std::string& sql, LiftedStatement& out, bool& sameShape);
    // Whether the last statement lifted is kept to compare the next one
    // with, and its shape.
    bool Kept() const { return kept_; }
    const std::string& KeptShape() const { return shape_; }

private:
    struct Span {
        std::size_t Begin, End;
    };
    bool Relift(const std::string& sql, std::vector<DbValue>& values);

    bool kept_ = false;
    std::string sql_;
    std::string shape_;
    std::vector<Span> spans_; // the constants' places in sql_
    std::vector<Span> next_;  // the same in the statement being compared
};

} // namespace dbengine
