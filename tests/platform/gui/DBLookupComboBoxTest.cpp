#include "GuiTestSupport.h"

#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Table.h"
#include "platform/gui/DBLookupComboBox.h"
#include "platform/gui/Edit.h"
#include "platform/gui/Form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QTest>

#include <string>
#include <vector>

namespace {

const char* kSchema = R"sql(
create table Causali(IdCausale integer primary key, Nome varchar(40));
insert into Causali values (10, 'Acqua'), (20, 'Luce'), (30, 'Pulizie'), (40, 'Portierato');
create table MovConti(Id integer primary key, IdCausale integer);
insert into MovConti values (1, 20), (2, 99), (3, null);
)sql";

class LookupFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        static int serial = 0;
        alias = "GuiLookup" + std::to_string(++serial);
        MakeArchive(dir, alias, kSchema);
        causali = MakeTable("Causali");
        movimenti = MakeTable("MovConti");
        listSource = new TDataSource(&form);
        listSource->SetDataSet(causali);
        source = new TDataSource(&form);
        source->SetDataSet(movimenti);
        causali->Open();
        movimenti->Open();
        form.SetBounds(0, 0, 300, 200);
        box = new TDBLookupComboBox(&form);
        box->SetParent(&form);
        box->SetBounds(10, 10, 150, 22);
        box->SetListSource(listSource);
        box->SetListField("Nome");
        box->SetKeyField("IdCausale");
        box->SetDataSource(source);
        box->SetDataField("IdCausale");
        box->OnClick = [this](TObject*) { events.push_back("click"); };
        box->OnDropDown = [this](TObject*) { events.push_back("drop"); };
        box->OnCloseUp = [this](TObject*) { events.push_back("close"); };
        form.Show();
        widget = qobject_cast<QComboBox*>(box->Widget());
    }
    TTable* MakeTable(const char* name) {
        auto* t = new TTable(&form);
        t->SetDatabaseName(alias);
        t->SetTableName(name);
        return t;
    }
    int Causale() const { return movimenti->FieldByName("IdCausale")->AsInteger(); }
    QListWidget* List() const {
        return qobject_cast<QListWidget*>(QApplication::activePopupWidget());
    }

    TempDir dir;
    std::string alias;
    TForm form;
    TTable* causali = nullptr;
    TTable* movimenti = nullptr;
    TDataSource* listSource = nullptr;
    TDataSource* source = nullptr;
    TDBLookupComboBox* box = nullptr;
    QComboBox* widget = nullptr;
    std::vector<std::string> events;
};

} // namespace

TEST_F(LookupFixture, ShowsTheNameOfTheKeyAndFollowsBothDatasets) {
    EXPECT_EQ(box->ListCount(), 4);
    EXPECT_EQ(box->ListText(3), AnsiString("Portierato"));
    EXPECT_EQ(box->ListKey(2), Variant(30));
    EXPECT_EQ(box->Text(), AnsiString("Luce"));
    EXPECT_EQ(widget->currentText(), QString("Luce"));
    movimenti->Next(); // a key no name has
    EXPECT_EQ(box->Text(), AnsiString());
    EXPECT_EQ(widget->currentIndex(), -1);
    movimenti->Next(); // null
    EXPECT_EQ(box->Text(), AnsiString());
    movimenti->First();
    // A name changed in the list shows at once.
    causali->Locate("IdCausale", Variant(20));
    causali->Edit();
    causali->FieldByName("Nome")->SetAsString("Energia");
    causali->Post();
    EXPECT_EQ(box->Text(), AnsiString("Energia"));
    EXPECT_EQ(widget->currentText(), QString("Energia"));
    EXPECT_EQ(movimenti->State(), dsBrowse);
    EXPECT_TRUE(events.empty());
}

TEST_F(LookupFixture, ArrowsAndTypedLettersChooseAndRunOnClick) {
    QTest::keyClick(widget, Qt::Key_Down);
    EXPECT_EQ(Causale(), 30);
    EXPECT_EQ(movimenti->State(), dsEdit);
    QTest::keyClick(widget, Qt::Key_Up);
    QTest::keyClick(widget, Qt::Key_Up);
    EXPECT_EQ(Causale(), 10);
    QTest::keyClick(widget, Qt::Key_Up); // already first
    EXPECT_EQ(Causale(), 10);
    QTest::keyClicks(widget, "po");
    EXPECT_EQ(Causale(), 40);
    QTest::keyClicks(widget, "x"); // no name goes on with "pox"
    EXPECT_EQ(Causale(), 40);
    QTest::keyClick(widget, Qt::Key_Backspace); // the search starts again
    QTest::keyClicks(widget, "l");
    EXPECT_EQ(Causale(), 20);
    EXPECT_EQ(events, std::vector<std::string>(6, "click"));
    movimenti->Post();
}

