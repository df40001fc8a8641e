#include "ControlsTestSupport.h"

#include "controls/DBQuorLookupComboBox.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Table.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QTest>

namespace {

const char* kSchema = R"sql(
create table Causali(IdCausale integer primary key, Nome varchar(40));
insert into Causali values (1, 'Acqua'), (2, 'Luce'), (3, 'Pulizie'), (4, 'Portierato');
create table MovConti(Id integer primary key, IdCausale integer, Descrizione varchar(40));
insert into MovConti values (1, 2, 'bolletta'), (2, 3, 'scale'), (3, null, 'vuoto');
)sql";

class QuorLookupTest : public ArchiveFixture {
protected:
    void SetUp() override {
        MakeTables(kSchema);
        causali = Table("Causali");
        movimenti = Table("MovConti");
        listSource = Source(causali);
        source = Source(movimenti);
        causali->Open();
        movimenti->Open();
        form_.SetBounds(0, 0, 300, 100);
        box = new TDBQuorLookupComboBox(&form_);
        box->SetParent(&form_);
        box->SetListSource(listSource);
        box->SetListField("Nome");
        box->SetKeyField("IdCausale");
        box->SetDataSource(source);
        box->SetDataField("IdCausale");
        widget = qobject_cast<QComboBox*>(box->Widget());
        ASSERT_NE(widget, nullptr);
    }
    TField* Causale() const { return movimenti->FieldByName("IdCausale"); }
    QListWidget* OpenList() const {
        return qobject_cast<QListWidget*>(QApplication::activePopupWidget());
    }

    TTable* causali = nullptr;
    TTable* movimenti = nullptr;
    TDataSource* listSource = nullptr;
    TDataSource* source = nullptr;
    TDBQuorLookupComboBox* box = nullptr;
    QComboBox* widget = nullptr;
};

} // namespace

TEST_F(QuorLookupTest, BackspaceOnABrowsingDatasetLeavesTheFieldNull) {
    EXPECT_EQ(box->Text(), AnsiString("Luce"));
    EXPECT_EQ(widget->currentText(), QString("Luce"));
    ASSERT_EQ(movimenti->State(), dsBrowse);
    PressKey(widget, Qt::Key_Backspace);
    EXPECT_EQ(movimenti->State(), dsEdit);
    EXPECT_TRUE(Causale()->IsNull());
    EXPECT_EQ(box->Text(), AnsiString());
    EXPECT_EQ(widget->currentText(), QString());
    EXPECT_EQ(widget->currentIndex(), -1);
    movimenti->Post();
    EXPECT_EQ(Value("select IdCausale from MovConti where Id = 1"), "<null>");
    EXPECT_EQ(Value("select Descrizione from MovConti where Id = 1"), "bolletta");
}

TEST_F(QuorLookupTest, SpaceClearsTooAfterWhatTheBaseBoxDoesWithIt) {
    movimenti->Next();
    EXPECT_EQ(box->Text(), AnsiString("Pulizie"));
    // Typed letters still choose a name by its first letters.
    TypeKeys(widget, "po");
    EXPECT_EQ(Causale()->AsInteger(), 4);
    EXPECT_EQ(box->Text(), AnsiString("Portierato"));
    PressKey(widget, Qt::Key_Space);
    EXPECT_TRUE(Causale()->IsNull());
    EXPECT_EQ(box->Text(), AnsiString());
}

TEST_F(QuorLookupTest, ADisabledBoxOrOneWithoutDataSourceIsNotCleared) {
    box->SetEnabled(false);
    PressKey(widget, Qt::Key_Space);
    PressKey(widget, Qt::Key_Backspace);
    EXPECT_EQ(movimenti->State(), dsBrowse);
    EXPECT_EQ(Causale()->AsInteger(), 2);
    EXPECT_EQ(box->Text(), AnsiString("Luce"));

    // Unbound, the box keeps its own value and the keys only search.
    auto* own = new TDBQuorLookupComboBox(&form_);
    own->SetParent(&form_);
    own->SetListSource(listSource);
    own->SetListField("Nome");
    own->SetKeyField("IdCausale");
    own->SetKeyValue(Variant(1));
    QWidget* ownWidget = own->Widget();
    PressKey(ownWidget, Qt::Key_Space);
    PressKey(ownWidget, Qt::Key_Backspace);
    EXPECT_EQ(own->KeyValue(), Variant(1));
    EXPECT_EQ(own->Text(), AnsiString("Acqua"));
    EXPECT_EQ(movimenti->State(), dsBrowse);
}

