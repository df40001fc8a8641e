#include "platform/gui/ControlWidget.h"

#include "platform/core/Application.h"
#include "platform/core/Encoding.h"
#include "platform/gui/WinControl.h"

#include <QApplication>
#include <QList>
#include <QPointer>

QString ToQString(const AnsiString& text) {
    const std::u16string wide = Cp1252ToUtf16(text.view());
    return QString(reinterpret_cast<const QChar*>(wide.data()),
                   static_cast<qsizetype>(wide.size()));
}

AnsiString FromQString(const QString& text) {
    return AnsiString(Utf16ToCp1252(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()))));
}

Qt::CursorShape ToQtCursor(TCursor cursor) {
    switch (cursor) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
        return Qt::WaitCursor;
    case crNo:
    case crNoDrop:
        return Qt::ForbiddenCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

namespace {

// The control a left press started on, so that a release over it clicks.
TControl* pressedControl = nullptr;

bool ToButton(Qt::MouseButton qt, TMouseButton& button) {
    switch (qt) {
    case Qt::LeftButton:
        button = mbLeft;
        return true;
    case Qt::RightButton:
        button = mbRight;
        return true;
    case Qt::MiddleButton:
        button = mbMiddle;
        return true;
    default:
        return false;
    }
}

TShiftState ShiftOf(const QMouseEvent* event) {
    TShiftState shift;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ShiftModifier) shift << ssShift;
    if (mods & Qt::AltModifier) shift << ssAlt;
    if (mods & Qt::ControlModifier) shift << ssCtrl;
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton) shift << ssLeft;
    if (buttons & Qt::RightButton) shift << ssRight;
    if (buttons & Qt::MiddleButton) shift << ssMiddle;
    return shift;
}

} // namespace

void ControlEvents::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}

void ControlEvents::MousePress(TControl* control, QMouseEvent* event) {
    TMouseButton button;
    if (!ToButton(event->button(), button)) return;
    if (button == mbLeft) pressedControl = control;
    const QPoint p = event->position().toPoint();
    Guard([&] { control->MouseDown(button, ShiftOf(event), p.x(), p.y()); });
    DragPress(control, button, p.x(), p.y());
}

void ControlEvents::MouseMove(TControl* control, QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (DragMove(control, p.x(), p.y())) return;
    Guard([&] { control->MouseMove(ShiftOf(event), p.x(), p.y()); });
}

void ControlEvents::MouseRelease(TControl* control, QMouseEvent* event) {
    TMouseButton button;
    if (!ToButton(event->button(), button)) return;
    const QPoint p = event->position().toPoint();
    if (button == mbLeft && DragRelease(control, p.x(), p.y())) {
        pressedControl = nullptr;
        return;
    }
    const bool click = button == mbLeft && pressedControl == control &&
                       control->ClicksOnRelease() && p.x() >= 0 && p.y() >= 0 &&
                       p.x() < control->Width() && p.y() < control->Height();
    if (button == mbLeft) pressedControl = nullptr;
    // The handlers may destroy the control's widget: keep nothing of it.
    Guard([&] {
        if (click) control->Click();
    });
    Guard([&] { control->MouseUp(button, ShiftOf(event), p.x(), p.y()); });
}

void ControlEvents::MouseDoubleClick(TControl* control, QMouseEvent* event) {
    TMouseButton button;
    if (!ToButton(event->button(), button)) return;
    const QPoint p = event->position().toPoint();
    if (button == mbLeft) Guard([&] { control->DblClick(); });
    TShiftState shift = ShiftOf(event);
    shift << ssDouble;
    Guard([&] { control->MouseDown(button, shift, p.x(), p.y()); });
}

void ControlEvents::Geometry(TControl* control, QWidget* widget) {
    if (control->ExistingWidget() != widget) return;
    const QRect g = widget->geometry();
    Guard([&] { control->BoundsFromWidget(g.x(), g.y(), g.width(), g.height()); });
}

void ControlEvents::Click(TControl* control) {
    Guard([&] { control->Click(); });
}

