#pragma once
// The chart the flowchart benchmarks share: 5,000 boxes in rows of 100 cells
// of 50 x 40 pixels (a page of 5,000 x 2,000), every tenth box a line, and
// with links 5,000 of them.

#include "quorgrafica/Clsgraf.h"

#include <string>

namespace benchchart {

constexpr int BoxCount = 5000;
constexpr int PerRow = 100;
constexpr int CellWidth = 50;
constexpr int CellHeight = 40;

inline void FillChart(quorgrafica::clsGraf& graf, bool links) {
    using namespace quorgrafica;
    RegisterBoxKinds();
    graf.SetPage(PerRow * CellWidth, (BoxCount / PerRow) * CellHeight, 0, 0);
    for (int i = 0; i < BoxCount; ++i) {
        clsBox* box = NewBox(&graf, i % 10 == 9 ? "clsBoxLine" : "clsBoxRectangle");
        box->Name = ("Box" + std::to_string(i)).c_str();
        box->Text = "Passo";
        const int x = (i % PerRow) * CellWidth + 5, y = (i / PerRow) * CellHeight + 5;
        box->Frame = TRect{x, y, x + CellWidth - 12, y + CellHeight - 14};
        box->Script.AddText("x = 1");
        graf.Add(box->Name, box);
    }
    if (links) {
        // Every box links once to a neighbour, as flowcharts do: mostly the
        // next box, every seventh box the one below, the last ones back to
        // the start; most links name a box that stands later in the text.
        for (int i = 0; i < BoxCount; ++i) {
            const int next = i % 7 == 6 ? i + PerRow : i + 1;
            graf.GetValue(i)->AddLink(graf.GetValue(next < BoxCount ? next : i % PerRow));
        }
    }
}

} // namespace benchchart
