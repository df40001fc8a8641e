#pragma once
// The system clipboard, for plain text in Windows-1252, and for a text
// together with the same content as an HTML document.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"

class TTextBlocks;

class TClipboard : public TObject {
public:
    QUOR_CLASS_NAME(TClipboard)
    // Replaces the clipboard's content with the text (null: empty text).
    void SetTextBuf(const char* buffer);
    void SetAsText(const AnsiString& text);
    // Replaces the clipboard's content with both, in one operation: a program
    // that pastes takes the form it reads best (a spreadsheet the HTML). Both
    // come in Windows-1252 and go out in UTF-8, each block let go of once
    // converted; the HTML should declare UTF-8 as its charset.
    void SetTextAndHtml(TTextBlocks& text, TTextBlocks& html);
    // The clipboard's text, empty when it holds none.
    AnsiString AsText() const;
    bool HasText() const;
    void Clear();
};

// The process's clipboard object.
TClipboard* Clipboard();
