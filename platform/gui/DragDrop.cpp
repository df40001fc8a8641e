#include "platform/gui/DragDrop.h"

#include "platform/gui/Control.h"
#include "platform/gui/ControlWidget.h"

#include <QApplication>
#include <QCursor>

#include <cstdlib>

// The session reaches the control's protected drag hooks through this.
struct DragAccess {
    static void StartDrag(TControl* c, TDragObject*& object) { c->DoStartDrag(object); }
    static void Over(TControl* c, TObject* source, int x, int y, TDragState state, bool& accept) {
        c->DragOver(source, x, y, state, accept);
    }
    static void EndDrag(TControl* c, TObject* target, int x, int y) { c->DoEndDrag(target, x, y); }
};

namespace {

// The one drag of the process: the mouse can only drag one thing.
struct DragSession {
    TControl* control = nullptr;
    bool started = false;
    int threshold = DragThreshold;
    int startX = 0;
    int startY = 0;
    int lastX = 0;
    int lastY = 0;
    bool inside = false;
    bool accepted = false;
    bool cursorSet = false;
    // Escape ended the drag: the mouse is still down, and its release is
    // not a click.
    bool cancelled = false;
    TObject* source = nullptr;
};

DragSession session;

void ShowDragCursor(TCursor cursor) {
    const QCursor shape(ToQtCursor(cursor));
    if (!session.cursorSet) {
        QApplication::setOverrideCursor(shape);
        session.cursorSet = true;
    } else {
        QApplication::changeOverrideCursor(shape);
    }
}

void Finish() {
    if (session.cursorSet) QApplication::restoreOverrideCursor();
    session = DragSession();
}

bool Inside(const TControl* control, int x, int y) {
    return x >= 0 && y >= 0 && x < control->Width() && y < control->Height();
}

void Start(TControl* control) {
    TDragObject* object = nullptr;
    ControlEvents::Guard([&] { DragAccess::StartDrag(control, object); });
    session.started = true;
    session.source = object ? static_cast<TObject*>(object) : control;
}

// The control reports whether the place under the mouse takes the drop.
void Over(TControl* control, int x, int y) {
    session.lastX = x;
    session.lastY = y;
    const bool inside = Inside(control, x, y);
    bool accept = false;
    if (inside || session.inside) {
        const TDragState state = !inside           ? dsDragLeave
                                 : session.inside ? dsDragMove
                                                  : dsDragEnter;
        ControlEvents::Guard([&] { DragAccess::Over(control, session.source, x, y, state, accept); });
    }
    session.inside = inside;
    session.accepted = inside && accept;
    ShowDragCursor(session.accepted ? control->DragCursor() : crNoDrop);
}

// Drops (when asked and accepted) and ends the drag.
void Done(TControl* control, bool drop) {
    const int x = session.lastX;
    const int y = session.lastY;
    const bool dropping = drop && session.started && session.accepted;
    TObject* source = session.source;
    const bool started = session.started;
    Finish();
    if (dropping) ControlEvents::Guard([&] { control->DragDrop(source, x, y); });
    if (started)
        ControlEvents::Guard([&] { DragAccess::EndDrag(control, dropping ? control : nullptr, x, y); });
}

} // namespace

void TControl::BeginDrag(bool immediate, int threshold) {
    if (session.cancelled) Finish();
    if (session.control && session.control != this) session.control->EndDrag(false);
    if (session.control == this) return;
    int x = 0, y = 0;
    if (QWidget* w = ExistingWidget()) {
        const QPoint p = w->mapFromGlobal(QCursor::pos());
        x = p.x();
        y = p.y();
    }
    session.control = this;
    session.threshold = threshold < 0 ? DragThreshold : threshold;
    session.startX = session.lastX = x;
    session.startY = session.lastY = y;
    if (immediate) {
        Start(this);
        Over(this, x, y);
    }
}

void TControl::EndDrag(bool drop) {
    if (session.control != this || session.cancelled) return;
    Done(this, drop);
}

bool DragStarted(const TControl* control) {
    return session.control == control && session.started && !session.cancelled;
}

bool TControl::Dragging() const {
    return session.control == this && !session.cancelled;
}

void TControl::CancelDrag() {
    // The control is going away: no handler of it may run.
    if (session.control == this) Finish();
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = false;
    if (OnDragOver) {
        accept = true;
        OnDragOver(this, source, x, y, state, accept);
    }
}

void TControl::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoStartDrag(TDragObject*& dragObject) {
    if (OnStartDrag) OnStartDrag(this, dragObject);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void ControlEvents::DragPress(TControl* control, TMouseButton button, int x, int y) {
    if (session.cancelled) Finish();
    if (button != mbLeft || control->DragMode() != dmAutomatic || session.control) return;
    session.control = control;
    session.threshold = DragThreshold;
    session.startX = session.lastX = x;
    session.startY = session.lastY = y;
}

bool ControlEvents::DragMove(TControl* control, int x, int y) {
    if (session.control != control) return false;
    if (session.cancelled) return true;
    if (!session.started) {
        if (std::abs(x - session.startX) < session.threshold &&
            std::abs(y - session.startY) < session.threshold)
            return true;
        Start(control);
        // A handler may have ended the drag or destroyed things on the way.
        if (session.control != control) return true;
    }
    Over(control, x, y);
    return true;
}

bool ControlEvents::DragRelease(TControl* control, int x, int y) {
    if (session.control != control) return false;
    if (session.cancelled) {
        Finish();
        return true;
    }
    if (!session.started) {
        // Not far enough to be a drag: an ordinary click.
        Finish();
        return false;
    }
    if (x != session.lastX || y != session.lastY) Over(control, x, y);
    if (session.control == control) Done(control, true);
    return true;
}

bool ControlEvents::DragCancelKey(TControl* control, QKeyEvent* event) {
    if (session.control != control || session.cancelled || event->key() != Qt::Key_Escape)
        return false;
    const bool started = session.started;
    Done(control, false);
    if (started) {
        session.control = control;
        session.cancelled = true;
    }
    return started;
}
