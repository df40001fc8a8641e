#pragma once
// Shared by the GUI tests: one QApplication for the process (offscreen), a
// temporary folder, and a SQLite archive reachable through an engine alias.

#include <QApplication>
#include <QImage>

#include <string>
#include <vector>

QApplication* TestApp();

// A fresh folder removed at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Creates <dir>/<alias>.db by running the statements, and an engine.ini that
// names it as the alias; points QUOR_ENGINE_CONFIG at that file.
void MakeArchive(const TempDir& dir, const std::string& alias, const std::string& sql);

// Pixels of an image as 0x00RRGGBB.
inline unsigned PixelAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}
// A key as the user types it: handed to the window system for the window of
// widget, which routes it through shortcuts to that window's focused widget.
void TypeKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A key as the user types it into widget: the widget's window shown and
// active, the widget holding the focus, and the key (with the text it types,
// when given) handed to the window system for that window.
void TypeInto(QWidget* widget, Qt::Key key, const QString& text = QString(),
              Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Records the keys that reach a widget unused by the widgets inside it,
// as a form sees the keys its controls let pass.
class KeysReaching : public QObject {
public:
    explicit KeysReaching(QWidget* widget);
    bool Saw(int key) const;
    void Clear() { keys_.clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* widget_;
    std::vector<int> keys_;
};

int CountPixels(const QImage& image, unsigned rgb, int left, int top, int right, int bottom);

// Shows the widget's window, makes it the active window and gives the widget
// the keyboard focus, as a click or Tab would: the widget gets a real
// focus-in. False when the platform does not activate the window.
bool GiveFocus(QWidget* widget);
// A key through the widget's window, as the keyboard sends it: it reaches the
// focused widget, or the open popup while there is one.
void KeyToWindow(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
