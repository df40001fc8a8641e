#pragma once
// The process-wide table of box kinds: the text reader turns a stored kind
// name back into a box of the right class through it.

#include "quorbase/clsCollection.h"
#include "quorbase/clsString.h"

namespace quorgrafica {

class clsBox;
class clsGraf;

using BoxFactory = clsBox* (*)(clsGraf* ownerGraf);

struct clsBoxFunction {
    BoxFactory Create = nullptr;
};

// Owning, keyed by kind name (case-insensitive); lives for the whole run.
quorbase::clsCollection<clsBoxFunction>& BoxFunctions();

// Adds the kind unless its name is present: the first factory stays.
void RegisterBoxFunction(const quorbase::clsString& kindName, BoxFactory factory);
// A new box of the kind for graf, or null for an unknown kind or a factory
// that fails. The box is not added to graf.
clsBox* NewBox(clsGraf* graf, const quorbase::clsString& kindName);
// Registers clsBoxRectangle, clsBoxGroup, clsBoxLine and clsBoxPicture.
void RegisterBoxKinds();

} // namespace quorgrafica
