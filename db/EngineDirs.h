#pragma once
// The engine's two working folders of a session: the network folder shared
// by every program that uses the archives, and the session's private folder.

#include "platform/core/AnsiString.h"

class TSession;

// Creates the folders (empty means "Priv" and "Net" under the program's
// folder) and hands them to the session in their network form. A folder that
// cannot be created leaves the session as it was and still gives true; false
// only when the session refuses a folder.
bool CreaBdeDir(TSession* session, AnsiString netDir, AnsiString privateDir);
// Proposes the archives, network and private folders under the program's
// folder and lets the user change them; true when none of the three is empty.
// Nothing is created or stored.
bool ChiediBdeDir(AnsiString& archiveDir, AnsiString& netDir, AnsiString& privateDir);
