#include "platform/gui/Forms.h"

#include "platform/gui/Form.h"
#include "platform/gui/QtDialogs.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMetaObject>
#include <QTranslator>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef QUOR_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {
TGuiApplication* instance = nullptr;
}

TGuiApplication::TGuiApplication(int& argc, char** argv) {
    if (!QApplication::instance()) ownApp_ = std::make_unique<QApplication>(argc, argv);
    // The loop ends with the main form, not with the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    // The product speaks Italian, whatever the user's locale.
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_it"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        translator_ = std::move(translator);
    previousDialogs_ = Application->SetDialogProvider(std::make_unique<TQtDialogs>());
    instance = this;
}

TGuiApplication::~TGuiApplication() {
    // Forms and modules go first, the latest created first, while Qt is up.
    while (!components_.empty()) {
        TComponent* component = components_.back();
        components_.pop_back();
        if (component == mainForm_) mainForm_ = nullptr;
        delete component;
    }
    instance = nullptr;
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
    Application->SetDialogProvider(std::move(previousDialogs_));
}

TGuiApplication* TGuiApplication::Instance() {
    return instance;
}

void TGuiApplication::Adopt(TComponent* component) {
    if (!component) return;
    components_.push_back(component);
    if (!mainForm_)
        if (auto* form = dynamic_cast<TForm*>(component)) mainForm_ = form;
}

int TGuiApplication::Run() {
    if (mainForm_ && !terminated_) {
        try {
            mainForm_->Show();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    if (!terminated_ && mainForm_) QApplication::exec();
    return 0;
}

void TGuiApplication::Terminate() {
    terminated_ = true;
    // Queued, so that a request made before the loop starts still ends it.
    QMetaObject::invokeMethod(
        QApplication::instance(), [] { QApplication::quit(); }, Qt::QueuedConnection);
}

void TGuiApplication::ProcessMessages() {
    QApplication::processEvents();
}

void TGuiApplication::FormClosed(TForm* form) {
    if (form == mainForm_) Terminate();
}

void TGuiApplication::FormDestroyed(TForm* form) {
    auto it = std::find(components_.begin(), components_.end(), form);
    if (it != components_.end()) components_.erase(it);
    if (form == mainForm_) mainForm_ = nullptr;
}

bool GuiAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display && *display) || (wayland && *wayland);
#endif
}

AnsiString DisplayProblem() {
#ifdef QUOR_HAVE_XCB
    // Another platform named explicitly does not use X11.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0) return AnsiString();
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        if (platform && *platform)
            return "impossibile aprire lo schermo: la variabile DISPLAY non \xE8 impostata";
        return AnsiString();
    }
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (failed) return "impossibile aprire lo schermo \"" + AnsiString(display) + "\"";
#endif
    return AnsiString();
}
