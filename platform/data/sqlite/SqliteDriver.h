#pragma once
// The SQLite driver: one archive file per alias.

#include "platform/data/Driver.h"

#include <memory>

namespace dbengine {

std::unique_ptr<Driver> MakeSqliteDriver();

} // namespace dbengine
