#include "GuiTestSupport.h"

#include "platform/core/Locale.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Table.h"
#include "platform/gui/DBEdit.h"
#include "platform/gui/Form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

namespace {

const char* kSchema = R"sql(
create table Conti(Id integer primary key, Nome varchar(30), Saldo numeric(15,2));
insert into Conti values (1, 'Cassa', 1500.5), (2, 'Banca', -20), (3, null, null);
)sql";

class DBEditFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        saved = FormatSettings();
        FormatSettings() = TFormatSettings::ForLocale("it_IT");
        static int serial = 0;
        alias = "GuiDBEdit" + std::to_string(++serial);
        MakeArchive(dir, alias, kSchema);
        table = new TTable(&form);
        table->SetDatabaseName(alias);
        table->SetTableName("Conti");
        source = new TDataSource(&form);
        source->SetDataSet(table);
        edit = new TDBEdit(&form);
        edit->SetParent(&form);
        form.SetBounds(0, 0, 300, 100);
    }
    void TearDown() override { FormatSettings() = saved; }
    void Focus(bool in) {
        QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit->Widget(), &event);
    }

    TFormatSettings saved;
    TempDir dir;
    std::string alias;
    TForm form;
    TTable* table = nullptr;
    TDataSource* source = nullptr;
    TDBEdit* edit = nullptr;
};

} // namespace

TEST_F(DBEditFixture, FollowsTheFieldAndTheRecord) {
    std::vector<std::string> changes;
    edit->OnChange = [&](TObject*) { changes.push_back(edit->Text().str()); };
    edit->SetDataSource(source);
    edit->SetDataField("Saldo");
    EXPECT_EQ(edit->Field(), nullptr);
    table->Open();
    ASSERT_NE(edit->Field(), nullptr);
    static_cast<TNumericField*>(edit->Field())->SetDisplayFormat(",0.00");
    table->Refresh();
    EXPECT_EQ(edit->Text(), AnsiString("1.500,50"));
    table->Next();
    EXPECT_EQ(edit->Text(), AnsiString("-20,00"));
    table->Edit();
    edit->Field()->SetAsString("7");
    EXPECT_EQ(edit->Text(), AnsiString("7,00"));
    table->Cancel();
    table->Next();
    EXPECT_EQ(edit->Text(), AnsiString());
    table->Close();
    EXPECT_EQ(edit->Text(), AnsiString());
    EXPECT_EQ(changes, (std::vector<std::string>{"1500,5", "1.500,50", "-20,00", "7,00", "-20,00",
                                                 ""}));
}

TEST_F(DBEditFixture, TypingEditsTheRecordAndLeavingWritesTheField) {
    edit->SetDataSource(source);
    edit->SetDataField("Nome");
    table->Open();
    QWidget* line = edit->Widget();
    Focus(true);
    edit->SetSelStart(5);
    QTest::keyClicks(line, " piccola");
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(table->FieldByName("Nome")->AsString(), AnsiString("Cassa"));
    Focus(false);
    EXPECT_EQ(table->FieldByName("Nome")->AsString(), AnsiString("Cassa piccola"));
    table->Post();
    // Escape drops what was typed.
    Focus(true);
    QTest::keyClicks(line, "x");
    QTest::keyClick(line, Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), AnsiString("Cassa piccola"));
    Focus(false);
    EXPECT_EQ(table->FieldByName("Nome")->AsString(), AnsiString("Cassa piccola"));
    table->Post();
}

TEST_F(DBEditFixture, InsideTheControlANumberShowsItsEditFormat) {
    edit->SetDataSource(source);
    edit->SetDataField("Saldo");
    table->Open();
    auto* saldo = static_cast<TNumericField*>(table->FieldByName("Saldo"));
    saldo->SetDisplayFormat(",0.00");
    saldo->SetEditFormat("0.00");
    EXPECT_EQ(FieldEditText(saldo), AnsiString("1500,50"));
    table->Refresh();
    EXPECT_EQ(edit->Text(), AnsiString("1.500,50"));
    Focus(true);
    EXPECT_EQ(edit->Text(), AnsiString("1500,50"));
    Focus(false);
    EXPECT_EQ(edit->Text(), AnsiString("1.500,50"));
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(DBEditFixture, AReadOnlyDatasetTakesNoKeysAndABadValueIsReported) {
    table->SetReadOnly(true);
    edit->SetDataSource(source);
    edit->SetDataField("Nome");
    table->Open();
    QWidget* line = edit->Widget();
    EXPECT_TRUE(static_cast<QLineEdit*>(line)->isReadOnly());
    QTest::keyClicks(line, "zz");
    EXPECT_EQ(edit->Text(), AnsiString("Cassa"));
    EXPECT_EQ(table->State(), dsBrowse);
    table->Close();
    table->SetReadOnly(false);
    table->Open();
    EXPECT_FALSE(static_cast<QLineEdit*>(line)->isReadOnly());

    ScopedScriptedDialogs dialogs;
    edit->SetDataField("Saldo");
    Focus(true);
    edit->SelectAll();
    QTest::keyClicks(line, "molti");
    Focus(false);
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].kind, ScriptedDialogs::Kind::ShowException);
    EXPECT_EQ(table->FieldByName("Saldo")->AsString(), AnsiString("1500,5"));
    EXPECT_EQ(edit->Text(), AnsiString("molti"));
}
