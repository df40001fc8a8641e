#pragma once
// PostgreSQL's types as the engine sees them: the declared type a column of
// the server's type stands for, and values to and from the server's text.

#include "platform/data/DbValue.h"

#include <string>

namespace dbengine::pg {

// How a value of a server type is read.
enum class ValueKind { Integer, Real, Exact, Boolean, Text, Bytes, ZonedTime };

ValueKind KindOfType(unsigned typeOid);
// The family of a server type, as DeclFamily gives it for a declared type.
char FamilyOfType(unsigned typeOid);
// The declared type a value of the server's type stands for. A computed
// value (no table column behind it) reads as SQLite types one: an integer,
// a short text.
std::string DeclTypeOfType(unsigned typeOid, int typeModifier, bool computed);

// A value from the server's text form (text arrives in UTF-8).
DbValue ValueFromText(ValueKind kind, const char* text, int length);
// A parameter in the server's text form; false for null.
bool ValueToText(const DbValue& value, std::string& text);

} // namespace dbengine::pg
