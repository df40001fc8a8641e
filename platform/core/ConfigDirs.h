#pragma once
// Where the product's configuration files live. An office's administrator
// writes the system-wide folder once for every user; each user's own folder
// is read first, so its settings take precedence. Paths are in the file
// system's encoding (UTF-8), without a trailing separator.

#include <string>

// $XDG_CONFIG_HOME/Quor, else ~/.config/Quor (Windows: %APPDATA%\Quor).
std::string UserConfigDir();

// /etc/quor (Windows: %ProgramData%\Quor). QUOR_SYSTEM_CONFIG_DIR names
// another folder: it is meant for tests that run an unpacked package, never
// for an installed system.
std::string SystemConfigDir();
