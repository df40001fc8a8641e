#pragma once
// The product's own globals and settings: the three folders of an
// installation, kept as the product's registry key holds them.

#include "platform/core/AnsiString.h"
#include "quorbase/clsString.h"

// Empty until the settings are read; nothing writes them back.
extern AnsiString Archivi;
extern AnsiString Net;
extern AnsiString Priv;

// The product's key, under the current user.
inline constexpr const char* ProductSettingsKey = "\\Software\\Quor\\Bracotene";

// The text of the named value of the product's key, or the empty string when
// the key, the value or a text in it is missing.
quorbase::clsString ReadProductSetting(const char* name);

// Fills Archivi, Net and Priv, in this order, from the product's settings.
void ReadProductSettings();
