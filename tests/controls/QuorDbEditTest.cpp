#include "ControlsTestSupport.h"

#include "controls/QuorDbEdit.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Table.h"
#include "platform/gui/Edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* kSchema = R"sql(
create table Movimenti(Id integer primary key, Quantita integer, Importo numeric(15,2),
                       Data date, Peso double, Nota varchar(60));
insert into Movimenti values
  (1, 1234, 1234.5, '2012-12-25', 2.5, 'prima'),
  (2, 98765, 12, '2004-03-12', 0.25, 'seconda'),
  (3, null, null, null, null, null);
)sql";

class QuorDbEditTest : public ArchiveFixture {
protected:
    void SetUp() override {
        MakeTables(kSchema);
        table = Table("Movimenti");
        source = Source(table);
        table->Open();
        form_.SetBounds(0, 0, 400, 200);
        edit = new QuorDbEdit(&form_);
        edit->SetParent(&form_);
        edit->SetBounds(10, 10, 300, 60);
        widget = edit->Widget();
    }

    // Binds the edit to a field of record id, formatted.
    void Bind(const char* field, int id, bool formatted = true) {
        ASSERT_TRUE(table->Locate("Id", Variant(id)));
        edit->SetFormatted(formatted);
        edit->SetDataSource(source);
        edit->SetDataField(field);
    }
    std::string Shown() const { return edit->Text().str(); }
    int Caret() const { return edit->SelStart(); }
    std::string Stored(const char* field) const {
        TField* f = table->FieldByName(field);
        return f->IsNull() ? "<null>" : f->AsString().str();
    }
    void PutCaret(int position) { edit->SetSelStart(position); }

    struct Step {
        QString key;
        std::string shown;
        int caret;
        std::string stored;
    };
    void Expect(const char* field, const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            TypeKeys(widget, s.key);
            EXPECT_EQ(Shown(), s.shown) << "after " << s.key.toStdString();
            EXPECT_EQ(Caret(), s.caret) << "after " << s.key.toStdString();
            EXPECT_EQ(Stored(field), s.stored) << "after " << s.key.toStdString();
        }
    }

    TTable* table = nullptr;
    TDataSource* source = nullptr;
    QuorDbEdit* edit = nullptr;
    QWidget* widget = nullptr;
};

} // namespace

TEST_F(QuorDbEditTest, DigitsOfAnIntegerGetThousandsSeparatorsAndAreStoredPlain) {
    Bind("Quantita", 3);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(table->State(), dsBrowse);
    Expect("Quantita", {{"1", "1", 1, "1"},
                        {"2", "12", 2, "12"},
                        {"3", "123", 3, "123"},
                        {"4", "1.234", 5, "1234"},
                        {"5", "12.345", 6, "12345"},
                        {"6", "123.456", 7, "123456"},
                        {"7", "1.234.567", 9, "1234567"}});
    EXPECT_EQ(table->State(), dsEdit);
    table->Post();
    EXPECT_EQ(Value("select Quantita from Movimenti where Id = 3"), "1234567");
}

TEST_F(QuorDbEditTest, TypingInsideANumberKeepsTheCaretAfterTheNewDigit) {
    Bind("Quantita", 3);
    TypeKeys(widget, "1234567");
    PutCaret(3); // after "1.2"
    TypeKeys(widget, "9");
    EXPECT_EQ(Shown(), "12.934.567");
    EXPECT_EQ(Caret(), 4);
    EXPECT_EQ(Stored("Quantita"), "12934567");
    // Before the first digit.
    PutCaret(0);
    TypeKeys(widget, "5");
    EXPECT_EQ(Shown(), "512.934.567");
    EXPECT_EQ(Caret(), 1);
    // A digit typed just before a separator: the separators move around it
    // and the caret passes the one that now follows it.
    PutCaret(3); // "512|.934.567"
    TypeKeys(widget, "0");
    EXPECT_EQ(Shown(), "5.120.934.567");
    EXPECT_EQ(Caret(), 6);
    // Beyond the integer range: the field keeps the last value it could take.
    EXPECT_EQ(Stored("Quantita"), "512934567");
}

