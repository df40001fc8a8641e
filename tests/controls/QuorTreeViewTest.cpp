#include "ControlsTestSupport.h"

#include "controls/QuorTreeView.h"
#include "db/FieldHelpers.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Table.h"
#include "platform/gui/DragDrop.h"
#include "platform/gui/Menus.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTreeView>

#include <string>
#include <utility>
#include <vector>

namespace {

// A chart of accounts: two top items with children, a grandchild, and a
// record whose link is null.
const char* kSchema = R"sql(
create table Voci(Id integer primary key autoincrement, Padre integer, Nome varchar(40),
                  Icona integer, Ordine integer);
create index idxPadre on Voci(Padre, Ordine);
insert into Voci(Id, Padre, Nome, Icona, Ordine) values
  (1, 0, 'Spese generali', 1, 1),
  (2, 0, 'Riscaldamento', 2, 2),
  (3, 1, 'Pulizie', 3, 1),
  (4, 1, 'Luce scale', 4, 2),
  (5, 1, 'Assicurazione', 5, 3),
  (6, 3, 'Prodotti', 6, 1),
  (7, 2, 'Gasolio', 7, 1),
  (8, null, 'Varie', 0, 3);
)sql";

using Items = std::vector<std::pair<std::string, int>>;

class QuorTreeViewTest : public ArchiveFixture {
protected:
    void SetUp() override {
        MakeTables(kSchema);
        master = Table("Voci");
        slave = Table("Voci");
        slave->SetIndexName("idxPadre");
        masterSource = Source(master);
        slaveSource = Source(slave);
        slave->SetMasterSource(masterSource);
        slave->SetMasterFields("Id");
        master->Open();
        slave->Open();
        form_.SetBounds(0, 0, 400, 400);
        tree = new TQuorTreeView(&form_);
        tree->SetParent(&form_);
        tree->SetAlign(alClient);
        tree->SetDataSourceMaster(masterSource);
        tree->SetDataSourceSlave(slaveSource);
        tree->SetKeyField("Id");
        tree->SetLinkField("Padre");
        tree->SetListField("Nome");
        tree->SetIconField("Icona");
        tree->SetOrderField("Ordine");
        tree->SetKeyFieldSlave("Id");
        tree->SetHideLinked(true);
        tree->SetAllowInternalEditing(true);
        tree->SetCaptionForCreateItem("Nuova voce");
        tree->SetCaptionForCreateSubItem("Nuova sottovoce");
        tree->SetCaptionForChangeItem("Rinomina");
        tree->SetCaptionForMoveUp("Sposta su");
        tree->SetCaptionForMoveDown("Sposta gi\xF9");
        tree->SetCaptionForDeleteItem("Elimina");
        tree->SetAskItemName("Nome della voce");
        tree->SetAskDeleteItem("Eliminare la voce?");
        form_.Show();
        view = qobject_cast<QTreeView*>(tree->Widget());
        ASSERT_NE(view, nullptr);
    }

    std::vector<std::string> Names(TTreeNode* parent) const {
        std::vector<std::string> names;
        const int count = parent ? parent->Count() : 0;
        if (!parent) {
            for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->getNextSibling())
                names.push_back(n->Text().str());
            return names;
        }
        for (int i = 0; i < count; ++i)
            names.push_back(parent->Item(i)->Text().str());
        return names;
    }
    TTreeNode* Node(const char* name) const {
        for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext())
            if (n->Text() == AnsiString(name)) return n;
        return nullptr;
    }
    QPoint Centre(TTreeNode* node) const {
        const TRect r = node->DisplayRect(true);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void Click(const char* name) {
        TTreeNode* node = Node(name);
        ASSERT_NE(node, nullptr) << name;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Centre(node));
    }
    // Presses on one node, moves past the drag threshold and releases at to.
    void Drag(const char* from, QPoint to) {
        TTreeNode* node = Node(from);
        ASSERT_NE(node, nullptr) << from;
        const QPoint start = Centre(node);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(view->viewport(), start + QPoint(DragThreshold + 3, 0));
        QTest::mouseMove(view->viewport(), to);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    }
    void Drag(const char* from, const char* onto) {
        TTreeNode* target = Node(onto);
        ASSERT_NE(target, nullptr) << onto;
        Drag(from, Centre(target));
    }
    Items MenuItems() const {
        Items items;
        TMenuItem* root = tree->PopupMenu()->Items();
        for (int i = 0; i < root->Count(); ++i)
            items.emplace_back(root->Items(i)->Caption().str(), root->Items(i)->Tag());
        return items;
    }
    int MasterKey() const { return IntField(master, "Id"); }
    std::string Column(const char* column, int id) const {
        return Value(std::string("select ") + column + " from Voci where Id = " +
                     std::to_string(id));
    }

    ScopedScriptedDialogs dialogs;
    TTable* master = nullptr;
    TTable* slave = nullptr;
    TDataSource* masterSource = nullptr;
    TDataSource* slaveSource = nullptr;
    TQuorTreeView* tree = nullptr;
    QTreeView* view = nullptr;
};

} // namespace

