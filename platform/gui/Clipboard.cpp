#include "platform/gui/Clipboard.h"

#include "platform/graphics/GuiApplication.h"
#include "platform/gui/ControlWidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
QClipboard* System() {
    EnsureGuiApplication();
    return QGuiApplication::clipboard();
}
} // namespace

void TClipboard::SetTextBuf(const char* buffer) {
    SetAsText(AnsiString(buffer));
}

void TClipboard::SetAsText(const AnsiString& text) {
    System()->setText(ToQString(text));
}

AnsiString TClipboard::AsText() const {
    return FromQString(System()->text());
}

bool TClipboard::HasText() const {
    const QMimeData* data = System()->mimeData();
    return data && data->hasText();
}

void TClipboard::Clear() {
    System()->clear();
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}
