#include "platform/gui/Clipboard.h"

#include "platform/core/TextBlocks.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/gui/ControlWidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

namespace {
QClipboard* System() {
    EnsureGuiApplication();
    return QGuiApplication::clipboard();
}
// The text in UTF-8, sized once: a large text is not copied while it grows.
QByteArray ToUtf8(TTextBlocks& text) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(text.Utf8Length()));
    text.DrainUtf8([&out](std::string_view block) {
        out.append(block.data(), static_cast<qsizetype>(block.size()));
    });
    return out;
}

} // namespace

void TClipboard::SetTextAndHtml(TTextBlocks& text, TTextBlocks& html) {
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/plain"), ToUtf8(text));
    data->setData(QStringLiteral("text/html"), ToUtf8(html));
    System()->setMimeData(data.release());
}

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
