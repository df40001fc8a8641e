#pragma once
// The screen object: the cursor the whole program shows, over every window
// and control, while it works ("Screen->Cursor = crHourGlass"). crDefault
// gives each control back its own cursor.

#include "platform/core/Component.h"
#include "platform/gui/ControlTypes.h"

class TScreen : public TObject {
public:
    QUOR_CLASS_NAME(TScreen)
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

private:
    TCursor cursor_ = crDefault;
    // Whether the program-wide cursor is in place.
    bool overriding_ = false;
};

// The process's screen object.
TScreen* Screen();

// Shows the hourglass for the life of the object, and the cursor that was
// there before once it ends, however it ends.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    TCursor previous_;
};
