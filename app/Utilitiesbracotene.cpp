#include "app/Utilitiesbracotene.h"

#include "platform/core/Registry.h"
#include "utilities/RegSettings.h"
#include "utilities/StringConversions.h"

AnsiString Archivi;
AnsiString Net;
AnsiString Priv;

quorbase::clsString ReadProductSetting(const char* name) {
    return ReadRegString(ProductSettingsKey, name, "", HKEY_CURRENT_USER);
}

void ReadProductSettings() {
    Archivi = ToAnsiString(ReadProductSetting("Archivi"));
    Net = ToAnsiString(ReadProductSetting("Net"));
    Priv = ToAnsiString(ReadProductSetting("Priv"));
}