TEST_F(QuorTreeViewTest, WithoutHideLinkedEveryRecordIsAtTheTopLevel) {
    tree->SetHideLinked(false);
    tree->Reload();
    EXPECT_EQ(Names(nullptr),
              (std::vector<std::string>{"Spese generali", "Riscaldamento", "Pulizie", "Luce scale",
                                        "Assicurazione", "Prodotti", "Gasolio", "Varie"}));
    int key = 0;
    for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->getNextSibling()) {
        EXPECT_EQ(NodeKey(n), ++key);
        EXPECT_EQ(n->ImageIndex(), n->SelectedIndex());
    }
    EXPECT_EQ(Node("Luce scale")->ImageIndex(), 4);
    EXPECT_EQ(Node("Varie")->ImageIndex(), 0);
    // The widget shows the same.
    EXPECT_EQ(view->model()->rowCount({}), 8);
}

TEST_F(QuorTreeViewTest, WithHideLinkedOnlyUnlinkedRecordsAreAtTheTop) {
    tree->Reload();
    EXPECT_EQ(Names(nullptr),
              (std::vector<std::string>{"Spese generali", "Riscaldamento", "Varie"}));
    EXPECT_EQ(tree->SelectedKey(), 0);
    EXPECT_EQ(tree->Selected(), nullptr);
}

TEST_F(QuorTreeViewTest, ReloadNeedsAVisibleTreeAndTheThreeMainFields) {
    tree->Hide();
    tree->Reload();
    EXPECT_EQ(tree->Items()->Count(), 0);
    EXPECT_EQ(tree->PopupMenu(), nullptr);
    tree->Show();
    for (const char* field : {"ListField", "KeyField", "LinkField"}) {
        const AnsiString list = tree->ListField(), key = tree->KeyField(),
                         link = tree->LinkField();
        if (std::string(field) == "ListField") tree->SetListField("");
        if (std::string(field) == "KeyField") tree->SetKeyField("");
        if (std::string(field) == "LinkField") tree->SetLinkField("");
        tree->Reload();
        EXPECT_EQ(tree->Items()->Count(), 0) << field;
        EXPECT_EQ(tree->PopupMenu(), nullptr) << field;
        EXPECT_FALSE(tree->ItemSelect(1)) << field;
        tree->SetListField(list);
        tree->SetKeyField(key);
        tree->SetLinkField(link);
    }
    // A closed master builds the menu but loads nothing.
    master->Close();
    tree->Reload();
    EXPECT_EQ(tree->Items()->Count(), 0);
    EXPECT_NE(tree->PopupMenu(), nullptr);
}

