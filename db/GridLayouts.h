#pragma once
// Column layouts of data grids as text: per grid its name and a tab, then
// Field=Width entries in column order. The text is the caller's to keep.

#include "quorbase/clsString.h"

class TDBGrid;
class TForm;
namespace quorbase {
class clsStrings;
}

// The grid's name followed by a tab, then one Field=Width value per column.
bool SaveGridColumns(const TDBGrid* grid, quorbase::clsStrings& list);
// Puts the columns named by Field=Width values first, in the list's order,
// with their widths; entries without a positive width or naming a field the
// grid does not show are skipped. The grid changes although it is const.
bool LoadGridColumns(const TDBGrid* grid, quorbase::clsStrings& list);
// One line per grid of the form: the saved values joined with tabs, then a
// line feed. The empty text on any error.
quorbase::clsString StringFormGrids(TForm* form);
// Applies to each grid of the form the line whose first piece is the grid's
// name, compared without regard to case.
bool LoadFormGrids(TForm* form, quorbase::clsString layout);
