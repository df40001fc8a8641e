#pragma once
// A value as a database driver stores it: null, 64-bit integer, real or text.
// Text is Windows-1252 here; a driver converts at its own boundary.

#include <cstdint>
#include <string>
#include <variant>

namespace dbengine {

using DbValue = std::variant<std::monostate, std::int64_t, double, std::string>;

inline bool IsNull(const DbValue& v) {
    return v.index() == 0;
}

} // namespace dbengine
