#include "platform/gui/Screen.h"

#include "platform/gui/ControlWidget.h"

#include <QCursor>
#include <QGuiApplication>

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    // Without a GUI there is no cursor to show.
    const bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (gui && cursor_ != crDefault) QGuiApplication::restoreOverrideCursor();
    cursor_ = cursor;
    if (gui && cursor_ != crDefault) QGuiApplication::setOverrideCursor(QCursor(ToQtCursor(cursor_)));
}

TScreen* Screen() {
    static TScreen screen;
    return &screen;
}
