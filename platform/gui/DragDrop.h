#pragma once
// Drag and drop within a control. A drag starts on a left press of a
// control whose DragMode is dmAutomatic, once the mouse has moved
// DragThreshold pixels, or through BeginDrag. While the mouse moves, the
// control's DragOver says whether a drop there would be taken (the cursor
// shows it); releasing the button over a place that accepts calls DragDrop;
// Escape or a release elsewhere cancels. OnEndDrag ends every drag.
//
// The source the handlers see is the drag object OnStartDrag supplied, or
// the control itself when it supplied none (the usual case).

#include "platform/core/Component.h"

class TControl;

// Pixels the mouse moves with the button down before a drag starts.
constexpr int DragThreshold = 5;

// Whether a drag of the control is under way (past its threshold), as
// opposed to only waiting for the mouse to move far enough.
bool DragStarted(const TControl* control);

class TDragObject : public TObject {
public:
    QUOR_CLASS_NAME(TDragObject)
};

// A drag object that names the control dragged from.
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* control) : control_(control) {}
    QUOR_CLASS_NAME(TDragControlObject)
    TControl* Control() const { return control_; }

private:
    TControl* control_;
};