TEST_F(QuorTreeViewTest, ChildrenAreReadOnceWhenANodeIsFirstSelected) {
    tree->Reload();
    std::vector<int> keysSeenByForm;
    tree->OnChange = [&](TObject*, TTreeNode*) { keysSeenByForm.push_back(MasterKey()); };
    Click("Spese generali");
    EXPECT_EQ(tree->SelectedKey(), 1);
    EXPECT_EQ(MasterKey(), 1);
    TTreeNode* spese = Node("Spese generali");
    EXPECT_EQ(Names(spese), (std::vector<std::string>{"Pulizie", "Luce scale", "Assicurazione"}));
    EXPECT_EQ(NodeKey(spese->Item(2)), 5);
    EXPECT_EQ(spese->Item(1)->ImageIndex(), 4);
    // Any depth opens the same way.
    spese->SetExpanded(true);
    Click("Pulizie");
    EXPECT_EQ(MasterKey(), 3);
    EXPECT_EQ(Names(Node("Pulizie")), (std::vector<std::string>{"Prodotti"}));
    Click("Spese generali");
    EXPECT_EQ(spese->Count(), 3);
    // The form's handler ran after the master had moved.
    EXPECT_EQ(keysSeenByForm, (std::vector<int>{1, 3, 1}));
    EXPECT_EQ(view->model()->rowCount(view->model()->index(0, 0, {})), 3);
}

TEST_F(QuorTreeViewTest, WithoutASlaveKeyChildrenAreLeavesThatPointAtTheirParent) {
    tree->SetKeyFieldSlave("");
    tree->Reload();
    Click("Riscaldamento");
    TTreeNode* gasolio = Node("Gasolio");
    ASSERT_NE(gasolio, nullptr);
    EXPECT_EQ(NodeKey(gasolio), 0);
    Node("Riscaldamento")->SetExpanded(true);
    Click("Spese generali");
    EXPECT_EQ(MasterKey(), 1);
    Node("Riscaldamento")->SetExpanded(true);
    Click("Gasolio");
    EXPECT_EQ(tree->SelectedKey(), 0);
    EXPECT_EQ(MasterKey(), 2);
    EXPECT_EQ(gasolio->Count(), 0);
}

TEST_F(QuorTreeViewTest, ReloadSelectsAndExpandsTheTopItemSelectedBefore) {
    tree->Reload();
    Click("Riscaldamento");
    tree->Reload();
    TTreeNode* selected = tree->Selected();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->Text(), AnsiString("Riscaldamento"));
    EXPECT_TRUE(selected->Expanded());
    EXPECT_EQ(Names(selected), (std::vector<std::string>{"Gasolio"}));
    EXPECT_TRUE(view->isExpanded(view->currentIndex()));
    EXPECT_TRUE(tree->Visible());
    // A child is not found again among the top items.
    Click("Gasolio");
    EXPECT_EQ(tree->SelectedKey(), 7);
    tree->Reload();
    EXPECT_EQ(tree->Selected(), nullptr);
}

TEST_F(QuorTreeViewTest, ThePopupMenuIsBuiltOnceWithItsCaptionsAndTags) {
    tree->Reload();
    const Items expected{{"Nuova voce", 0},    {"Nuova sottovoce", 1},  {"Rinomina", 2},
                         {"-", -1},            {"Sposta su", 3},        {"Sposta gi\xF9", 4},
                         {"-", -1},            {"Elimina", 5}};
    EXPECT_EQ(MenuItems(), expected);
    EXPECT_TRUE(tree->PopupMenu()->AutoPopup());
    EXPECT_EQ(tree->PopupMenu()->Owner(), tree);
    tree->Reload();
    EXPECT_EQ(MenuItems(), expected);

    // Without editing, and with one move caption empty.
    auto* other = new TQuorTreeView(&form_);
    other->SetParent(&form_);
    other->SetDataSourceMaster(masterSource);
    other->SetKeyField("Id");
    other->SetLinkField("Padre");
    other->SetListField("Nome");
    other->SetCaptionForMoveDown("Gi\xF9");
    other->Reload();
    ASSERT_NE(other->PopupMenu(), nullptr);
    ASSERT_EQ(other->PopupMenu()->Items()->Count(), 1);
    EXPECT_EQ(other->PopupMenu()->Items()->Items(0)->Tag(), 4);

    // A menu of the form's own gets nothing.
    auto* own = new TPopupMenu(&form_);
    auto* third = new TQuorTreeView(&form_);
    third->SetParent(&form_);
    third->SetPopupMenu(own);
    third->SetDataSourceMaster(masterSource);
    third->SetKeyField("Id");
    third->SetLinkField("Padre");
    third->SetListField("Nome");
    third->SetAllowInternalEditing(true);
    third->Reload();
    EXPECT_EQ(third->PopupMenu(), own);
    EXPECT_EQ(own->Items()->Count(), 0);
}