void ControlEvents::WidgetDestroyed(TControl* control) {
    if (pressedControl == control) pressedControl = nullptr;
    control->widget_ = nullptr;
}

namespace {

unsigned short VirtualKey(const QKeyEvent* event) {
    const int key = event->key();
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<unsigned short>(VK_F1 + key - Qt::Key_F1);
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return static_cast<unsigned short>(key);
    return 0;
}

TShiftState KeyShift(const QKeyEvent* event) {
    TShiftState shift;
    if (event->modifiers() & Qt::ShiftModifier) shift << ssShift;
    if (event->modifiers() & Qt::AltModifier) shift << ssAlt;
    if (event->modifiers() & Qt::ControlModifier) shift << ssCtrl;
    return shift;
}

} // namespace

bool ControlEvents::KeyPress(TControl* control, QKeyEvent* event, QString& text) {
    text = event->text();
    if (DragCancelKey(control, event)) return false;
    auto* win = dynamic_cast<TWinControl*>(control);
    if (!win) return true;
    bool pass = true;
    Guard([&] {
        unsigned short key = VirtualKey(event);
        if (key) {
            win->KeyDown(key, KeyShift(event));
            if (key == 0) {
                pass = false;
                return;
            }
        }
        // One typed character goes through KeyPress in Windows-1252.
        if (text.size() == 1) {
            const std::string bytes = FromQString(text).str();
            if (bytes.size() != 1) return;
            char ch = bytes[0];
            win->KeyPress(ch);
            if (ch == 0)
                pass = false;
            else if (ch != bytes[0])
                text = ToQString(AnsiString(ch));
        }
    });
    return pass;
}

bool ControlEvents::KeyRelease(TControl* control, QKeyEvent* event) {
    auto* win = dynamic_cast<TWinControl*>(control);
    unsigned short key = VirtualKey(event);
    if (!win || !key) return true;
    Guard([&] { win->KeyUp(key, KeyShift(event)); });
    return key != 0;
}

namespace {

// Follows the focus among a control widget's children and runs leave when it
// goes outside the widget.
class FocusWatcher : public QObject {
public:
    FocusWatcher(QWidget* owner, std::function<void()> leave)
        : QObject(owner), owner_(owner), leave_(std::move(leave)) {}

    void Watch(QWidget* child) {
        if (!watched_.contains(child)) {
            watched_.append(child);
            child->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::FocusOut) return false;
        const auto* focus = static_cast<QFocusEvent*>(event);
        if (focus->reason() == Qt::PopupFocusReason) return false;
        Unwatch(object);
        QWidget* now = QApplication::focusWidget();
        if (now == owner_) return false;
        if (now && owner_->isAncestorOf(now)) {
            Watch(now);
            return false;
        }
        for (QObject* other : watched_)
            if (other) other->removeEventFilter(this);
        watched_.clear();
        // leave may destroy the control and with it this watcher.
        const std::function<void()> leave = leave_;
        leave();
        return false;
    }

private:
    void Unwatch(QObject* object) {
        object->removeEventFilter(this);
        watched_.removeAll(object);
    }

    QWidget* owner_;
    std::function<void()> leave_;
    QList<QPointer<QObject>> watched_;
};

} // namespace

bool ControlEvents::FocusStaysInside(QWidget* widget, QFocusEvent* event,
                                     const std::function<void()>& leave, QObject*& watcher) {
    if (event->reason() == Qt::PopupFocusReason) return true;
    QWidget* now = QApplication::focusWidget();
    // A click into an open popup: the focus comes back when it closes.
    if (now && now->window()->windowType() == Qt::Popup) return true;
    if (!now || now == widget || !widget->isAncestorOf(now)) return false;
    if (!watcher) watcher = new FocusWatcher(widget, leave);
    static_cast<FocusWatcher*>(watcher)->Watch(now);
    return true;
}

void ControlEvents::Focus(TControl* control, bool entering) {
    auto* win = dynamic_cast<TWinControl*>(control);
    if (!win) return;
    Guard([&] {
        if (entering)
            win->DoEnter();
        else
            win->DoExit();
    });
}
