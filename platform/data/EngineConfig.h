#pragma once
// The engine's configuration file: one INI section per alias, e.g.
//   [Bracotene]
//   Driver=SQLITE
//   Path=Archivi/Bracotene.db
// or, for an archive on a PostgreSQL server,
//   [Bracotene]
//   Driver=POSTGRES
//   Connection=host=server dbname=bracotene user=anna
// A relative Path is relative to the file's folder. The file is the one named
// by QUOR_ENGINE_CONFIG, else ~/.config/Quor/engine.ini.

#include "platform/data/Driver.h"

#include <string>

namespace dbengine {

std::string EngineConfigPath();

// The connection parameters of an alias; EDatabaseError naming the alias and
// the configuration file when the alias is not configured, its driver is
// unknown, or (for a file engine, unless the file may be new) its file does
// not exist.
ConnectParams ResolveAlias(const std::string& alias, bool fileMayBeNew = false);

} // namespace dbengine
