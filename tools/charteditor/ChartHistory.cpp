#include "tools/charteditor/ChartHistory.h"

#include <utility>

namespace charteditor {

void ChartHistory::Reset(std::string snapshot) {
    changes_.clear();
    changes_.push_back(ChartChange{});
    changes_[0].snapshot = std::move(snapshot);
    bytes_ = changes_[0].snapshot.size();
    current_ = 0;
    saved_ = 0;
}

void ChartHistory::Add(ChartChange change) {
    while (changes_.size() > current_ + 1) {
        bytes_ -= changes_.back().snapshot.size();
        changes_.pop_back();
    }
    if (saved_ > static_cast<long long>(current_)) saved_ = -1;
    ChartChange& top = changes_[current_];
    if (current_ > 0 && !change.mergeKey.empty() && change.mergeKey == top.mergeKey) {
        // The step grows: it keeps the box as it was before the first change.
        if (saved_ == static_cast<long long>(current_)) saved_ = -1;
        bytes_ += change.snapshot.size();
        bytes_ -= top.snapshot.size();
        top.snapshot = std::move(change.snapshot);
        top.after = std::move(change.after);
        return;
    }
    bytes_ += change.snapshot.size();
    changes_.push_back(std::move(change));
    current_ = changes_.size() - 1;
    Forget();
}

void ChartHistory::EndMerge() {
    changes_[current_].mergeKey.clear();
}

const ChartChange& ChartHistory::Undo(const std::string*& snapshot) {
    const ChartChange& undone = changes_[current_];
    --current_;
    changes_[current_].mergeKey.clear();
    snapshot = &changes_[current_].snapshot;
    return undone;
}

const ChartChange& ChartHistory::Redo() {
    ++current_;
    return changes_[current_];
}

void ChartHistory::Forget() {
    // The oldest steps go; the chart they lead to stays as the first.
    std::size_t drop = 0;
    while (changes_.size() - drop > 2 &&
           (changes_.size() - drop > static_cast<std::size_t>(MaxSteps) + 1 || bytes_ > MaxBytes)) {
        bytes_ -= changes_[drop].snapshot.size();
        ++drop;
    }
    if (drop == 0) return;
    changes_.erase(changes_.begin(), changes_.begin() + static_cast<std::ptrdiff_t>(drop));
    current_ -= drop;
    saved_ = saved_ >= static_cast<long long>(drop) ? saved_ - static_cast<long long>(drop) : -1;
}

} // namespace charteditor
