#pragma once
// The graphics utilities: frames and grids, units, tiling and text layout.

#include "graphics/DesignGrid.h"
#include "graphics/Frames.h"
#include "graphics/StyleBits.h"
#include "graphics/TextFit.h"
#include "graphics/TextLayout.h"
#include "graphics/Tiling.h"
#include "graphics/Units.h"
