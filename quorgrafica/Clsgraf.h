#pragma once
// clsGraf: the boxes of one flowchart page, in drawing order, keyed by name.
// A group box owns a nested clsGraf, so a chart is a tree of graphs.

#include "platform/core/Types.h"
#include "quorbase/clsCollection.h"
#include "quorbase/clsConfig.h"
#include "quorbase/clsString.h"
#include "quorgrafica/BoxKinds.h"
#include "quorgrafica/BoxRegistry.h"
#include "quorgrafica/Clsbox.h"
#include "quorgrafica/clsFormula.h"

#include <functional>

class TCanvas;

namespace quorgrafica {

namespace detail {
class BlockTable;
}

// Groups nested deeper than this are read with an empty nested graph, so
// that no input can exhaust the stack.
constexpr int MaxReadNesting = 2000;

class clsGraf : public quorbase::clsCollection<clsBox> {
public:
    // owner: the group box whose nested graph this is, null for a root.
    explicit clsGraf(clsBox* owner = nullptr);
    virtual ~clsGraf();
    clsGraf(const clsGraf&) = delete;
    clsGraf& operator=(const clsGraf&) = delete;

    // Deletes every box and clears the selection; Owner stays. (Add of the
    // collection appends a box under its name, and the graph owns it.)
    void Clear(bool destroy = true) override;

    // The first box whose name equals name, ignoring case; null when none.
    clsBox* GetBox(const quorbase::clsString& name);
    // The topmost box hit by the point; locked boxes only with UnlockAll.
    clsBox* FindBoxAt(int x, int y);
    // Deletes the first box of that name after removing every link to it.
    void RemoveBox(const quorbase::clsString& name);
    clsBox* BoxAt(int index) { return GetValue(index); }

    void SetPage(int width, int height, int columns, int rows);
    int X2Chars(int x) const;
    int Y2Chars(int y) const;
    int Chars2X(int column) const;
    int Chars2Y(int row) const;
    int AlignX(int x) const;
    int AlignY(int y) const;
    int MaxRight();
    int MaxBottom();

    // Appends the graph block, nested graphs included.
    void DataTo(quorbase::clsConfig& lines);
    // Replaces the boxes by those the lines describe; never fails.
    void DataFrom(const quorbase::clsConfig& lines);

    void Draw(TCanvas* canvas, bool erase, bool showName, bool showText, bool drawFlags);

    bool Compute(const quorbase::clsString& name, bool backwards, bool reset);
    int GetNames(const quorbase::clsString& kindName, quorbase::clsCStrings& list);
    int GetScripts(const quorbase::clsString& kindName,
                   quorbase::clsCollection<quorbase::clsStrings>& scripts);

    quorbase::clsFormula Formula;
    clsBox* Owner;
    clsBox* Selected = nullptr;
    TColor GridColor = 0xC0C0C0;
    bool GridShow = false;
    bool GridAlign = true;
    int Columns = 97;
    int Rows = 66;
    int PageWidth = 2100;
    int PageHeight = 2970;
    quorbase::clsString Name;
    quorbase::clsString Title;
    bool UnlockAll = false;
    // Called by the destructor before the boxes go: the component showing
    // the graph lets go of it.
    std::function<void(clsGraf*)> OnDestroy;

private:
    friend class clsBoxGroup;
    // Reads the lines [begin, end) of the table's configuration.
    void ReadLines(const detail::BlockTable& table, int begin, int end);
    void ResolvePendingLinks();
};

} // namespace quorgrafica
