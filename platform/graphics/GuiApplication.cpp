#include "platform/graphics/GuiApplication.h"

#include <QGuiApplication>

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quor";
    static char* argv[] = {name, nullptr};
    // Lives as long as the process: fonts and pixmaps outlive any one caller.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}
