#pragma once
// The PostgreSQL driver: an archive is a database (or a schema of one) on a
// server, reached with a libpq connection string. Locks go through the
// server, so that programs on every computer see them.

#include "platform/data/Driver.h"

#include <memory>

namespace dbengine {

std::unique_ptr<Driver> MakePgDriver();

} // namespace dbengine
