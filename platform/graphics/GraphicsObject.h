#pragma once
// Base of pen, brush and font: a value holder that tells its owner when it
// changes, so a control can repaint and a canvas can refresh its cache.

#include "platform/core/Component.h"

#include <functional>

class TGraphicsObject : public TObject {
public:
    QUOR_CLASS_NAME(TGraphicsObject)
    using ChangeHandler = std::function<void()>;
    void SetOnChange(ChangeHandler handler) { onChange_ = std::move(handler); }
    // Increases on every change.
    unsigned Revision() const { return revision_; }

protected:
    void Changed() {
        ++revision_;
        if (onChange_) onChange_();
    }

private:
    ChangeHandler onChange_;
    unsigned revision_ = 0;
};
