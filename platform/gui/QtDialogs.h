#pragma once
// The dialogs of the application object shown as Qt message boxes and input
// dialogs, with Italian button texts.

#include "platform/core/Application.h"

#include <vector>

enum class TMessageIcon { None, Error, Question, Warning, Information };

// What a message box of the given flags shows.
struct TMessageBoxLayout {
    std::vector<int> buttons; // IDOK, IDCANCEL, IDYES... left to right
    int defaultButton = IDOK; // the one Enter presses
    int escapeButton = 0;     // the one Escape or closing answers; 0: none
    TMessageIcon icon = TMessageIcon::None;
};

TMessageBoxLayout MessageBoxLayoutFor(int flags);
// "OK", "Annulla", "S\xEC", "No", "Interrompi", "Riprova", "Ignora".
AnsiString MessageButtonText(int button);

class TQtDialogs : public TDialogProvider {
public:
    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) override;
    void ShowMessage(const AnsiString& text, const AnsiString& caption) override;
    bool InputQuery(const AnsiString& caption, const AnsiString& prompt,
                    AnsiString& value) override;
    void Beep() override;
    void ShowException(const AnsiString& message, const AnsiString& caption) override;
};