TEST_F(QuorTreeViewTest, ARightClickShowsTheMenuAndItsItemsRunTheCommands) {
    tree->Reload();
    Click("Riscaldamento");
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, Centre(Node("Varie")));
    // The right click leaves the selection alone.
    EXPECT_EQ(tree->SelectedKey(), 2);
    // The window system turns the right click into a context menu request.
    const QPoint at = Centre(Node("Varie"));
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &event);
    QMenu* menu = tree->PopupMenu()->MenuWidget();
    ASSERT_NE(menu, nullptr);
    QAction* rename = nullptr;
    for (QAction* action : menu->actions())
        if (action->text() == QString("Rinomina")) rename = action;
    ASSERT_NE(rename, nullptr);
    EXPECT_EQ(menu->actions().size(), 8);
    dialogs->AnswerInput("Riscaldamento centrale");
    rename->trigger();
    EXPECT_EQ(Node("Riscaldamento centrale"), tree->Selected());
    EXPECT_EQ(Column("Nome", 2), "Riscaldamento centrale");
    tree->PopupMenu()->CloseMenu();
}

TEST_F(QuorTreeViewTest, NewItemsAsksForNamesUntilNoneIsGiven) {
    tree->Reload();
    dialogs->AnswerInput("Ascensore");
    dialogs->AnswerInput("Giardino");
    dialogs->AnswerInput("Portineria");
    dialogs->AnswerInput("");
    tree->NewItems(true);
    EXPECT_EQ(Names(nullptr),
              (std::vector<std::string>{"Spese generali", "Riscaldamento", "Varie", "Ascensore",
                                        "Giardino", "Portineria"}));
    ASSERT_EQ(dialogs->Questions().size(), 4u);
    EXPECT_EQ(dialogs->Questions()[0].kind, ScriptedDialogs::Kind::InputQuery);
    EXPECT_EQ(dialogs->Questions()[0].caption, AnsiString("Nuova voce"));
    EXPECT_EQ(dialogs->Questions()[0].text, AnsiString("Nome della voce"));
    EXPECT_EQ(Value("select count(*) from Voci where Padre = 0 and Icona = 0 and Nome in "
                    "('Ascensore', 'Giardino', 'Portineria')"),
              "3");
    EXPECT_EQ(Value("select Ordine from Voci where Nome = 'Giardino'"), "<null>");
    // Each node carries the key the record got.
    EXPECT_EQ(std::to_string(NodeKey(Node("Giardino"))),
              Value("select Id from Voci where Nome = 'Giardino'"));

    dialogs->Reset();
    dialogs->AnswerInputCancel();
    tree->NewItems(true);
    dialogs->AnswerInput("");
    tree->NewItems(true);
    EXPECT_EQ(Value("select count(*) from Voci"), "11");
    EXPECT_EQ(dialogs->Questions().size(), 2u);
}

TEST_F(QuorTreeViewTest, SubItemsGoUnderTheSelectedItem) {
    tree->Reload();
    Click("Riscaldamento");
    dialogs->AnswerInput("Manutenzione caldaia");
    dialogs->AnswerInput("Canna fumaria");
    dialogs->AnswerInputCancel();
    tree->NewItems(false);
    TTreeNode* parent = Node("Riscaldamento");
    EXPECT_EQ(Names(parent),
              (std::vector<std::string>{"Gasolio", "Manutenzione caldaia", "Canna fumaria"}));
    EXPECT_TRUE(parent->Expanded());
    EXPECT_EQ(tree->Selected(), parent);
    EXPECT_EQ(Value("select count(*) from Voci where Padre = 2"), "3");
    // With nothing selected there is no parent: nothing is asked or made.
    tree->SetSelected(nullptr);
    dialogs->Reset();
    dialogs->AnswerInput("Orfana");
    tree->NewItem("Orfana", 0, false);
    EXPECT_EQ(Value("select count(*) from Voci where Nome = 'Orfana'"), "0");
}