TEST_F(QuorDbEditTest, DecimalsSignsAndALoneMinus) {
    Bind("Importo", 3);
    Expect("Importo", {{"1", "1", 1, "1"},
                       {"234", "1.234", 5, "1234"},
                       {",", "1.234,", 6, "1234"},
                       {"5", "1.234,5", 7, "1234,5"}});
    edit->SetText("");
    EXPECT_EQ(Stored("Importo"), "<null>");
    // A decimal separator typed first: the digits after it are grouped too.
    Expect("Importo", {{",", ",", 1, "<null>"}, {"1234", ",1.234", 6, "0,12"}});
    edit->SetText("");
    // A lone minus shows as typed and stores 0; the sign takes no separator.
    Expect("Importo", {{"-", "-", 1, "0"}, {"123", "-123", 4, "-123"}, {"4", "-1.234", 6, "-1234"}});
}

TEST_F(QuorDbEditTest, ThePointKeyCanTypeTheDecimalComma) {
    Bind("Peso", 3);
    edit->SetPointToComma(true);
    TypeKeys(widget, "1234.5");
    EXPECT_EQ(Shown(), "1.234,5");
    EXPECT_EQ(Stored("Peso"), "1234,5");
    // Without it the point is the thousands separator and vanishes.
    edit->SetPointToComma(false);
    edit->SetText("");
    TypeKeys(widget, "12.5");
    EXPECT_EQ(Shown(), "125");
    EXPECT_EQ(Stored("Peso"), "125");
}

TEST_F(QuorDbEditTest, DatesTakeTheirSeparatorsAndAreStoredOnceLongEnough) {
    Bind("Data", 3);
    // A text that already has its layout keeps the caret where it was typed.
    Expect("Data", {{"2", "2//", 1, "<null>"},
                    {"5", "25//", 2, "<null>"},
                    {"1", "25/1/", 4, "<null>"},
                    {"2", "25/12/", 5, "<null>"},
                    {"2", "25/12/2", 7, "25/12/2002"},
                    {"0", "25/12/20", 8, "25/12/2020"},
                    {"1", "25/12/201", 9, "25/12/0201"},
                    {"2", "25/12/2012", 10, "25/12/2012"},
                    // A ninth digit is dropped.
                    {"9", "25/12/2012", 10, "25/12/2012"}});
    table->Post();
    EXPECT_EQ(Value("select Data from Movimenti where Id = 3"), "2012-12-25");
}

TEST_F(QuorDbEditTest, BackspaceCanEraseAFormattedDateAndANumberToTheEnd) {
    Bind("Data", 1);
    EXPECT_EQ(Shown(), "25/12/2012");
    PutCaret(10);
    std::vector<std::string> seen;
    for (int i = 0; i < 10 && !Shown().empty(); ++i) {
        PressKey(widget, Qt::Key_Backspace);
        seen.push_back(Shown());
    }
    const std::vector<std::string> expected{"25/12/201", "25/12/20", "25/12/2", "25/12/",
                                            "25/1/",     "25//",     "2//",     ""};
    EXPECT_EQ(seen, expected);
    // Emptied of digits, the date is gone from the field too.
    EXPECT_EQ(Stored("Data"), "<null>");
    table->Post();
    EXPECT_EQ(Value("select Data from Movimenti where Id = 1"), "<null>");

    Bind("Quantita", 2);
    EXPECT_EQ(Shown(), "98.765");
    PutCaret(6);
    for (int i = 0; i < 8 && !Shown().empty(); ++i)
        PressKey(widget, Qt::Key_Backspace);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Stored("Quantita"), "<null>");
}

TEST_F(QuorDbEditTest, BackspaceAfterAndDeleteBeforeASeparatorTakeTheDigitBeyondIt) {
    Bind("Quantita", 3);
    TypeKeys(widget, "1234567");
    PutCaret(2); // "1.|234.567"
    PressKey(widget, Qt::Key_Backspace);
    EXPECT_EQ(Shown(), "234.567");
    EXPECT_EQ(Caret(), 0);
    EXPECT_EQ(Stored("Quantita"), "234567");
    PutCaret(3); // "234|.567"
    PressKey(widget, Qt::Key_Delete);
    EXPECT_EQ(Shown(), "23.467");
    EXPECT_EQ(Caret(), 4); // "23.4|67"

    EXPECT_EQ(Stored("Quantita"), "23467");
    // Inside the digits the keys work as usual.
    PutCaret(1);
    PressKey(widget, Qt::Key_Delete);
    EXPECT_EQ(Shown(), "2.467");
    EXPECT_EQ(Stored("Quantita"), "2467");
}