TEST_F(QuorLookupTest, BackspaceWithTheListDroppedDownClearsAndClosesIt) {
    form_.Show();
    box->DropDown();
    ASSERT_TRUE(box->ListVisible());
    QListWidget* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 4);
    EXPECT_EQ(list->currentRow(), 1);
    // The list keeps the arrows; every other key goes to the box.
    PressKey(list, Qt::Key_Down);
    EXPECT_EQ(box->ListIndex(), 2);
    PressKey(list, Qt::Key_Backspace);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(Causale()->IsNull());
    EXPECT_EQ(movimenti->State(), dsEdit);
    form_.Close();
}

TEST_F(QuorLookupTest, ADatasetThatCannotEditLeavesTheValueWithoutAMessage) {
    movimenti->Close();
    movimenti->SetReadOnly(true);
    movimenti->Open();
    ScopedScriptedDialogs dialogs;
    PressKey(widget, Qt::Key_Backspace);
    EXPECT_EQ(movimenti->State(), dsBrowse);
    EXPECT_EQ(Causale()->AsInteger(), 2);
    EXPECT_EQ(box->Text(), AnsiString("Luce"));
    EXPECT_TRUE(dialogs->Questions().empty());

    // A data source that may not start editing by itself.
    movimenti->Close();
    movimenti->SetReadOnly(false);
    movimenti->Open();
    source->SetAutoEdit(false);
    PressKey(widget, Qt::Key_Backspace);
    EXPECT_EQ(movimenti->State(), dsBrowse);
    EXPECT_EQ(Causale()->AsInteger(), 2);
    EXPECT_TRUE(dialogs->Questions().empty());
}

TEST_F(QuorLookupTest, ARecordBeingInsertedIsClearedWithoutLeavingInsertState) {
    movimenti->Append();
    Causale()->SetAsInteger(1);
    EXPECT_EQ(box->Text(), AnsiString("Acqua"));
    PressKey(widget, Qt::Key_Backspace);
    EXPECT_EQ(movimenti->State(), dsInsert);
    EXPECT_TRUE(Causale()->IsNull());
    movimenti->FieldByName("Descrizione")->SetAsString("nuovo");
    movimenti->Post();
    EXPECT_EQ(Value("select IdCausale from MovConti where Descrizione = 'nuovo'"), "<null>");
}

// On the focused box, as the user meets it in a form: the keyboard drops the
// list down, it stays down, and Backspace then clears the field and closes it.
TEST_F(QuorLookupTest, AFocusedBoxDropsItsListAndBackspaceClearsAndClosesIt) {
    form_.Show();
    ASSERT_TRUE(GiveFocus(widget)) << "the platform does not activate windows";
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::NoModifier),
                                                  Qt::KeyboardModifiers(Qt::AltModifier)}) {
        KeyToWindow(widget, modifiers ? Qt::Key_Down : Qt::Key_F4, modifiers);
        QApplication::processEvents();
        ASSERT_TRUE(box->ListVisible());
        ASSERT_NE(OpenList(), nullptr);
        KeyToWindow(widget, Qt::Key_Escape);
        EXPECT_FALSE(box->ListVisible());
        EXPECT_TRUE(widget->hasFocus());
    }
    box->DropDown();
    QApplication::processEvents();
    ASSERT_TRUE(box->ListVisible());
    KeyToWindow(widget, Qt::Key_Down);
    EXPECT_EQ(box->ListIndex(), 2);
    KeyToWindow(widget, Qt::Key_Backspace);
    EXPECT_FALSE(box->ListVisible());
    EXPECT_EQ(OpenList(), nullptr);
    EXPECT_TRUE(Causale()->IsNull());
    EXPECT_EQ(box->Text(), AnsiString());
    EXPECT_TRUE(widget->hasFocus());
    movimenti->Post();
    EXPECT_EQ(Value("select IdCausale from MovConti where Id = 1"), "<null>");
}
