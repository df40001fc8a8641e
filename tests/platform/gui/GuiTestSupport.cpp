#include "GuiTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QKeyEvent>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

#include "tests/PosixOnWindows.h"
#include <filesystem>
#include <fstream>

QApplication* TestApp() {
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
            return existing;
        return new QApplication(argc, argv);
    }();
    return app;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quor-gui-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void MakeArchive(const TempDir& dir, const std::string& alias, const std::string& sql) {
    const std::string file = dir.Path() + "/" + alias + ".db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
    const std::string ini = dir.Path() + "/engine.ini";
    std::ofstream out(ini, std::ios::app);
    out << "[" << alias << "]\nDriver=SQLITE\nPath=" << alias << ".db\n";
    out.close();
    setenv("QUOR_ENGINE_CONFIG", ini.c_str(), 1);
}

int CountPixels(const QImage& image, unsigned rgb, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (PixelAt(image, x, y) == rgb) ++n;
    return n;
}

void TypeKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWindow* window = widget ? widget->window()->windowHandle() : nullptr;
    if (!window || !window->isVisible()) {
        ADD_FAILURE() << "a key typed into a window that is not shown";
        return;
    }
    QTest::keyClick(window, key, modifiers);
}

bool GiveFocus(QWidget* widget) {
    QWidget* window = widget->window();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) return false;
    widget->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    return widget->hasFocus();
}

void KeyToWindow(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(widget->window()->windowHandle(), key, modifiers);
}

void TypeInto(QWidget* widget, Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers) {
    ASSERT_NE(widget, nullptr);
    QWidget* window = widget->window();
    if (!window->isVisible()) window->show();
    if (!window->isActiveWindow()) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window, 10000)) << "the window is not active";
    }
    if (!widget->hasFocus()) widget->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(widget->hasFocus()) << "the widget does not take the focus";
    if (text.isEmpty())
        QTest::keyClick(window->windowHandle(), key, modifiers);
    else
        QTest::sendKeyEvent(QTest::Click, window->windowHandle(), key, text, modifiers);
}

KeysReaching::KeysReaching(QWidget* widget) : QObject(widget), widget_(widget) {
    widget->installEventFilter(this);
}

bool KeysReaching::Saw(int key) const {
    return std::find(keys_.begin(), keys_.end(), key) != keys_.end();
}

bool KeysReaching::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && event->type() == QEvent::KeyPress)
        keys_.push_back(static_cast<QKeyEvent*>(event)->key());
    return false;
}