TEST_F(QuorDbEditTest, ASelectionIsReplacedOrErasedAndEachKeyIsOneUndoStep) {
    Bind("Quantita", 1);
    EXPECT_EQ(Shown(), "1.234");
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetSelStart(1);
    edit->SetSelLength(3); // "1[.23]4"
    TypeKeys(widget, "9");
    EXPECT_EQ(Shown(), "194");
    EXPECT_EQ(Caret(), 2);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(Stored("Quantita"), "194");
    EXPECT_EQ(changes, 1);
    edit->SelectAll();
    PressKey(widget, Qt::Key_Delete);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Stored("Quantita"), "<null>");
    // Backspace at the start and Delete at the end have nothing to take.
    TypeKeys(widget, "56");
    PutCaret(0);
    PressKey(widget, Qt::Key_Backspace);
    PutCaret(2);
    PressKey(widget, Qt::Key_Delete);
    EXPECT_EQ(Shown(), "56");
    // Undo takes back one key at a time, the field following.
    PressKey(widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(), "5");
    EXPECT_EQ(Stored("Quantita"), "5");
    PressKey(widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(), "");
    PressKey(widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(), "194");
    EXPECT_EQ(Stored("Quantita"), "194");
    PressKey(widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(), "1.234");
    EXPECT_EQ(Stored("Quantita"), "1234");
    // A read-only control takes no key at all.
    edit->SetReadOnly(true);
    PutCaret(3);
    TypeKeys(widget, "7");
    PressKey(widget, Qt::Key_Backspace);
    EXPECT_EQ(Shown(), "1.234");
    EXPECT_EQ(Stored("Quantita"), "1234");
}

TEST_F(QuorDbEditTest, EnterIsSwallowedUnlessMultiLine) {
    Bind("Nota", 3, false);
    TypeKeys(widget, "uno");
    PressKey(widget, Qt::Key_Return);
    TypeKeys(widget, "due");
    EXPECT_EQ(Shown(), "unodue");
    edit->SetMultiLine(true);
    PressKey(widget, Qt::Key_Return);
    TypeKeys(widget, "tre");
    EXPECT_EQ(Shown(), "unodue\r\ntre");
    EXPECT_EQ(Stored("Nota"), "unodue\r\ntre");
}

TEST_F(QuorDbEditTest, FormattingStopsAtALineBreak) {
    Bind("Quantita", 3);
    edit->SetText("1234\r\n5678");
    EXPECT_EQ(Shown(), "1.234");
    EXPECT_EQ(Stored("Quantita"), "1234");
    Bind("Data", 3);
    edit->SetText("251\n2012");
    EXPECT_EQ(Shown(), "25/1/");
}

TEST_F(QuorDbEditTest, ALoadedRecordIsFormattedButNeverWrittenBack) {
    Bind("Importo", 1);
    EXPECT_EQ(Shown(), "1.234,5");
    // Loading selects the whole text.
    EXPECT_EQ(edit->SelLength(), 7);
    table->Next();
    EXPECT_EQ(Shown(), "12");
    table->Prior();
    EXPECT_EQ(Shown(), "1.234,5");
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_FALSE(table->Modified());
    EXPECT_EQ(Value("select Importo from Movimenti where Id = 1"), "1234.5");
    // Another field of the record changing reloads nothing.
    table->Edit();
    table->FieldByName("Nota")->SetAsString("cambiata");
    EXPECT_EQ(Shown(), "1.234,5");
    table->FieldByName("Importo")->SetAsString("98765,4");
    EXPECT_EQ(Shown(), "98.765,4");
    table->Cancel();
    EXPECT_EQ(Shown(), "1.234,5");
}

