#include "controls/QuorDbEdit.h"

#include "platform/core/Locale.h"
#include "platform/core/Palette.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Variant.h"
#include "platform/gui/ControlWidget.h"
#include "platform/gui/DBEdit.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

namespace {

// Clears a flag when the scope ends, however it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace

QuorDbEdit::QuorDbEdit(TComponent* owner) : TCustomMemo(owner) {}

QuorDbEdit::~QuorDbEdit() {
    if (dbEdit_) dbEdit_->OnChange = nullptr;
    dbEdit_.reset();
}

TDataSource* QuorDbEdit::DataSource() const {
    // The internal edit's link lets go of a data source that is destroyed.
    return dbEdit_ ? dbEdit_->DataSource() : dataSource_;
}

void QuorDbEdit::SetDataSource(TDataSource* source) {
    if (dbEdit_ && source == DataSource()) return;
    dataSource_ = source;
    LinkDataSource();
}

void QuorDbEdit::SetDataField(const AnsiString& name) {
    if (dbEdit_ && name == dataField_) return;
    dataField_ = name;
    dataSource_ = DataSource();
    LinkDataSource();
}

TField* QuorDbEdit::Field() const {
    return dbEdit_ ? dbEdit_->Field() : nullptr;
}

void QuorDbEdit::SetFormatted(bool formatted) {
    formatted_ = formatted;
    FontChanged();
    if (!formatted) return;
    SetWantReturns(false);
    SetWantTabs(false);
    SetWordWrap(false);
}

void QuorDbEdit::InitWidget(QWidget* widget) {
    TCustomMemo::InitWidget(widget);
    // Windows-1252 has no right-to-left letters: saying so spares Qt a scan
    // of the whole text for its direction at every key.
    if (auto* editor = qobject_cast<QPlainTextEdit*>(widget)) {
        QTextOption option = editor->document()->defaultTextOption();
        option.setTextDirection(Qt::LeftToRight);
        editor->document()->setDefaultTextOption(option);
    }
}

void QuorDbEdit::FontChanged() {
    TCustomMemo::FontChanged();
    QWidget* widget = ExistingWidget();
    if (!widget) return;
    // Digits and separators need no shaping, and shaping a long line again
    // at every key is most of the cost of typing into it.
    QFont font = widget->font();
    font.setStyleStrategy(formatted_ ? QFont::PreferNoShaping : QFont::PreferDefault);
    widget->setFont(font);
}

void QuorDbEdit::LinkDataSource() {
    if (!dbEdit_) dbEdit_ = std::make_unique<TDBEdit>();
    dbEdit_->SetDataSource(dataSource_);
    dbEdit_->SetDataField(dataField_);
    dbEdit_->OnChange = [this](TObject* sender) { DataChange(sender); };
    changing_ = false;
    loading_ = false;
    // The field's value shows at once, not only from the next record on.
    DataChange(dbEdit_.get());
}

void QuorDbEdit::DataChange(TObject*) {
    if (!dbEdit_ || changing_) return;
    FlagScope loading(loading_);
    SetText(dbEdit_->Text());
    if (selectAllOnEnter_) SelectAll();
}

void QuorDbEdit::SaveField(const AnsiString& text) {
    if (loading_) return;
    TDataSource* source = DataSource();
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    TField* field = Field();
    if (!dataSet || !dataSet->Active() || !field) return;
    if (dataSet->State() == dsBrowse) dataSet->Edit();
    try {
        field->SetAsString(text);
    } catch (const EConvertError&) {
    } catch (const EVariantError&) {
    } catch (const ERangeError&) {
        // Rejected text: the field keeps its value, the control what was typed.
    }
}

namespace {

bool EndsText(const std::string& text, std::size_t i) {
    // A line break ends the value: LF, or the CR of a CR LF pair.
    return text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
}

} // namespace

void QuorDbEdit::DeleteFormat(const AnsiString& text, AnsiString& raw, int& decimalPos,
                              const int& caret, int& rawCaret, char removed, char decimal) {
    const std::string& in = text.str();
    std::string out;
    out.reserve(in.size());
    rawCaret = caret;
    for (std::size_t k = 0; k < in.size() && !EndsText(in, k); ++k) {
        const char c = in[k];
        const int i = static_cast<int>(k) + 1;
        if (c == removed || c == ' ') {
            if (i <= caret) --rawCaret;
            continue;
        }
        if (decimal != 0 && c == decimal) decimalPos = static_cast<int>(out.size());
        out += c;
    }
    raw = AnsiString(std::move(out));
}

void QuorDbEdit::FormatNumeric(const AnsiString& text, AnsiString& display, AnsiString& raw,
                               int& rawCaret, int& caret) {
    const TFormatSettings& fs = FormatSettings();
    int decimalPos = 0;
    DeleteFormat(text, raw, decimalPos, caret, rawCaret, fs.ThousandSeparator,
                 fs.DecimalSeparator);
    const std::string& r = raw.str();
    if (decimalPos == 0) decimalPos = static_cast<int>(r.size());
    std::string out;
    out.reserve(r.size() + r.size() / 3 + 1);
    int inserted = 0;
    for (std::size_t k = 0; k < r.size(); ++k) {
        const int i = static_cast<int>(k) + 1;
        out += r[k];
        if (r[k] != '-' && i < decimalPos && (decimalPos - i) % 3 == 0) {
            out += fs.ThousandSeparator;
            if (i <= rawCaret) ++inserted;
        }
    }
    display = AnsiString(std::move(out));
    caret = rawCaret + inserted;
}

void QuorDbEdit::FormatDate(const AnsiString& text, AnsiString& display, AnsiString& raw,
                            int& rawCaret, int& caret) {
    const char sep = FormatSettings().DateSeparator;
    int decimalPos = 0;
    DeleteFormat(text, raw, decimalPos, caret, rawCaret, sep, 0);
    // Nothing typed shows nothing, not two lone separators.
    if (raw.IsEmpty()) {
        display = AnsiString();
        caret = 0;
        return;
    }
    display = raw.SubString(1, 2) + AnsiString(sep) + raw.SubString(3, 2) + AnsiString(sep) +
              raw.SubString(5, 4);
    caret = rawCaret;
    if (caret >= 2) ++caret;
    if (caret >= 5) ++caret;
}

QuorDbEdit::Kind QuorDbEdit::FieldKind() const {
    const TField* field = Field();
    if (!field) return Kind::Text;
    switch (field->DataType()) {
    case ftInteger:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
        return Kind::Number;
    case ftDate:
    case ftDateTime:
        return Kind::Date;
    default:
        return Kind::Text;
    }
}

void QuorDbEdit::Change() {
    if (changing_) return;
    Reformat(Text(), SelStart(), false);
}

void QuorDbEdit::Reformat(const AnsiString& text, int caret, bool typed) {
    // A field that refuses the edit (a record locked elsewhere) is reported
    // once the control shows what was typed.
    std::exception_ptr failure;
    {
        FlagScope changing(changing_);
        const int caretAsTyped = caret;
        AnsiString display = text;
        AnsiString raw = text;
        int rawCaret = caret;
        const Kind kind = formatted_ ? FieldKind() : Kind::Text;
        if (kind == Kind::Number) {
            FormatNumeric(text, display, raw, rawCaret, caret);
            if (raw == "-") raw = "0";
            try {
                SaveField(raw);
            } catch (...) {
                failure = std::current_exception();
            }
        } else if (kind == Kind::Date) {
            try {
                FormatDate(text, display, raw, rawCaret, caret);
                // An emptied date clears the field; a partial one waits.
                if (raw.IsEmpty())
                    SaveField(AnsiString());
                else if (display.Length() > 6)
                    SaveField(display);
            } catch (...) {
            }
        } else {
            try {
                SaveField(text);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        // A text the formatting leaves as it is keeps the caret where it was
        // typed.
        if (display == text) caret = caretAsTyped;
        if (Text() != display)
            ReplaceText(display, caret);
        else if (typed)
            SetSelStart(caret);
    }
    if (failure) std::rethrow_exception(failure);
    TCustomMemo::Change();
}

bool QuorDbEdit::EditsKeysItself() const {
    if (!formatted_ || ReadOnly() || !ExistingWidget() || FieldKind() == Kind::Text) return false;
    return Text().str().find_first_of("\r\n") == std::string::npos;
}

void QuorDbEdit::Retype(const std::string& with, int caretStep) {
    std::string text = Text().str();
    const int start = SelStart();
    text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(SelLength()), with);
    Reformat(AnsiString(text), start + caretStep, true);
}

void QuorDbEdit::KeyDown(unsigned short& key, TShiftState shift) {
    TCustomMemo::KeyDown(key, shift);
    shortcutKey_ = shift.Contains(ssCtrl) || shift.Contains(ssAlt);
    // Backspace is a character: it waits for KeyPress, where the form sees
    // it and may refuse it.
    backspace_ = key == VK_BACK && formatted_ && !shift.Contains(ssCtrl);
    if (key != VK_DELETE || !formatted_ || shift.Contains(ssCtrl)) return;
    // Shift+Delete cuts: the widget's own.
    if (Erase(false, !shift.Contains(ssShift))) key = 0;
}

bool QuorDbEdit::Erase(bool back, bool itself) {
    const Kind kind = FieldKind();
    if (kind == Kind::Text) return false;
    if (SelLength() == 0) {
        const char sep = kind == Kind::Number ? FormatSettings().ThousandSeparator
                                              : FormatSettings().DateSeparator;
        const AnsiString current = Text();
        const std::string& text = current.str();
        const int length = static_cast<int>(text.size());
        int caret = SelStart();
        // The formatting would put a deleted separator straight back: step
        // over the separators so that the key takes the character beyond them.
        if (back) {
            int q = caret;
            while (q > 0 && text[static_cast<size_t>(q - 1)] == sep)
                --q;
            if (q != caret && q > 0) SetSelStart(q);
        } else {
            int q = caret;
            while (q < length && text[static_cast<size_t>(q)] == sep)
                ++q;
            if (q != caret && q < length) SetSelStart(q);
        }
    }
    if (!itself || !EditsKeysItself()) return false;
    if (SelLength() == 0) {
        const int caret = SelStart();
        const int length = Text().Length();
        if (back ? caret == 0 : caret == length) return true;
        SetSelStart(back ? caret - 1 : caret);
        SetSelLength(1);
    }
    Retype(std::string(), 0);
    return true;
}

void QuorDbEdit::KeyPress(char& key) {
    TCustomMemo::KeyPress(key);
    const bool backspace = std::exchange(backspace_, false);
    const bool shortcut = std::exchange(shortcutKey_, false);
    if (key == 8 && backspace) {
        if (Erase(true, true)) key = 0;
        return;
    }
    if (key == 13 && !multiLine_)
        key = 0;
    else if (key == '.' && pointToComma_)
        key = ',';
    if (static_cast<unsigned char>(key) >= 0x20 && key != 0x7F && !shortcut &&
        EditsKeysItself()) {
        Retype(std::string(1, key), 1);
        key = 0;
    }
}

void QuorDbEdit::SetWidgetText(const AnsiString& text) {
    auto* editor = qobject_cast<QPlainTextEdit*>(ExistingWidget());
    // Line breaks take the memo's own conversion.
    if (!editor || text.str().find_first_of("\r\n") != std::string::npos) {
        TCustomMemo::SetWidgetText(text);
        return;
    }
    const QString wanted = ToQString(text);
    const QString current = editor->toPlainText();
    if (current.contains(QChar('\n'))) {
        TCustomMemo::SetWidgetText(text);
        return;
    }
    qsizetype head = 0;
    const qsizetype shortest = std::min(current.size(), wanted.size());
    while (head < shortest && current[head] == wanted[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shortest - head &&
           current[current.size() - 1 - tail] == wanted[wanted.size() - 1 - tail])
        ++tail;
    QTextCursor cursor(editor->document());
    cursor.beginEditBlock();
    cursor.setPosition(static_cast<int>(head));
    cursor.setPosition(static_cast<int>(current.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(wanted.mid(head, wanted.size() - head - tail));
    cursor.endEditBlock();
}

void QuorDbEdit::DoEnter() {
    TCustomMemo::DoEnter();
    if (selectAllOnEnter_) SelectAll();
}

void Quordbedit::Register() {
    RegisterComponent<QuorDbEdit>("Quor", "QuorDbEdit");
}
