#pragma once
// TColor at the toolkit's boundary.

#include "platform/core/Types.h"

#include <QColor>

// System colours (high byte 0xFF) come from the resolver; clNone and
// clDefault have no colour of their own and read as black.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
// The plain RGB value of a colour, resolving system colours.
TColor ColorToRGB(TColor color);

// The GUI layer installs a resolver that answers from its palette; null
// restores the built-in Windows defaults.
using SystemColorResolver = TColor (*)(TColor systemColor);
void SetSystemColorResolver(SystemColorResolver resolver);
