#include "platform/graphics/GuiApplication.h"

#include <QApplication>

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
#ifndef _WIN32
    // No window is shown: a display is not needed. Windows always has its
    // desktop, and there the offscreen platform knows no fonts of the system.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    static int argc = 1;
    static char name[] = "quor";
    static char* argv[] = {name, nullptr};
    // A widget application, so that controls created later find the one they
    // need. It lives as long as the process: fonts outlive any one caller.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}
