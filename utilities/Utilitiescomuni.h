#pragma once
// The common utilities: date and amount formats, registry settings, text
// pieces, the program folder and the common question box.

#include "utilities/AppServices.h"
#include "utilities/DateFormats.h"
#include "utilities/RegSettings.h"
#include "utilities/StringConversions.h"
#include "utilities/TextPieces.h"
