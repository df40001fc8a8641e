#pragma once
// Where the boxes of a graph lie on the page, so that painting a part of it
// and finding the box under a point look only at the boxes near there: a
// grid of square cells, each listing the boxes (and the boxes whose links)
// it meets. The answers are the graph's own: a box is listed wherever it
// can paint or be hit, and boxes of kinds defined elsewhere, which may
// paint or be hit anywhere, are listed everywhere.
//
// The index does not watch the graph: whoever changes a frame calls Moved,
// and a graph changed otherwise gets a new Build.

#include "platform/core/Types.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace quorgrafica {

class clsBox;
class clsGraf;

class ChartIndex {
public:
    // Indexes the boxes of graf; fontPixels bounds the text height of any box.
    void Build(const clsGraf& graf, int fontPixels);
    // Whether the index still answers for graf (built for it, as many boxes,
    // not dropped since).
    bool Fresh(const clsGraf& graf) const;
    void Drop() { graf_ = nullptr; }

    // The box's frame has changed: it, its links and the links to it move.
    void Moved(const clsBox* box);

    // The positions of the boxes whose painting may reach area, ascending.
    std::vector<int> BoxesMeeting(const TRect& area) const;
    // The positions of the boxes with an outgoing link that may reach area.
    std::vector<int> LinkSourcesMeeting(const TRect& area) const;
    // The graph's FindBoxAt, answered from the boxes listed at the point.
    clsBox* FindBoxAt(const clsGraf& graf, int x, int y) const;
    // Smallest rectangle holding every box's frame; empty without boxes.
    TRect Frames() const { return frames_; }
    // Frames() measured again, after boxes have moved away from its edges.
    void RecountFrames();
    int Count() const { return static_cast<int>(boxArea_.size()); }
    // Copies of what a sketch of box i needs, side by side in memory: its
    // frame, fill, whether it is a line, and its links (positions of the
    // targets, the marker size and the line colour).
    const TRect& FrameOf(int i) const { return frame_[i]; }
    TColor FillOf(int i) const { return fill_[i]; }
    bool IsLine(int i) const { return line_[i] != 0; }
    // The first target (-1: none) and the others, apart: most boxes have
    // one link at most, and a sketch then reads no list.
    int FirstTargetOf(int i) const { return firstTarget_[i]; }
    const std::vector<int>& MoreTargetsOf(int i) const { return targets_[i]; }
    int LinkSizeOf(int i) const { return linkSize_[i]; }
    TColor LinkColorOf(int i) const { return linkColor_[i]; }
    // The position of box, -1 when not indexed.
    int PositionOf(const clsBox* box) const;
    // The text height the index was built for.
    int FontPixels() const { return fontPixels_; }
    // Whether every box is of the library's own kinds.
    bool AllKnown() const { return allKnown_; }
    // What the boxes before position i leave in a canvas as they paint: the
    // last box with a face of its own, the last with a size of its own
    // (-1: none), and the fill of the last rectangle (white: none).
    int NamedBefore(int i) const { return namedBefore_[i]; }
    int SizedBefore(int i) const { return sizedBefore_[i]; }
    TColor BrushBefore(int i) const { return brushBefore_[i]; }

private:
    struct Grid {
        std::int64_t left = 0, top = 0, cell = 1;
        int cols = 0, rows = 0;
        std::vector<std::vector<int>> cells;
        // Listed everywhere: too large for the cells, or of a foreign kind.
        std::vector<int> everywhere;
        std::vector<char> global; // by id: listed in everywhere
        void Reset(const TRect& bounds, std::int64_t cell);
        void Add(int id, const TRect& area, bool anywhere);
        void Remove(int id, const TRect& area);
        void Collect(const TRect& area, std::vector<int>& out) const;
        bool CellsOf(const TRect& area, int& c0, int& r0, int& c1, int& r1) const;
        // Whether area holds every cell.
        bool Covers(const TRect& area) const;
    };
    std::vector<int> Everything() const;
    TRect LinkArea(int source) const;
    std::vector<int> Unique(std::vector<int> ids) const;

    const clsGraf* graf_ = nullptr;
    int count_ = 0;
    int fontPixels_ = 0;
    std::vector<TRect> boxArea_;
    std::vector<TRect> linkArea_;
    std::vector<bool> foreign_;
    std::vector<TRect> frame_;
    std::vector<TColor> fill_, linkColor_;
    std::vector<char> line_;
    std::vector<int> linkSize_, firstTarget_;
    std::vector<std::vector<int>> targets_;
    void Copy(int i, const clsBox& box);
    bool allKnown_ = true;
    std::vector<int> namedBefore_, sizedBefore_;
    std::vector<TColor> brushBefore_;
    std::unordered_map<const clsBox*, int> position_;
    Grid boxes_, links_;
    TRect frames_{};
};

} // namespace quorgrafica
