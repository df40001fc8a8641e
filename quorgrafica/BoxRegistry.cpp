#include "quorgrafica/BoxRegistry.h"

#include "quorgrafica/BoxKinds.h"

#include <exception>

namespace quorgrafica {

using quorbase::clsCollection;
using quorbase::clsString;

clsCollection<clsBoxFunction>& BoxFunctions() {
    // Built on first use, so that a registration from another unit's
    // initialisation finds the table in place.
    static clsCollection<clsBoxFunction> functions(true);
    return functions;
}

void RegisterBoxFunction(const clsString& kindName, BoxFactory factory) {
    clsCollection<clsBoxFunction>& functions = BoxFunctions();
    if (functions.Find(kindName) >= 0) return;
    auto* record = new clsBoxFunction{factory};
    if (functions.Add(kindName, record) < 0) delete record;
}

clsBox* NewBox(clsGraf* graf, const clsString& kindName) {
    const clsBoxFunction* record = BoxFunctions().GetValue(kindName);
    if (!record || !record->Create) return nullptr;
    try {
        return record->Create(graf);
    } catch (...) {
        return nullptr;
    }
}

namespace {

template <class Kind> clsBox* Make(clsGraf* graf) {
    return new Kind(graf);
}

} // namespace

void RegisterBoxKinds() {
    RegisterBoxFunction("clsBoxRectangle", &Make<clsBoxRectangle>);
    RegisterBoxFunction("clsBoxGroup", &Make<clsBoxGroup>);
    RegisterBoxFunction("clsBoxLine", &Make<clsBoxLine>);
    RegisterBoxFunction("clsBoxPicture", &Make<clsBoxPicture>);
}

} // namespace quorgrafica
