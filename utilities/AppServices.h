#pragma once
// The program's folder, the common question box and a file test.

#include "platform/core/AnsiString.h"

// The running program's folder, ending with the path delimiter.
AnsiString AppPath();
// The application's message box: an empty caption shows the title, and
// secondDefault makes the second button the default. Returns the button code.
int AskUser(const AnsiString& message, bool secondDefault, int flags, const AnsiString& caption);
// True when path opens for reading as a file (a folder does not).
bool FileExists(const char* path);