TEST_F(QuorTreeViewTest, RenamingKeepsTheIcon) {
    tree->Reload();
    Click("Spese generali");
    Node("Spese generali")->SetExpanded(true);
    Click("Luce scale");
    dialogs->AnswerInput("Luce comune");
    tree->ItemChange();
    TTreeNode* node = tree->Selected();
    EXPECT_EQ(node->Text(), AnsiString("Luce comune"));
    EXPECT_EQ(node->ImageIndex(), 4);
    EXPECT_EQ(node->SelectedIndex(), 4);
    EXPECT_EQ(Column("Nome", 4), "Luce comune");
    EXPECT_EQ(Column("Icona", 4), "4");
    // Cancelled, nothing changes.
    dialogs->AnswerInputCancel();
    tree->ItemChange();
    EXPECT_EQ(Column("Nome", 4), "Luce comune");
    EXPECT_EQ(master->State(), dsBrowse);
}

TEST_F(QuorTreeViewTest, MovingRenumbersTheSiblingsInTheFile) {
    tree->Reload();
    Click("Spese generali");
    Node("Spese generali")->SetExpanded(true);
    Click("Pulizie");
    std::vector<TCursor> cursorWhileWriting;
    master->AfterPost = [&](TDataSet*) { cursorWhileWriting.push_back(tree->Cursor()); };
    tree->ItemMove(+1);
    TTreeNode* spese = Node("Spese generali");
    EXPECT_EQ(Names(spese), (std::vector<std::string>{"Luce scale", "Pulizie", "Assicurazione"}));
    EXPECT_EQ(Column("Ordine", 4), "1");
    EXPECT_EQ(Column("Ordine", 3), "2");
    EXPECT_EQ(Column("Ordine", 5), "3");
    EXPECT_FALSE(cursorWhileWriting.empty());
    for (TCursor c : cursorWhileWriting)
        EXPECT_EQ(c, crHourGlass);
    EXPECT_EQ(tree->Cursor(), crDefault);
    EXPECT_EQ(tree->Selected(), Node("Pulizie"));

    // The last one moving down stays, but every number is written again,
    // also one that another program changed meanwhile.
    TTable* writer = Table("Voci");
    writer->Open();
    ASSERT_TRUE(writer->Locate("Id", Variant(5)));
    writer->Edit();
    writer->FieldByName("Ordine")->SetAsInteger(9);
    writer->Post();
    writer->Close();
    ASSERT_EQ(Column("Ordine", 5), "9");
    Click("Assicurazione");
    tree->ItemMove(+1);
    EXPECT_EQ(Names(spese), (std::vector<std::string>{"Luce scale", "Pulizie", "Assicurazione"}));
    EXPECT_EQ(Column("Ordine", 5), "3");
    // Up from the first place: it stays first.
    Click("Luce scale");
    tree->ItemMove(-1);
    EXPECT_EQ(Names(spese), (std::vector<std::string>{"Luce scale", "Pulizie", "Assicurazione"}));
    Click("Assicurazione");
    tree->ItemMove(-1);
    EXPECT_EQ(Names(spese), (std::vector<std::string>{"Luce scale", "Assicurazione", "Pulizie"}));
    EXPECT_EQ(Column("Ordine", 5), "2");
    EXPECT_EQ(Column("Ordine", 3), "3");
}

TEST_F(QuorTreeViewTest, ATopItemDoesNotMove) {
    tree->Reload();
    Click("Riscaldamento");
    tree->ItemMove(-1);
    EXPECT_EQ(Names(nullptr),
              (std::vector<std::string>{"Spese generali", "Riscaldamento", "Varie"}));
    EXPECT_EQ(Column("Ordine", 2), "2");
    EXPECT_EQ(Column("Ordine", 8), "3");
    EXPECT_EQ(tree->Cursor(), crDefault);
}

