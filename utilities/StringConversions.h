#pragma once
// Between the library's clsString and the platform's AnsiString.

#include "platform/core/AnsiString.h"
#include "quorbase/clsString.h"

// An empty text gives the clsString without buffer.
quorbase::clsString ToClsString(const AnsiString& text);
// The characters up to the terminator; a clsString without buffer gives the empty text.
AnsiString ToAnsiString(const quorbase::clsString& text);