TEST_F(QuorDbEditTest, ATextTheFieldRejectsStaysOnScreenAndTheFieldKeepsItsValue) {
    Bind("Quantita", 1);
    PutCaret(5);
    TypeKeys(widget, "x");
    // Other characters stay and count in the grouping.
    EXPECT_EQ(Shown(), "12.34x");
    EXPECT_EQ(Stored("Quantita"), "1234");
    PressKey(widget, Qt::Key_Backspace);
    TypeKeys(widget, "5");
    EXPECT_EQ(Shown(), "12.345");
    EXPECT_EQ(Stored("Quantita"), "12345");
}

TEST_F(QuorDbEditTest, PlainTextIsSavedAtEveryKeyAndOnChangeSeesTheSavedValue) {
    Bind("Nota", 3, false);
    std::vector<std::string> seenByHandler;
    edit->OnChange = [&](TObject*) { seenByHandler.push_back(Stored("Nota")); };
    TypeKeys(widget, "ab");
    ASSERT_EQ(seenByHandler.size(), 2u);
    EXPECT_EQ(seenByHandler[0], "a");
    EXPECT_EQ(seenByHandler[1], "ab");
    // A formatting change is one change for the form.
    Bind("Quantita", 3);
    seenByHandler.clear();
    edit->OnChange = [&](TObject*) { seenByHandler.push_back(Shown()); };
    TypeKeys(widget, "1234");
    EXPECT_EQ(seenByHandler, (std::vector<std::string>{"1", "12", "123", "1.234"}));
}

TEST_F(QuorDbEditTest, NothingIsSavedBeforeTheFirstBindingAndRebindingFollowsTheNewField) {
    ASSERT_TRUE(table->Locate("Id", Variant(3)));
    TypeKeys(widget, "42");
    EXPECT_EQ(Shown(), "42");
    EXPECT_EQ(table->State(), dsBrowse);
    edit->SetDataSource(source);
    EXPECT_EQ(Shown(), "");
    edit->SetDataField("Nota");
    ASSERT_TRUE(table->Locate("Id", Variant(1)));
    EXPECT_EQ(Shown(), "prima");
    edit->SetDataField("Peso");
    EXPECT_EQ(Shown(), "2,5");
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(QuorDbEditTest, FormattedTurnsOffReturnsTabsAndWrapping) {
    EXPECT_TRUE(edit->WantReturns());
    EXPECT_TRUE(edit->WordWrap());
    edit->SetWantTabs(true);
    edit->SetFormatted(true);
    EXPECT_FALSE(edit->WantReturns());
    EXPECT_FALSE(edit->WantTabs());
    EXPECT_FALSE(edit->WordWrap());
    edit->SetWordWrap(true);
    edit->SetFormatted(false);
    EXPECT_TRUE(edit->WordWrap());
    EXPECT_FALSE(edit->WantReturns());
}

TEST_F(QuorDbEditTest, EnteringSelectsTheWholeTextWhenAsked) {
    Bind("Nota", 1, false);
    // Another control of the form holds the focus first; the edit is entered
    // from it by Tab and by a click, through the window system.
    auto* other = new TEdit(&form_);
    other->SetParent(&form_);
    other->SetBounds(10, 100, 100, 24);
    int entered = 0;
    edit->OnEnter = [&](TObject*) { ++entered; };
    QWidget* otherWidget = other->Widget();
    otherWidget->setFocusPolicy(Qt::StrongFocus);
    ASSERT_TRUE(GiveFocus(otherWidget)) << "the platform does not activate windows";
    QWindow* window = widget->window()->windowHandle();

    for (const bool byClick : {false, true}) {
        SCOPED_TRACE(byClick ? "by a click" : "by Tab");
        for (const bool selectAll : {true, false}) {
            SCOPED_TRACE(selectAll ? "select all" : "as it was");
            edit->SetSelectAllOnEnter(selectAll);
            ASSERT_TRUE(GiveFocus(otherWidget));
            edit->SetSelStart(2);
            entered = 0;
            if (byClick)
                QTest::mouseClick(window, Qt::LeftButton, {},
                                  widget->mapTo(widget->window(), QPoint(4, 6)));
            else
                KeyToWindow(otherWidget, Qt::Key_Tab);
            ASSERT_TRUE(widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget()));
            EXPECT_EQ(entered, 1);
            if (byClick) {
                // The click that enters then puts the caret where it falls, as on
                // the system the control comes from: before the first letter here.
                EXPECT_EQ(edit->SelStart(), 0);
                EXPECT_EQ(edit->SelLength(), 0);
            } else if (selectAll) {
                EXPECT_EQ(edit->SelStart(), 0);
                EXPECT_EQ(edit->SelLength(), 5);
            } else {
                EXPECT_EQ(edit->SelStart(), 2);
                EXPECT_EQ(edit->SelLength(), 0);
            }
        }
    }
}