TEST_F(QuorTreeViewTest, DeletingAsksAndLeavesTheChildrensRecords) {
    tree->Reload();
    Click("Spese generali");
    dialogs->AnswerButton(IDCANCEL);
    tree->ItemDelete();
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].kind, ScriptedDialogs::Kind::MessageBox);
    EXPECT_EQ(dialogs->Questions()[0].text, AnsiString("Eliminare la voce?"));
    EXPECT_EQ(dialogs->Questions()[0].caption, AnsiString("Spese generali"));
    EXPECT_EQ(dialogs->Questions()[0].flags, 0x31);
    EXPECT_EQ(Column("Nome", 1), "Spese generali");
    EXPECT_NE(Node("Pulizie"), nullptr);

    dialogs->AnswerButton(IDOK);
    tree->ItemDelete();
    EXPECT_EQ(Column("Nome", 1), "");
    EXPECT_EQ(Node("Spese generali"), nullptr);
    EXPECT_EQ(Node("Pulizie"), nullptr);
    EXPECT_EQ(Value("select count(*) from Voci where Padre = 1"), "3");
    EXPECT_EQ(Names(nullptr), (std::vector<std::string>{"Riscaldamento", "Varie"}));
    // Nothing selected: no question.
    tree->SetSelected(nullptr);
    dialogs->Reset();
    tree->ItemDelete();
    EXPECT_TRUE(dialogs->Questions().empty());
}

TEST_F(QuorTreeViewTest, DroppingAnItemOnAnotherMakesItItsLastChild) {
    tree->Reload();
    Click("Riscaldamento");
    Click("Spese generali");
    Node("Spese generali")->SetExpanded(true);
    // A move leaves the master on the last renumbered sibling, not on the
    // dragged item; the drop still changes the dragged item's record.
    Click("Luce scale");
    tree->ItemMove(-1);
    EXPECT_EQ(MasterKey(), 5);
    Drag("Luce scale", "Riscaldamento");
    EXPECT_EQ(Column("Padre", 4), "2");
    EXPECT_EQ(Column("Padre", 5), "1");
    EXPECT_EQ(Names(Node("Riscaldamento")), (std::vector<std::string>{"Gasolio", "Luce scale"}));
    EXPECT_EQ(Names(Node("Spese generali")),
              (std::vector<std::string>{"Pulizie", "Assicurazione"}));
    EXPECT_EQ(tree->DropTarget(), nullptr);
    EXPECT_EQ(master->State(), dsBrowse);
}

TEST_F(QuorTreeViewTest, DropsOntoItselfOutsideTheNodesOrOntoADescendantDoNothing) {
    tree->Reload();
    Click("Spese generali");
    Node("Spese generali")->SetExpanded(true);
    Click("Pulizie");
    Node("Pulizie")->SetExpanded(true);
    const auto before = Names(Node("Spese generali"));
    Drag("Pulizie", "Pulizie");
    Drag("Pulizie", QPoint(10, view->viewport()->height() - 3));
    EXPECT_EQ(Column("Padre", 3), "1");
    EXPECT_EQ(Names(Node("Spese generali")), before);
    // Onto its own grandchild: nothing is written, nothing moves.
    Click("Spese generali");
    Drag("Spese generali", "Prodotti");
    EXPECT_EQ(Column("Padre", 1), "0");
    EXPECT_EQ(Node("Spese generali")->Parent(), nullptr);
    EXPECT_EQ(Node("Prodotti")->Parent(), Node("Pulizie"));
    EXPECT_EQ(master->State(), dsBrowse);
}

TEST_F(QuorTreeViewTest, OnlyADragFromTheTreeItselfIsAccepted) {
    tree->Reload();
    Click("Varie");
    // The form hands out a drag object of its own: the tree refuses it.
    TDragControlObject object(tree);
    tree->OnStartDrag = [&](TObject*, TDragObject*& dragObject) { dragObject = &object; };
    int drops = 0;
    tree->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
    Drag("Varie", "Riscaldamento");
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(Column("Padre", 8), "<null>");
    // The tree's own StartDrag leaves the tree as the source.
    tree->OnStartDrag = [this](TObject* s, TDragObject*& o) { tree->StartDrag(s, o); };
    Drag("Varie", "Riscaldamento");
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(Column("Padre", 8), "2");
}

