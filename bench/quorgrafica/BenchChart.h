#pragma once
// The chart the flowchart benchmarks share: 5,000 boxes (or as many as asked), every tenth box a
// line, and with links 5,000 of them. Two layouts: spread out in rows of 100
// cells of 50 x 40 pixels (a page of 5,000 x 2,000, as real charts are), or
// packed in rows of 80 cells of 16 x 12 pixels, so that every box lies inside
// a 1,280 x 800 component.

#include "quorgrafica/Clsgraf.h"

#include <string>

namespace benchchart {

constexpr int BoxCount = 5000;

struct Layout {
    int perRow;
    int cellWidth;
    int cellHeight;
    // The box's offset inside its cell and its size.
    int inset;
    int boxWidth;
    int boxHeight;
};

constexpr Layout Spread{100, 50, 40, 5, 38, 26};
constexpr Layout InView{80, 16, 12, 1, 14, 10};

inline void FillChart(quorgrafica::clsGraf& graf, bool links, const Layout& layout = Spread,
                      int count = BoxCount) {
    using namespace quorgrafica;
    RegisterBoxKinds();
    const int rows = (count + layout.perRow - 1) / layout.perRow;
    graf.SetPage(layout.perRow * layout.cellWidth, rows * layout.cellHeight, 0, 0);
    for (int i = 0; i < count; ++i) {
        clsBox* box = NewBox(&graf, i % 10 == 9 ? "clsBoxLine" : "clsBoxRectangle");
        box->Name = ("Box" + std::to_string(i)).c_str();
        box->Text = "Passo";
        const int x = (i % layout.perRow) * layout.cellWidth + layout.inset;
        const int y = (i / layout.perRow) * layout.cellHeight + layout.inset;
        box->Frame = TRect{x, y, x + layout.boxWidth, y + layout.boxHeight};
        box->Script.AddText("x = 1");
        graf.Add(box->Name, box);
    }
    if (links) {
        // Every box links once to a neighbour, as flowcharts do: mostly the
        // next box, every seventh box the one below, the last ones back to
        // the start; most links name a box that stands later in the text.
        for (int i = 0; i < count; ++i) {
            const int next = i % 7 == 6 ? i + layout.perRow : i + 1;
            graf.GetValue(i)->AddLink(graf.GetValue(next < count ? next : i % layout.perRow));
        }
    }
}

} // namespace benchchart
