#pragma once
// The engine's configuration file: one INI section per alias, e.g.
//   [Bracotene]
//   Driver=SQLITE
//   Path=Archivi/Bracotene.db
// or, for an archive on a PostgreSQL server,
//   [Bracotene]
//   Driver=POSTGRES
//   Connection=host=server dbname=bracotene user=anna
// A relative Path is relative to the folder of the file that holds it.
// QUOR_ENGINE_CONFIG names the one file read; otherwise the user's engine.ini
// and then the system-wide one (ConfigDirs.h) are read, and the first that
// has the alias gives it whole.

#include "platform/data/Driver.h"

#include <string>
#include <vector>

namespace dbengine {

// The files read for an alias, in their order (Windows-1252).
std::vector<std::string> EngineConfigFiles();
// The first of them: the file named by QUOR_ENGINE_CONFIG, or the user's.
std::string EngineConfigPath();

// The connection parameters of an alias; EDatabaseError naming the alias and
// the configuration file(s) when the alias is not configured, its driver is
// unknown, or (for a file engine, unless the file may be new) its file does
// not exist.
ConnectParams ResolveAlias(const std::string& alias, bool fileMayBeNew = false);

} // namespace dbengine
