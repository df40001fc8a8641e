#pragma once
// Program settings read from the registry as text.

#include "platform/core/Registry.h"
#include "quorbase/clsString.h"

// The text of value name under key (relative to root), or a copy of def when
// the key or value is missing, is not text, or cannot be read. Never raises,
// never creates the key.
quorbase::clsString ReadRegString(const char* key, const char* name, const char* def, HKEY root);
