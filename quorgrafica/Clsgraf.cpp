#include "quorgrafica/Clsgraf.h"

#include "quorgrafica/Arith.h"

#include <initializer_list>

namespace quorgrafica {

using quorbase::clsCollection;
using quorbase::clsCStrings;
using quorbase::clsString;
using quorbase::clsStrings;

clsGraf::clsGraf(clsBox* owner) : clsCollection<clsBox>(true), Owner(owner) {}

clsGraf::~clsGraf() {
    if (OnDestroy) OnDestroy(this);
    Clear(true);
}

void clsGraf::Clear(bool destroy) {
    Selected = nullptr;
    clsCollection<clsBox>::Clear(destroy);
}

clsBox* clsGraf::GetBox(const clsString& name) {
    return GetValue(Find(name));
}

clsBox* clsGraf::FindBoxAt(int x, int y) {
    for (int i = GetCount() - 1; i >= 0; --i) {
        clsBox* box = GetValue(i);
        if (!box || (box->Locked && !UnlockAll)) continue;
        if (box->HitTest(x, y)) return box;
    }
    return nullptr;
}

void clsGraf::RemoveBox(const clsString& name) {
    const int index = Find(name);
    clsBox* target = GetValue(index);
    if (!target) return;
    for (int i = 0; i < GetCount(); ++i) {
        clsBox* box = GetValue(i);
        if (!box) continue;
        for (clsBoxList* list : {&box->LinksOut, &box->LinksIn}) {
            for (int j = list->GetCount() - 1; j >= 0; --j) {
                if (list->GetValue(j) == target) list->RemoveAt(j, true, true);
            }
        }
    }
    if (Selected == target) Selected = nullptr;
    RemoveAt(index, true, false);
}

void clsGraf::SetPage(int width, int height, int columns, int rows) {
    PageWidth = width;
    PageHeight = height;
    Columns = columns > 0 ? columns : width / 10;
    Rows = rows > 0 ? rows : height / 10;
}

namespace {

// a * b / c in 32-bit terms; a zero divisor gives 0.
int MulThenDiv(int a, int b, int c) {
    if (c == 0) return 0;
    return detail::Wrap32(static_cast<std::int64_t>(a) * b / c);
}

} // namespace

int clsGraf::X2Chars(int x) const {
    return MulThenDiv(x, Columns, PageWidth);
}
int clsGraf::Y2Chars(int y) const {
    return MulThenDiv(y, Rows, PageHeight);
}

int clsGraf::Chars2X(int column) const {
    return Columns == 0 ? 0 : detail::Wrap32(MulThenDiv(column, PageWidth, Columns) + 1LL);
}

int clsGraf::Chars2Y(int row) const {
    return Rows == 0 ? 0 : detail::Wrap32(MulThenDiv(row, PageHeight, Rows) + 1LL);
}

int clsGraf::AlignX(int x) const {
    return GridAlign && Columns != 0 ? Chars2X(X2Chars(x)) : x;
}

int clsGraf::AlignY(int y) const {
    return GridAlign && Columns != 0 && Rows != 0 ? Chars2Y(Y2Chars(y)) : y;
}

int clsGraf::MaxRight() {
    int most = 0;
    for (int i = 0; i < GetCount(); ++i) {
        const clsBox* box = GetValue(i);
        if (box && box->Frame.Right > most) most = box->Frame.Right;
    }
    return most;
}

int clsGraf::MaxBottom() {
    int most = 0;
    for (int i = 0; i < GetCount(); ++i) {
        const clsBox* box = GetValue(i);
        if (box && box->Frame.Bottom > most) most = box->Frame.Bottom;
    }
    return most;
}

bool clsGraf::Compute(const clsString& name, bool backwards, bool reset) {
    clsBox* box = GetBox(name);
    return box ? box->Compute(nullptr, backwards, reset) : false;
}

int clsGraf::GetNames(const clsString& kindName, clsCStrings& list) {
    for (int i = 0; i < GetCount(); ++i) {
        const clsBox* box = GetValue(i);
        if (box && kindName.Equals(box->TypeName())) quorbase::Add(list, box->Name);
    }
    return list.GetCount();
}

int clsGraf::GetScripts(const clsString& kindName, clsCollection<clsStrings>& scripts) {
    for (int i = 0; i < GetCount(); ++i) {
        const clsBox* box = GetValue(i);
        if (!box || !kindName.Equals(box->TypeName())) continue;
        auto* copy = new clsStrings;
        for (int j = 0; j < box->Script.GetCount(); ++j) {
            const auto* node = box->Script.GetNode(j);
            if (node) copy->AddPair(node->GetKey(), box->Script.GetValueText(j));
        }
        // A non-owning collection leaves the new list to the caller.
        if (scripts.Add(box->Name, copy) < 0) delete copy;
    }
    return scripts.GetCount();
}

} // namespace quorgrafica
