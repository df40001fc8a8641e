#pragma once
// Opening or closing in one pass the marked tables, queries and databases of
// a data module. SetDataBase lives with the query helpers (QueryHelpers.h).

#include "db/QueryHelpers.h"

class TDataModule;

// Handles every component of the module whose Tag has bit 0 set and whose
// class is exactly TTable, TQuery or TDatabase, in creation order. A component
// that fails asks the user whether to go on; No abandons the pass with a
// message naming the module. Never raises.
void OpenData(TDataModule* module, bool open);
