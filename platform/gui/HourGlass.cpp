#include "platform/gui/HourGlass.h"

#include <QApplication>
#include <QCursor>

THourGlass::THourGlass() {
    // Without a GUI application there is no cursor to change.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    shown_ = true;
}

THourGlass::~THourGlass() {
    if (shown_ && QCoreApplication::instance()) QApplication::restoreOverrideCursor();
}
