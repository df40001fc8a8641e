#include "platform/graphics/GuiApplication.h"

#include <QApplication>

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quor";
    static char* argv[] = {name, nullptr};
    // A widget application, so that controls created later find the one they
    // need. It lives as long as the process: fonts outlive any one caller.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}
