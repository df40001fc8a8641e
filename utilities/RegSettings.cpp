#include "utilities/RegSettings.h"

#include "utilities/StringConversions.h"

quorbase::clsString ReadRegString(const char* key, const char* name, const char* def, HKEY root) {
    quorbase::clsString result;
    try {
        TRegistry registry;
        registry.SetRootKey(root);
        if (key && name && registry.OpenKey(key, false) && registry.ValueExists(name))
            result = ToClsString(registry.ReadString(name));
        else
            result = def;
    } catch (...) {
        result = def;
    }
    return result;
}
