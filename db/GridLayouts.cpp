#include "db/GridLayouts.h"

#include "platform/core/AnsiString.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/Form.h"
#include "quorbase/clsCollection.h"
#include "utilities/TextPieces.h"

#include <climits>

using quorbase::clsString;
using quorbase::clsStrings;

namespace {

AnsiString ToAnsi(const clsString& text) {
    return AnsiString(text.CStr(), text.Length());
}

// The integer at the start of text; 0 when it does not start with one.
int LeadingInt(const char* text) {
    if (!text) return 0;
    int sign = 1;
    if (*text == '-' || *text == '+') {
        sign = *text == '-' ? -1 : 1;
        ++text;
    }
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT_MAX) return sign > 0 ? INT_MAX : INT_MIN;
    }
    return static_cast<int>(sign * value);
}

TColumn* ColumnShowing(TDBGridColumns& columns, const AnsiString& fieldName) {
    for (int i = 0; i < columns.Count(); ++i) {
        TColumn* column = columns.Items(i);
        if (column && column->FieldName() == fieldName) return column;
    }
    return nullptr;
}

TDBGrid* AsGrid(TComponent* component) {
    return dynamic_cast<TDBGrid*>(component);
}

} // namespace

bool SaveGridColumns(const TDBGrid* grid, clsStrings& list) {
    try {
        list.Clear(true);
        if (!grid) return false;
        auto* target = const_cast<TDBGrid*>(grid);
        list.AddString(clsString((target->Name() + "\t").c_str()));
        TDBGridColumns& columns = target->Columns();
        for (int i = 0; i < columns.Count(); ++i) {
            TColumn* column = columns.Items(i);
            list.AddText((column->FieldName() + "=" + IntToStr(column->Width())).c_str());
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool LoadGridColumns(const TDBGrid* grid, clsStrings& list) {
    if (!grid) return false;
    try {
        auto* target = const_cast<TDBGrid*>(grid);
        TDBGridColumns& columns = target->Columns();
        int next = 0;
        for (int i = 0; i < list.GetCount(); ++i) {
            const clsString* value = list.GetValue(i);
            const AnsiString entry = value ? ToAnsi(*value) : AnsiString();
            const int equals = entry.Pos("=");
            const AnsiString fieldName = equals > 0 ? entry.SubString(1, equals - 1) : entry;
            const int width = equals > 0 ? LeadingInt(entry.c_str() + equals) : 0;
            if (width <= 0) continue;
            if (TColumn* column = ColumnShowing(columns, fieldName)) {
                column->SetWidth(width);
                column->SetIndex(next);
                ++next;
            }
        }
        return true;
    } catch (...) {
        return false;
    }
}

clsString StringFormGrids(TForm* form) {
    if (!form) return clsString();
    try {
        clsString text;
        clsStrings list;
        for (int i = 0; i < form->ComponentCount(); ++i) {
            TDBGrid* grid = AsGrid(form->Components(i));
            if (!grid) continue;
            SaveGridColumns(grid, list);
            text.Append(list.JoinValues("\t", true));
            text.Append("\n");
        }
        return text;
    } catch (...) {
        return clsString();
    }
}

bool LoadFormGrids(TForm* form, clsString layout) {
    if (!form) return false;
    try {
        clsStrings lines;
        lines.Split(layout, '\n', 0, false, false);
        // The same lines keyed by their first piece, the grid's name.
        clsStrings keyed;
        for (int i = 0; i < lines.GetCount(); ++i) {
            const clsString line = lines.GetValueText(i);
            const AnsiString key = FirstPiece(ToAnsi(line), '\t');
            keyed.AddPair(clsString(key.c_str()), line);
        }
        for (int i = 0; i < form->ComponentCount(); ++i) {
            TDBGrid* grid = AsGrid(form->Components(i));
            if (!grid) continue;
            const clsString line = keyed.GetValueText(keyed.Find(clsString(grid->Name().c_str())));
            clsStrings pieces;
            pieces.Split(line, '\t', 1, false, false);
            LoadGridColumns(grid, pieces);
        }
        return true;
    } catch (...) {
        return false;
    }
}
