#pragma once
// THourGlass: the hourglass over every window of the program while long work
// runs, as the platform sets Screen->Cursor to crHourGlass and back. Scopes
// nest; each puts back what was shown before it.

class THourGlass {
public:
    THourGlass();
    ~THourGlass();
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    bool shown_ = false;
};
