#pragma once
// The screen: the cursor the whole application shows, over every window and
// control, as during long work.

#include "platform/gui/ControlTypes.h"

class TScreen {
public:
    TCursor Cursor() const { return cursor_; }
    // crDefault gives every control its own cursor back.
    void SetCursor(TCursor cursor);

private:
    TCursor cursor_ = crDefault;
};

// The process's screen object.
TScreen* Screen();

// Shows a cursor over the application while it lives (crHourGlass during long
// work), and the one before it afterwards, also when an error leaves early.
class TScreenCursor {
public:
    explicit TScreenCursor(TCursor cursor) : previous_(Screen()->Cursor()) {
        Screen()->SetCursor(cursor);
    }
    ~TScreenCursor() { Screen()->SetCursor(previous_); }
    TScreenCursor(const TScreenCursor&) = delete;
    TScreenCursor& operator=(const TScreenCursor&) = delete;

private:
    TCursor previous_;
};