TEST_F(QuorDbEditTest, ALockedRecordIsReportedAndTheTextStays) {
    Bind("Nota", 1, false);
    table->SetActive(false);
    table->SetReadOnly(true);
    table->Open();
    ASSERT_TRUE(table->Locate("Id", Variant(1)));
    ScopedScriptedDialogs dialogs;
    PutCaret(5);
    TypeKeys(widget, "!");
    EXPECT_EQ(Shown(), "prima!");
    EXPECT_EQ(Stored("Nota"), "prima");
    // The refusal went to the application's error display.
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].kind, ScriptedDialogs::Kind::ShowException);
}

TEST_F(QuorDbEditTest, ADataSourceDestroyedFirstLeavesTheControlUnbound) {
    Bind("Nota", 1, false);
    delete source;
    EXPECT_EQ(edit->DataSource(), nullptr);
    EXPECT_EQ(Shown(), "");
    TypeKeys(widget, "x");
    EXPECT_EQ(Shown(), "x");
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(QuorDbEditTest, ANumberBeyondTheIntegerRangeStaysOnScreenAndIsNotStored) {
    Bind("Quantita", 3);
    TypeKeys(widget, "214748364");
    EXPECT_EQ(Stored("Quantita"), "214748364");
    TypeKeys(widget, "8");
    EXPECT_EQ(Shown(), "2.147.483.648");
    EXPECT_EQ(Stored("Quantita"), "214748364");
    EXPECT_EQ(table->FieldByName("Quantita")->AsInteger(), 214748364);
    PressKey(widget, Qt::Key_Backspace);
    TypeKeys(widget, "7");
    EXPECT_EQ(Stored("Quantita"), "2147483647");
    table->Post();
    EXPECT_EQ(Value("select Quantita from Movimenti where Id = 3"), "2147483647");
}

// The form's key handler sees Backspace as character 8 in both modes, and
// may refuse it; the formatting of a formatted edit comes only with a key
// that goes through.
TEST_F(QuorDbEditTest, TheFormSeesBackspaceAndMayRefuseItInBothModes) {
    Bind("Quantita", 1);
    std::vector<int> seen;
    bool refuse = false;
    edit->OnKeyPress = [&](TObject*, char& key) {
        seen.push_back(static_cast<unsigned char>(key));
        if (refuse && key == 8) key = 0;
    };
    ASSERT_TRUE(GiveFocus(widget)) << "the platform does not activate windows";
    for (const bool formatted : {true, false}) {
        SCOPED_TRACE(formatted ? "formatted" : "plain");
        edit->SetFormatted(formatted);
        table->Cancel();
        ASSERT_TRUE(table->Locate("Id", Variant(1)));
        ASSERT_EQ(Stored("Quantita"), "1234");
        const std::string before = Shown();
        EXPECT_EQ(before, formatted ? "1.234" : "1234");
        PutCaret(static_cast<int>(before.size()));
        seen.clear();
        refuse = true;
        KeyToWindow(widget, Qt::Key_Backspace);
        EXPECT_EQ(seen, std::vector<int>{8});
        EXPECT_EQ(Shown(), before);
        EXPECT_EQ(Stored("Quantita"), "1234");
        refuse = false;
        KeyToWindow(widget, Qt::Key_Backspace);
        EXPECT_EQ(seen, (std::vector<int>{8, 8}));
        EXPECT_EQ(Shown(), "123");
        EXPECT_EQ(Stored("Quantita"), "123");
        // Just after a separator, Backspace takes the digit before it.
        TypeKeys(widget, "4");
        if (formatted) {
            PutCaret(2);
            KeyToWindow(widget, Qt::Key_Backspace);
            EXPECT_EQ(Shown(), "234");
            EXPECT_EQ(Stored("Quantita"), "234");
        }
    }
}
