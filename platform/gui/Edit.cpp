#include "platform/gui/Edit.h"

#include "platform/gui/ControlWidget.h"

#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

// Shared state ---------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

AnsiString TCustomEdit::Text() const {
    return text_;
}

void TCustomEdit::SetText(const AnsiString& text) {
    ReplaceText(text, 0);
}

void TCustomEdit::ReplaceText(const AnsiString& text, int caret) {
    if (text == text_) return;
    text_ = text;
    selStart_ = std::clamp(caret, 0, text_.Length());
    selLength_ = 0;
    if (ExistingWidget()) {
        pushing_ = true;
        SetWidgetText(text_);
        SetWidgetSelection(selStart_, 0);
        pushing_ = false;
    }
    Change();
}

void TCustomEdit::TextFromWidget() {
    if (pushing_) return;
    text_ = WidgetText();
    Change();
}

void TCustomEdit::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (ExistingWidget()) SetWidgetReadOnly(readOnly);
}

int TCustomEdit::SelStart() const {
    if (!ExistingWidget()) return selStart_;
    int start = 0, length = 0;
    WidgetSelection(start, length);
    return start;
}

int TCustomEdit::SelLength() const {
    if (!ExistingWidget()) return selLength_;
    int start = 0, length = 0;
    WidgetSelection(start, length);
    return length;
}

void TCustomEdit::SetSelStart(int position) {
    selStart_ = std::clamp(position, 0, text_.Length());
    selLength_ = 0;
    if (ExistingWidget()) SetWidgetSelection(selStart_, 0);
}

void TCustomEdit::SetSelLength(int length) {
    selStart_ = SelStart();
    selLength_ = std::clamp(length, 0, text_.Length() - selStart_);
    if (ExistingWidget()) SetWidgetSelection(selStart_, selLength_);
}

void TCustomEdit::SelectAll() {
    SetSelStart(0);
    SetSelLength(text_.Length());
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetHideSelection(bool hide) {
    hideSelection_ = hide;
    ApplySelectionColors();
}

void TCustomEdit::FontChanged() {
    TWinControl::FontChanged();
    ApplySelectionColors();
}

void TCustomEdit::ColorChanged() {
    TWinControl::ColorChanged();
    ApplySelectionColors();
}

void TCustomEdit::ApplySelectionColors() {
    QWidget* widget = ExistingWidget();
    if (!widget) return;
    QPalette palette = widget->palette();
    const QPalette::ColorGroup shown = hideSelection_ ? QPalette::Inactive : QPalette::Active;
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(shown, hideSelection_ ? QPalette::Base : QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(shown, hideSelection_ ? QPalette::Text
                                                         : QPalette::HighlightedText));
    widget->setPalette(palette);
}

void TCustomEdit::InitWidget(QWidget* widget) {
    TWinControl::InitWidget(widget);
    ApplySelectionColors();
    pushing_ = true;
    SetWidgetText(text_);
    SetWidgetSelection(selStart_, selLength_);
    SetWidgetReadOnly(readOnly_);
    pushing_ = false;
}

// One line ---------------------------------------------------------------------

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) {}

QWidget* TEdit::CreateWidget(QWidget* parent) {
    auto* edit = new TControlWidget<QLineEdit>(this, parent);
    QObject::connect(edit, &QLineEdit::textChanged,
                     [this] { ControlEvents::Guard([this] { TextFromWidget(); }); });
    return edit;
}

AnsiString TEdit::WidgetText() const {
    return FromQString(static_cast<QLineEdit*>(ExistingWidget())->text());
}

void TEdit::SetWidgetText(const AnsiString& text) {
    static_cast<QLineEdit*>(ExistingWidget())->setText(ToQString(text));
}

void TEdit::WidgetSelection(int& start, int& length) const {
    auto* edit = static_cast<QLineEdit*>(ExistingWidget());
    start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    length = static_cast<int>(edit->selectedText().size());
}

void TEdit::SetWidgetSelection(int start, int length) {
    auto* edit = static_cast<QLineEdit*>(ExistingWidget());
    if (length > 0)
        edit->setSelection(start, length);
    else
        edit->setCursorPosition(start);
}

