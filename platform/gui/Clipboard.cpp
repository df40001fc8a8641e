#include "platform/gui/Clipboard.h"

#include "platform/core/Encoding.h"
#include "platform/core/TextBlocks.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/gui/ControlWidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <array>
#include <memory>

namespace {
QClipboard* System() {
    EnsureGuiApplication();
    return QGuiApplication::clipboard();
}
// The text in UTF-8, sized once: a large text is not copied while it grows.
QByteArray ToUtf8(TTextBlocks& text) {
    static const std::array<unsigned char, 256> width = [] {
        std::array<unsigned char, 256> w{};
        for (int c = 0; c < 256; ++c) {
            const char byte = static_cast<char>(c);
            w[static_cast<std::size_t>(c)] =
                static_cast<unsigned char>(Cp1252ToUtf8(std::string_view(&byte, 1)).size());
        }
        return w;
    }();
    qsizetype size = 0;
    for (const std::string& block : text.Blocks())
        for (char c : block)
            size += width[static_cast<unsigned char>(c)];
    QByteArray out;
    out.reserve(size);
    text.Drain([&out](std::string_view block) {
        const std::string utf8 = Cp1252ToUtf8(block);
        out.append(utf8.data(), static_cast<qsizetype>(utf8.size()));
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
