#pragma once
// The undo history of a chart: the whole chart's text after every change
// (charts are small), with where the change was made and the box it
// concerned, so that undo and redo show the user what they take back.

#include "tools/charteditor/ChartPosition.h"

#include <cstddef>
#include <string>
#include <vector>

namespace charteditor {

struct ChartChange {
    std::string snapshot; // the chart after the change
    GrafPlace graf;       // the graph it was made in
    BoxPlace before;      // the box it concerned, before and after it
    BoxPlace after;
    // Changes with the same key follow each other into one step (the keys
    // typed into one field); empty: a step of its own.
    std::string mergeKey;
};

class ChartHistory {
public:
    // Older steps are forgotten beyond either limit; the newest always stay.
    static constexpr int MaxSteps = 1000;
    static constexpr std::size_t MaxBytes = 256u * 1024u * 1024u;

    // Starts over from the chart as it is now, which counts as saved.
    void Reset(std::string snapshot);
    // A change made: drops what could be redone.
    void Add(ChartChange change);
    // The next change starts a step of its own.
    void EndMerge();

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ + 1 < changes_.size(); }
    // The change undone (its place and boxes) and the chart to go back to;
    // call only when CanUndo.
    const ChartChange& Undo(const std::string*& snapshot);
    // The change redone, holding the chart to go to; only when CanRedo.
    const ChartChange& Redo();

    // The chart as it is now, in the history.
    const std::string& Current() const { return changes_[current_].snapshot; }
    int Steps() const { return static_cast<int>(changes_.size()) - 1; }

    // Whether the chart differs from the one last saved (or reset to).
    bool Modified() const { return saved_ != static_cast<long long>(current_); }
    void MarkSaved() { saved_ = static_cast<long long>(current_); }

private:
    void Forget();

    std::vector<ChartChange> changes_{ChartChange{}};
    std::size_t current_ = 0;
    std::size_t bytes_ = 0;
    // The step saved last; -1 when it is no longer in the history.
    long long saved_ = 0;
};

} // namespace charteditor
