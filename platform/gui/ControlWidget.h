#pragma once
// Internal to the GUI layer: the Qt widgets behind the controls, and the
// bridge through which their events reach the controls' hooks. Exceptions
// never cross into Qt: a handler's exception goes to the application's
// error display.

#include "platform/gui/Control.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QWidget>

#include <functional>

class QPainter;
class TGraphicControl;
class TForm;
class TPageControl;

QString ToQString(const AnsiString& text);
AnsiString FromQString(const QString& text);
Qt::CursorShape ToQtCursor(TCursor cursor);

struct ControlEvents {
    // Runs a handler; an exception that leaves it is shown, not rethrown.
    static void Guard(const std::function<void()>& handler);

    static void MousePress(TControl* control, QMouseEvent* event);
    static void MouseMove(TControl* control, QMouseEvent* event);
    static void MouseRelease(TControl* control, QMouseEvent* event);
    static void MouseDoubleClick(TControl* control, QMouseEvent* event);
    static void Geometry(TControl* control, QWidget* widget);
    static void Click(TControl* control);
    static void WidgetDestroyed(TControl* control);
    // Runs the key hooks of a container; false when the key was swallowed,
    // else text is what the widget should type.
    static bool KeyPress(TControl* control, QKeyEvent* event, QString& text);
    static bool KeyRelease(TControl* control, QKeyEvent* event);
    static void Focus(TControl* control, bool entering);
    // Whether a focus-out keeps the control focused as the form sees it: the
    // focus went to a popup (a list or a menu), which gives it back when it
    // closes, or into one of the widget's own children (the tree's in-place
    // editor). For a child, the returned watcher (a child of widget) runs
    // leave once the focus goes anywhere outside widget.
    static bool FocusStaysInside(QWidget* widget, QFocusEvent* event,
                                 const std::function<void()>& leave, QObject*& watcher);
    static void PaintGraphic(TGraphicControl* control, QPainter& painter, const QRect& area);
    static void FormClosedByUser(TForm* form);
    // Shows the control's popup menu; false when it has none to show.
    static bool ContextMenu(TControl* control, QContextMenuEvent* event);
    // The mouse and Escape feed the drag in progress (DragDrop.cpp); true
    // when the drag took the event.
    static void DragPress(TControl* control, TMouseButton button, int x, int y);
    static bool DragMove(TControl* control, int x, int y);
    static bool DragRelease(TControl* control, int x, int y);
    static bool DragCancelKey(TControl* control, QKeyEvent* event);
    static void TabChangedByUser(TPageControl* pages, int index);
};

// A Qt widget class made to report to its control.
template <class Base> class TControlWidget : public Base {
public:
    template <class... Args>
    explicit TControlWidget(TControl* control, Args&&... args)
        : Base(std::forward<Args>(args)...), control_(control) {}
    // The watcher must not hear the focus leave the children being destroyed.
    ~TControlWidget() override { delete focusWatcher_; }
    TControl* Control() const { return control_; }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        Base::mousePressEvent(event);
        // Qt's default double-click handling presses again: the control
        // hears the double click instead.
        if (!inDoubleClick_) ControlEvents::MousePress(control_, event);
        // The control under the mouse takes it; its parents do not hear it.
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        Base::mouseMoveEvent(event);
        ControlEvents::MouseMove(control_, event);
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        Base::mouseReleaseEvent(event);
        ControlEvents::MouseRelease(control_, event);
        event->accept();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        inDoubleClick_ = true;
        Base::mouseDoubleClickEvent(event);
        inDoubleClick_ = false;
        ControlEvents::MouseDoubleClick(control_, event);
        event->accept();
    }
    void resizeEvent(QResizeEvent* event) override {
        Base::resizeEvent(event);
        ControlEvents::Geometry(control_, this);
    }
    void keyPressEvent(QKeyEvent* event) override {
        QString text;
        if (!ControlEvents::KeyPress(control_, event, text)) {
            event->accept();
            return;
        }
        if (text == event->text()) {
            Base::keyPressEvent(event);
        } else {
            QKeyEvent changed(event->type(), event->key(), event->modifiers(), text,
                              event->isAutoRepeat(), ushort(event->count()));
            Base::keyPressEvent(&changed);
        }
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        if (ControlEvents::KeyRelease(control_, event))
            Base::keyReleaseEvent(event);
        else
            event->accept();
    }
    void focusInEvent(QFocusEvent* event) override {
        Base::focusInEvent(event);
        // Back from the control's own popup or in-place editor: it never left.
        if (entered_) return;
        entered_ = true;
        ControlEvents::Focus(control_, true);
    }
    void focusOutEvent(QFocusEvent* event) override {
        Base::focusOutEvent(event);
        const auto leave = [this] {
            entered_ = false;
            ControlEvents::Focus(control_, false);
        };
        if (!ControlEvents::FocusStaysInside(this, event, leave, focusWatcher_)) leave();
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (ControlEvents::ContextMenu(control_, event))
            event->accept();
        else
            Base::contextMenuEvent(event);
    }
    void moveEvent(QMoveEvent* event) override {
        Base::moveEvent(event);
        ControlEvents::Geometry(control_, this);
    }

private:
    TControl* control_;
    bool inDoubleClick_ = false;
    // DoEnter ran and DoExit has not yet.
    bool entered_ = false;
    QObject* focusWatcher_ = nullptr;
};