TEST_F(QuorTreeViewTest, FailuresEndTheCommandSilently) {
    tree->Reload();
    Click("Riscaldamento");
    // A missing icon field ends the creation after the append.
    tree->SetIconField("Manca");
    dialogs->AnswerInput("Nuova");
    dialogs->AnswerInput("Altra");
    tree->NewItems(true);
    EXPECT_EQ(master->State(), dsInsert);
    EXPECT_EQ(Node("Nuova"), nullptr);
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].kind, ScriptedDialogs::Kind::InputQuery);
    master->Cancel();

    // A missing order field: the node has moved, the record stays in edit.
    tree->SetIconField("Icona");
    tree->SetOrderField("Manca");
    Click("Spese generali");
    Node("Spese generali")->SetExpanded(true);
    Click("Pulizie");
    tree->ItemMove(+1);
    EXPECT_EQ(Names(Node("Spese generali")),
              (std::vector<std::string>{"Luce scale", "Pulizie", "Assicurazione"}));
    EXPECT_EQ(master->State(), dsEdit);
    EXPECT_EQ(tree->Cursor(), crDefault);
    master->Cancel();
    EXPECT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(Column("Ordine", 3), "1");
}

TEST_F(QuorTreeViewTest, RenamingInPlaceOnlyBeeps) {
    tree->Reload();
    Click("Varie");
    QTest::keyClick(view, Qt::Key_F2);
    auto* editor = view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Diverse");
    EXPECT_TRUE(tree->IsEditing());
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor hands its text over once the event loop runs.
    QApplication::processEvents();
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(tree->Selected()->Text(), AnsiString("Varie"));
    EXPECT_EQ(Column("Nome", 8), "Varie");
    ASSERT_FALSE(dialogs->Questions().empty());
    EXPECT_EQ(dialogs->Questions().back().kind, ScriptedDialogs::Kind::Beep);
}

TEST_F(QuorTreeViewTest, ItemSelectFindsTheRecordOrEndsAtTheLast) {
    EXPECT_TRUE(tree->ItemSelect(5));
    EXPECT_EQ(MasterKey(), 5);
    EXPECT_FALSE(tree->ItemSelect(99));
    EXPECT_EQ(MasterKey(), 8);
    EXPECT_TRUE(master->Eof());
    tree->SetKeyField("Manca");
    EXPECT_FALSE(tree->ItemSelect(5));
    master->Close();
    tree->SetKeyField("Id");
    EXPECT_FALSE(tree->ItemSelect(5));
}

// With HideLinked off a child also shows at the top level. A drop of an item
// onto that copy of its own descendant would make the two records each
// other's ancestors in the table: refused, nothing written, nothing moved.
TEST_F(QuorTreeViewTest, ADropOntoADescendantShownAtTheTopIsRefused) {
    tree->SetHideLinked(false);
    tree->Reload();
    const auto top = [this](const char* name) {
        for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->getNextSibling())
            if (n->Text() == AnsiString(name)) return n;
        return static_cast<TTreeNode*>(nullptr);
    };
    const auto topNames = [this] { return Names(nullptr); };
    const std::vector<std::string> before = topNames();
    ASSERT_EQ(before.size(), 8u);
    Click("Spese generali");
    // Its child and its grandchild, at the top.
    for (const char* descendant : {"Pulizie", "Prodotti"}) {
        SCOPED_TRACE(descendant);
        TTreeNode* target = top(descendant);
        ASSERT_NE(target, nullptr);
        ASSERT_EQ(target->Parent(), nullptr);
        Drag("Spese generali", Centre(target));
        EXPECT_EQ(Column("Padre", 1), "0");
        EXPECT_EQ(Column("Padre", 3), "1");
        EXPECT_EQ(Column("Padre", 6), "3");
        EXPECT_EQ(master->State(), dsBrowse);
        EXPECT_EQ(topNames(), before);
        EXPECT_EQ(top(descendant)->Count(), 0);
    }
    // An item that is no ancestor of the target still moves under it.
    Click("Riscaldamento");
    Drag("Riscaldamento", Centre(top("Prodotti")));
    EXPECT_EQ(Column("Padre", 2), "6");
    EXPECT_EQ(master->State(), dsBrowse);
    ASSERT_EQ(top("Prodotti")->Count(), 1);
    EXPECT_EQ(top("Prodotti")->Item(0)->Text(), AnsiString("Riscaldamento"));
}
