#include "platform/gui/Screen.h"

#include "platform/graphics/GuiApplication.h"
#include "platform/gui/ControlWidget.h"

#include <QApplication>
#include <QCursor>

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    EnsureGuiApplication();
    if (cursor == crDefault) {
        if (overriding_) QApplication::restoreOverrideCursor();
        overriding_ = false;
    } else if (overriding_) {
        QApplication::changeOverrideCursor(QCursor(ToQtCursor(cursor)));
    } else {
        QApplication::setOverrideCursor(QCursor(ToQtCursor(cursor)));
        overriding_ = true;
    }
}

TScreen* Screen() {
    static TScreen screen;
    return &screen;
}

TWaitCursor::TWaitCursor() : previous_(Screen()->Cursor()) {
    Screen()->SetCursor(crHourGlass);
}

TWaitCursor::~TWaitCursor() {
    Screen()->SetCursor(previous_);
}
