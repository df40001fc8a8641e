#pragma once
// The system clipboard, for plain text in Windows-1252.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"

class TClipboard : public TObject {
public:
    QUOR_CLASS_NAME(TClipboard)
    // Replaces the clipboard's content with the text (null: empty text).
    void SetTextBuf(const char* buffer);
    void SetAsText(const AnsiString& text);
    // The clipboard's text, empty when it holds none.
    AnsiString AsText() const;
    bool HasText() const;
    void Clear();
};

// The process's clipboard object.
TClipboard* Clipboard();
