#pragma once
// clsBox: one element of a flowchart page. The kinds (rectangle, line, group,
// picture) are in BoxKinds.h; the graph that owns the boxes is in Clsgraf.h.

#include "platform/core/Types.h"
#include "quorbase/clsCollection.h"
#include "quorbase/clsConfig.h"
#include "quorbase/clsString.h"

class TCanvas;

namespace quorgrafica {

class clsGraf;
class clsBox;

// Boxes a box links to or is linked from, keyed by their names; never owning.
using clsBoxList = quorbase::clsCollection<clsBox>;

class clsBox {
public:
    explicit clsBox(clsGraf* ownerGraf);
    clsBox(const clsBox&) = delete;
    clsBox& operator=(const clsBox&) = delete;

    // Called by the reader for every key it does not know itself; index is
    // the line being read and may be moved past lines the kind consumes.
    virtual bool ReadKey(const quorbase::clsConfig& block, const quorbase::clsString& key,
                         int& index, const quorbase::clsString& value);
    // The kind's own step, run once every dependency has succeeded.
    virtual bool Execute(clsBox* caller, bool backwards);
    // Run instead of Execute by a reset walk.
    virtual void Reset();
    virtual ~clsBox();
    // Computes the dependencies (LinksOut, or LinksIn walking backwards),
    // then the box itself; ComputeState records the outcome.
    virtual bool Compute(clsBox* caller, bool backwards, bool reset);
    // The base kind draws only the state flag.
    virtual void Paint(TCanvas* canvas, bool selected, bool showName, bool showText,
                       bool drawFlags);
    virtual bool HitTest(int x, int y);
    // Appends the box's setting lines (without the braces around them).
    virtual void DataTo(quorbase::clsConfig& lines);
    // Reads the setting lines of one box block.
    virtual void DataFrom(const quorbase::clsConfig& block);
    virtual const char* TypeName() const = 0;

    // width / height 0 keep the size, a negative value keeps the far edge.
    void SetFrame(int left, int top, int width, int height);
    void AddLink(clsBox* target);
    // Removes every record of a link between this box and target, in both
    // directions, from both boxes' lists.
    void RemoveLink(clsBox* target);

    void ApplyFont(TCanvas* canvas);
    void DrawState(TCanvas* canvas);
    void DrawLinks(TCanvas* canvas, clsGraf* graf);

    clsBoxList LinksOut;
    clsBoxList LinksIn;
    // Link names read from text, each followed by ','.
    quorbase::clsString PendingLinks;
    // 0 not computed, 1 computing, 2 succeeded, 3 failed.
    int ComputeState = 0;
    bool Locked = false;
    clsGraf* OwnerGraf;
    int LinkSize = 3;
    TColor LinkLineColor = 0xFF0000;
    TColor LinkSrcColor = 0x0000FF;
    TColor LinkDstColor = 0xFF0000;
    int ShadowWidth = 3;
    quorbase::clsString Name;
    quorbase::clsString Text;
    quorbase::clsStrings Script;
    quorbase::clsStrings Variables;
    TColor FontColor = 0;
    quorbase::clsString FontName;
    int FontSize = 10;
    TColor FillColor = 0xFFFF00;
    TColor ShadowColor = 0x808080;
    TRect Frame{0, 0, 1, 1};
};

} // namespace quorgrafica
