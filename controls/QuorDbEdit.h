#pragma once
// QuorDbEdit: a memo bound to one field that writes every change the user
// types straight into the field (the dataset goes into edit state; posting
// is the form's business). With Formatted on, numbers get thousands
// separators and dates the day/month/year layout while they are typed,
// the caret staying where the user types; the separators are the locale's
// (FormatSettings()).
//
// A form sets DataSource and DataField (either binds at once); optionally
// Formatted, PointToComma (the point key types the decimal comma),
// MultiLine (Enter starts a new line; otherwise it is swallowed) and
// SelectAllOnEnter (on by default: the whole text is selected on entry and
// whenever the field's value is loaded).
//
// The binding runs through an internal TDBEdit that is never shown: it
// follows the field and the record, and its change brings the field's
// display text into the control. A text loaded from the field is formatted
// but never written back; a text the field rejects is kept on screen while
// the field keeps its value. Backspace just after a separator deletes the
// character before it (Delete just before one, the character after it), so
// every digit can be erased; a date emptied of digits makes the field null.
// Backspace reaches the form's OnKeyPress first, as any typed key does, and
// the form may refuse it there.
// OnChange runs after the control's own handling, once for each change of
// its text.

#include "platform/core/AnsiString.h"
#include "platform/gui/Edit.h"

#include <memory>

class TDataSource;
class TDBEdit;
class TField;

class QuorDbEdit : public TCustomMemo {
public:
    explicit QuorDbEdit(TComponent* owner = nullptr);
    ~QuorDbEdit() override;
    QUOR_CLASS_NAME(QuorDbEdit)

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    const AnsiString& DataField() const { return dataField_; }
    void SetDataField(const AnsiString& name);
    // The bound field while its dataset is open, else null.
    TField* Field() const;

    bool Formatted() const { return formatted_; }
    // On also turns WantReturns, WantTabs and WordWrap off.
    void SetFormatted(bool formatted);
    bool PointToComma() const { return pointToComma_; }
    void SetPointToComma(bool pointToComma) { pointToComma_ = pointToComma; }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool multiLine) { multiLine_ = multiLine; }
    bool SelectAllOnEnter() const { return selectAllOnEnter_; }
    void SetSelectAllOnEnter(bool selectAll) { selectAllOnEnter_ = selectAll; }

    // Creates the internal edit when missing and binds it to DataSource and
    // DataField; from then on the control loads and saves.
    void LinkDataSource();
    // The field or the record changed: its text comes into the control.
    void DataChange(TObject* sender);
    // Writes text into the bound field unless a load is in progress; a text
    // the field rejects leaves the field as it was.
    void SaveField(const AnsiString& text);

    // Strips removed characters and spaces from text up to its first line
    // break. raw receives the rest; decimalPos the number of characters of
    // raw before the last decimal character; rawCaret the caret's position
    // in raw, caret being its position in text.
    static void DeleteFormat(const AnsiString& text, AnsiString& raw, int& decimalPos,
                             const int& caret, int& rawCaret, char removed, char decimal);
    // Number layout with thousands separators. caret comes in as the
    // position in text and goes out as the position in display.
    static void FormatNumeric(const AnsiString& text, AnsiString& display, AnsiString& raw,
                              int& rawCaret, int& caret);
    // Day/month/year layout of up to eight characters.
    static void FormatDate(const AnsiString& text, AnsiString& display, AnsiString& raw,
                           int& rawCaret, int& caret);

protected:
    // Formats and saves the text, then raises OnChange.
    void Change() override;
    void KeyDown(unsigned short& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void InitWidget(QWidget* widget) override;
    void FontChanged() override;
    // Replaces only what differs, so that the widget lays out the line once.
    void SetWidgetText(const AnsiString& text) override;

private:
    enum class Kind { Text, Number, Date };
    Kind FieldKind() const;
    // Formats and saves text as the control's text with the caret at caret.
    // typed: the widget does not hold text yet (a key the control edits
    // itself), so the caret is placed even when the formatting gives back
    // what the widget already shows.
    void Reformat(const AnsiString& text, int caret, bool typed);
    // Whether a key's edit goes to Reformat instead of the widget: a
    // formatted number or date on one line rewrites the whole text at every
    // key, and one change lays a long line out once instead of twice.
    bool EditsKeysItself() const;
    // The text with the selection replaced by with, to Reformat.
    void Retype(const std::string& with, int caretStep);
    // Backspace (back) or Delete on a formatted number or date: steps over
    // the separators next to the caret; with itself, also erases and
    // reformats (true: the key is done).
    bool Erase(bool back, bool itself);

    std::unique_ptr<TDBEdit> dbEdit_;
    // Waits here for LinkDataSource; the internal edit holds it afterwards.
    TDataSource* dataSource_ = nullptr;
    AnsiString dataField_;
    bool formatted_ = false;
    bool pointToComma_ = false;
    bool multiLine_ = false;
    bool selectAllOnEnter_ = true;
    // Ctrl or Alt held with the key on its way to KeyPress: a shortcut, the
    // widget's own.
    bool shortcutKey_ = false;
    // A Backspace on its way to KeyPress that the control erases with.
    bool backspace_ = false;
    // Both start set: nothing is loaded or saved before the first binding.
    bool changing_ = true;
    bool loading_ = true;
};

namespace Quordbedit {
// Puts QuorDbEdit on the palette page "Quor".
void Register();
} // namespace Quordbedit
