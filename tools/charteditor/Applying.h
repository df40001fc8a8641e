#pragma once

namespace charteditor {

// Sets a flag for a scope: the editor's own changes to the chart are not
// taken for the user's.
class Applying {
public:
    explicit Applying(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Applying() { flag_ = was_; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

private:
    bool& flag_;
    bool was_;
};

} // namespace charteditor
