#pragma once
// The database utilities: free functions over the platform's datasets.

#include "db/Counters.h"
#include "db/DateFields.h"
#include "db/EngineDirs.h"
#include "db/FieldHelpers.h"
#include "db/GridLayouts.h"
#include "db/NavigatorHelpers.h"
#include "db/OpenArchives.h"
#include "db/QueryHelpers.h"
#include "db/RecordHelpers.h"
#include "db/SchemaChanges.h"