TEST_F(LookupFixture, CtrlTabPassesToThePagesWhileTheListIsClosed) {
    // Through the window system: a key the box lets pass reaches the form.
    // With the list open, the window system hands the keys to the list.
    KeysReaching formKeys(form.Widget());
    const auto press = [this, &formKeys](QWidget* target, int key,
                                         Qt::KeyboardModifiers modifiers) {
        formKeys.Clear();
        if (target == widget)
            TypeInto(widget, static_cast<Qt::Key>(key), QString(), modifiers);
        else
            TypeKey(form.Widget(), static_cast<Qt::Key>(key), modifiers);
        return !formKeys.Saw(key);
    };
    EXPECT_FALSE(press(widget, Qt::Key_Tab, Qt::ControlModifier));
    EXPECT_FALSE(press(widget, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(Causale(), 20);
    EXPECT_EQ(movimenti->State(), dsBrowse);
    // With the list open the box keeps the keyboard.
    QTest::keyClick(widget, Qt::Key_F4);
    ASSERT_TRUE(box->ListVisible());
    EXPECT_TRUE(press(List(), Qt::Key_Tab, Qt::ControlModifier));
    EXPECT_TRUE(box->ListVisible());
    EXPECT_EQ(events, std::vector<std::string>{"drop"});
}

TEST_F(LookupFixture, TheListOpensWithTheCurrentNameAndClosesWithOrWithoutAChoice) {
    QTest::keyClick(widget, Qt::Key_F4);
    ASSERT_TRUE(box->ListVisible());
    QListWidget* list = List();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentRow(), 1);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(Causale(), 20);
    EXPECT_EQ(movimenti->State(), dsBrowse);

    box->DropDown();
    QTest::keyClick(List(), Qt::Key_End);
    EXPECT_EQ(box->ListIndex(), 3);
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(Causale(), 40);

    // A click on a name takes it.
    box->DropDown();
    list = List();
    ASSERT_NE(list, nullptr);
    const QRect first = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(Causale(), 10);
    EXPECT_EQ(events, (std::vector<std::string>{"drop", "close", "drop", "click", "close", "drop",
                                                "click", "close"}));
}

TEST_F(LookupFixture, WithoutADataSourceTheBoxKeepsItsOwnValueAndReadOnlyKeepsIt) {
    box->SetDataSource(nullptr);
    box->SetDataField("");
    EXPECT_TRUE(box->KeyValue().IsNull());
    box->SetKeyValue(Variant(30));
    EXPECT_EQ(box->Text(), AnsiString("Pulizie"));
    QTest::keyClick(widget, Qt::Key_Down);
    EXPECT_EQ(box->KeyValue(), Variant(40));
    box->SetReadOnly(true);
    QTest::keyClick(widget, Qt::Key_Up);
    QTest::keyClicks(widget, "a");
    EXPECT_EQ(box->KeyValue(), Variant(40));
    EXPECT_EQ(movimenti->State(), dsBrowse);
}

// Opening the list moves Qt's focus to the popup for a moment; the box keeps
// the focus as the form sees it, and its list stays down until the user
// closes it or the focus really goes elsewhere.
TEST_F(LookupFixture, AFocusedBoxDropsItsListFromTheKeyboardAndKeepsItDown) {
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(10, 160, 150, 22);
    int enters = 0;
    int exits = 0;
    box->OnEnter = [&](TObject*) { ++enters; };
    box->OnExit = [&](TObject*) { ++exits; };
    ASSERT_TRUE(GiveFocus(widget)) << "the platform does not activate windows";
    EXPECT_EQ(enters, 1);

    KeyToWindow(widget, Qt::Key_F4);
    QApplication::processEvents();
    ASSERT_TRUE(box->ListVisible());
    ASSERT_NE(List(), nullptr);
    EXPECT_TRUE(List()->isVisible());
    // The arrows move within the list, Escape closes it unchanged.
    KeyToWindow(widget, Qt::Key_Down);
    EXPECT_EQ(box->ListIndex(), 2);
    EXPECT_TRUE(box->ListVisible());
    KeyToWindow(widget, Qt::Key_Escape);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(Causale(), 20);
    EXPECT_TRUE(widget->hasFocus());

    KeyToWindow(widget, Qt::Key_Down, Qt::AltModifier);
    QApplication::processEvents();
    ASSERT_TRUE(box->ListVisible());
    KeyToWindow(widget, Qt::Key_Up);
    KeyToWindow(widget, Qt::Key_Return);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(Causale(), 10);

    // Called by the program on the focused box, too.
    box->DropDown();
    QApplication::processEvents();
    EXPECT_TRUE(box->ListVisible());
    KeyToWindow(widget, Qt::Key_F4);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 0);

    // A click on a name takes it, and the box keeps the focus.
    box->DropDown();
    QApplication::processEvents();
    QListWidget* list = List();
    ASSERT_NE(list, nullptr);
    const QPoint name = list->viewport()->mapToGlobal(list->visualItemRect(list->item(2)).center());
    QTest::mouseClick(form.Widget()->windowHandle(), Qt::LeftButton, {},
                      form.Widget()->mapFromGlobal(name));
    QApplication::processEvents();
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(Causale(), 30);
    EXPECT_TRUE(widget->hasFocus());
    EXPECT_EQ(exits, 0);

    // A click elsewhere closes the list unchanged; the focus going to
    // another control leaves the box.
    box->DropDown();
    QApplication::processEvents();
    ASSERT_TRUE(box->ListVisible());
    QWidget* edit = other->Widget();
    QTest::mouseClick(form.Widget()->windowHandle(), Qt::LeftButton, {},
                      edit->mapTo(form.Widget(), edit->rect().center()));
    QApplication::processEvents();
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(List(), nullptr);
    EXPECT_EQ(Causale(), 30);
    other->SetFocus();
    QApplication::processEvents();
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"drop", "close", "drop", "click", "close", "drop",
                                                "close", "drop", "click", "close", "drop",
                                                "close"}));
    movimenti->Post();
}