void TEdit::SetWidgetReadOnly(bool readOnly) {
    static_cast<QLineEdit*>(ExistingWidget())->setReadOnly(readOnly);
}

// Several lines ------------------------------------------------------------------

namespace {

// The memo's text has CR LF where Qt's has LF.
std::string ToLf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ToCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Position in the LF text of a position in the CR LF text, and back.
int ToQtPosition(const std::string& crlf, int position) {
    int q = 0;
    for (int i = 0; i < position && i < static_cast<int>(crlf.size()); ++i)
        if (!(crlf[static_cast<size_t>(i)] == '\r' && i + 1 < static_cast<int>(crlf.size()) &&
              crlf[static_cast<size_t>(i) + 1] == '\n'))
            ++q;
    return q;
}

int FromQtPosition(const std::string& lf, int position) {
    int p = position;
    for (int i = 0; i < position && i < static_cast<int>(lf.size()); ++i)
        if (lf[static_cast<size_t>(i)] == '\n') ++p;
    return p;
}

QPlainTextEdit* Editor(QWidget* widget) {
    return static_cast<QPlainTextEdit*>(widget);
}

} // namespace

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner) {
    SetBounds(0, 0, 185, 89);
}

QWidget* TCustomMemo::CreateWidget(QWidget* parent) {
    auto* edit = new TControlWidget<QPlainTextEdit>(this, parent);
    QObject::connect(edit, &QPlainTextEdit::textChanged,
                     [this] { ControlEvents::Guard([this] { TextFromWidget(); }); });
    return edit;
}

void TCustomMemo::InitWidget(QWidget* widget) {
    TCustomEdit::InitWidget(widget);
    ApplyLayout();
}

void TCustomMemo::ApplyLayout() {
    QPlainTextEdit* edit = Editor(ExistingWidget());
    if (!edit) return;
    edit->setLineWrapMode(wordWrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    edit->setTabChangesFocus(!wantTabs_);
    QTextOption option = edit->document()->defaultTextOption();
    option.setAlignment(alignment_ == taRightJustify ? Qt::AlignRight
                        : alignment_ == taCenter     ? Qt::AlignHCenter
                                                     : Qt::AlignLeft);
    edit->document()->setDefaultTextOption(option);
}

void TCustomMemo::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    ApplyLayout();
}

void TCustomMemo::SetWantTabs(bool want) {
    wantTabs_ = want;
    ApplyLayout();
}

void TCustomMemo::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    ApplyLayout();
}

void TCustomMemo::KeyDown(unsigned short& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    // Without WantReturns, Enter is not typed (Ctrl+Enter still is).
    if (key == VK_RETURN && !wantReturns_ && !shift.Contains(ssCtrl)) key = 0;
}

AnsiString TCustomMemo::WidgetText() const {
    return AnsiString(ToCrLf(FromQString(Editor(ExistingWidget())->toPlainText()).str()));
}

void TCustomMemo::SetWidgetText(const AnsiString& text) {
    Editor(ExistingWidget())->setPlainText(ToQString(AnsiString(ToLf(text.str()))));
}

void TCustomMemo::WidgetSelection(int& start, int& length) const {
    QPlainTextEdit* edit = Editor(ExistingWidget());
    const QTextCursor cursor = edit->textCursor();
    const std::string lf = FromQString(edit->toPlainText()).str();
    const int from = FromQtPosition(lf, cursor.selectionStart());
    const int to = FromQtPosition(lf, cursor.selectionEnd());
    start = from;
    length = to - from;
}

void TCustomMemo::SetWidgetSelection(int start, int length) {
    QPlainTextEdit* edit = Editor(ExistingWidget());
    const std::string crlf = Text().str();
    const int anchor = ToQtPosition(crlf, start);
    const int position = length > 0 ? ToQtPosition(crlf, start + length) : anchor;
    QTextCursor cursor = edit->textCursor();
    // Placing a cursor lays out its whole line: leave one that is in place.
    if (cursor.anchor() == anchor && cursor.position() == position) return;
    cursor.setPosition(anchor);
    if (position != anchor) cursor.setPosition(position, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

void TCustomMemo::SetWidgetReadOnly(bool readOnly) {
    Editor(ExistingWidget())->setReadOnly(readOnly);
}
