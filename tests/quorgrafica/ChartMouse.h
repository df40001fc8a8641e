#pragma once
// The mouse on a chart's widget as the user works it: presses, moves and
// releases with buttons and modifiers, clicks and double clicks.

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

namespace charttest {

class ChartMouse {
public:
    virtual ~ChartMouse() = default;

protected:
    // The widget the mouse works on.
    virtual QWidget* MouseTarget() = 0;

    void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mousePress(MouseTarget(), button, mods, QPoint(x, y));
    }
    // A move with the buttons pressed so far held.
    void Move(int x, int y) { QTest::mouseMove(MouseTarget(), QPoint(x, y)); }
    void Release(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(MouseTarget(), button, Qt::NoModifier, QPoint(x, y));
    }
    void Drag(int x1, int y1, int x2, int y2, Qt::MouseButton button = Qt::LeftButton,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Press(x1, y1, button, mods);
        Move((x1 + x2) / 2, (y1 + y2) / 2);
        Move(x2, y2);
        Release(x2, y2, button);
    }
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }
    // Press, release, double click and release, as the system reports them.
    void DoubleClick(int x, int y) {
        Click(x, y);
        QTest::mouseDClick(MouseTarget(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
        Release(x, y);
    }
    // The pointer passing over with no button down.
    void Hover(int x, int y) {
        QWidget* w = MouseTarget();
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
};

} // namespace charttest
