#include "GuiTestSupport.h"

#include "platform/core/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/gui/Edit.h"
#include "platform/gui/Form.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/TreeView.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <string>
#include <vector>

namespace {

// The nodes as the widget's model shows them, one "text/children..." per level.
std::string ModelShape(const QAbstractItemModel* model, const QModelIndex& parent = {}) {
    std::string out;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (!out.empty()) out += ",";
        out += index.data().toString().toStdString();
        if (model->rowCount(index) > 0) out += "(" + ModelShape(model, index) + ")";
    }
    return out;
}

std::string NodeShape(const TTreeNode* first) {
    std::string out;
    for (const TTreeNode* n = first; n; n = n->getNextSibling()) {
        if (!out.empty()) out += ",";
        out += n->Text().str();
        if (n->Count() > 0) out += "(" + NodeShape(n->getFirstChild()) + ")";
    }
    return out;
}

class TreeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        form.SetBounds(0, 0, 300, 400);
        tree = new TTreeView(&form);
        tree->SetParent(&form);
        tree->SetAlign(alClient);
        nodes = tree->Items();
    }
    QTreeView* View() { return qobject_cast<QTreeView*>(tree->Widget()); }
    std::string Shape() const { return NodeShape(nodes->GetFirstNode()); }
    // Builds A(A1,A2(A2a)),B,C.
    void Build() {
        a = nodes->Add(nullptr, "A");
        b = nodes->Add(nullptr, "B");
        c = nodes->Add(nullptr, "C");
        a1 = nodes->AddChild(a, "A1");
        a2 = nodes->AddChild(a, "A2");
        a2a = nodes->AddChild(a2, "A2a");
    }

    TForm form;
    TTreeView* tree = nullptr;
    TTreeNodes* nodes = nullptr;
    TTreeNode *a = nullptr, *b = nullptr, *c = nullptr, *a1 = nullptr, *a2 = nullptr,
              *a2a = nullptr;
};

} // namespace

TEST_F(TreeFixture, NodesKeepTheirOrderLevelsAndPositions) {
    Build();
    EXPECT_EQ(Shape(), "A(A1,A2(A2a)),B,C");
    EXPECT_EQ(nodes->Count(), 6);
    nodes->AddFirst(b, "Z");
    nodes->Insert(c, "BC");
    nodes->AddChildFirst(a, "A0");
    nodes->AddObject(a1, "A3", reinterpret_cast<void*>(7));
    EXPECT_EQ(Shape(), "Z,A(A0,A1,A2(A2a),A3),B,BC,C");
    EXPECT_EQ(nodes->Count(), 10);
    // Flat positions walk children first.
    std::vector<std::string> order;
    for (int i = 0; i < nodes->Count(); ++i)
        order.push_back(nodes->Item(i)->Text().str());
    EXPECT_EQ(order, (std::vector<std::string>{"Z", "A", "A0", "A1", "A2", "A2a", "A3", "B", "BC",
                                               "C"}));
    EXPECT_EQ(a2a->AbsoluteIndex(), 5);
    EXPECT_EQ(nodes->Item(5), a2a);
    EXPECT_EQ(nodes->Item(10), nullptr);
    EXPECT_EQ(a2a->Level(), 2);
    EXPECT_EQ(a2a->Parent(), a2);
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_TRUE(a2a->HasAsParent(a));
    EXPECT_FALSE(a->HasAsParent(a2a));
    EXPECT_EQ(a2a->GetNext()->Text(), AnsiString("A3"));
    EXPECT_EQ(b->GetPrev()->Text(), AnsiString("A3"));
    EXPECT_EQ(a1->Index(), 1);
    EXPECT_EQ(a->Item(3)->Data(), reinterpret_cast<void*>(7));
    EXPECT_TRUE(a->HasChildren());
    EXPECT_FALSE(b->HasChildren());
    b->SetHasChildren(true);
    EXPECT_TRUE(b->HasChildren());
    EXPECT_EQ(b->ImageIndex(), 0);
}

TEST_F(TreeFixture, MovingKeepsTheSubtreeAndRefusesItsOwnDescendants) {
    Build();
    QTreeView* view = View();
    a2->MoveTo(b, naAddChild);
    EXPECT_EQ(Shape(), "A(A1),B(A2(A2a)),C");
    a2->MoveTo(a1, naInsert);
    EXPECT_EQ(Shape(), "A(A2(A2a),A1),B,C");
    a2->MoveTo(a1, naAdd);
    EXPECT_EQ(Shape(), "A(A1,A2(A2a)),B,C");
    c->MoveTo(a, naAddFirst);
    EXPECT_EQ(Shape(), "C,A(A1,A2(A2a)),B");
    c->MoveTo(a, naAddChildFirst);
    EXPECT_EQ(Shape(), "A(C,A1,A2(A2a)),B");
    c->MoveTo(nullptr, naAdd);
    EXPECT_EQ(Shape(), "A(A1,A2(A2a)),B,C");
    a->MoveTo(a2a, naAddChild);
    a->MoveTo(a, naAddChild);
    EXPECT_EQ(Shape(), "A(A1,A2(A2a)),B,C");
    EXPECT_EQ(nodes->Count(), 6);
    EXPECT_EQ(ModelShape(view->model()), Shape());
}

TEST_F(TreeFixture, TheWidgetFollowsEveryChangeAndEveryUpdate) {
    QTreeView* view = View();
    Build();
    EXPECT_EQ(ModelShape(view->model()), "A(A1,A2(A2a)),B,C");
    a1->SetText("Primo");
    EXPECT_EQ(view->model()->index(0, 0, view->model()->index(0, 0, {})).data().toString(),
              QString("Primo"));
    // Appends inside an update reach the widget at the end.
    nodes->BeginUpdate();
    nodes->BeginUpdate();
    TTreeNode* d = nodes->Add(nullptr, "D");
    nodes->AddChild(d, "D1");
    nodes->AddChild(b, "B1");
    EXPECT_EQ(view->model()->rowCount({}), 3);
    nodes->EndUpdate();
    EXPECT_EQ(view->model()->rowCount({}), 3);
    nodes->EndUpdate();
    EXPECT_EQ(ModelShape(view->model()), "A(Primo,A2(A2a)),B(B1),C,D(D1)");
    // Anything else inside an update: the widget reads everything again.
    nodes->BeginUpdate();
    b->Delete();
    nodes->AddChildFirst(c, "C0");
    a2->MoveTo(d, naAddChild);
    nodes->EndUpdate();
    EXPECT_EQ(Shape(), "A(Primo),C(C0),D(D1,A2(A2a))");
    EXPECT_EQ(ModelShape(view->model()), Shape());
    nodes->Clear();
    EXPECT_EQ(view->model()->rowCount({}), 0);
    EXPECT_EQ(nodes->Count(), 0);
}

TEST_F(TreeFixture, SelectionRunsChangingAndChangeAndMovesOffDeletedNodes) {
    Build();
    QTreeView* view = View();
    form.Show();
    std::vector<std::string> changes;
    tree->OnChange = [&](TObject*, TTreeNode* node) {
        changes.push_back(node ? node->Text().str() : "-");
    };
    bool allow = true;
    tree->OnChanging = [&](TObject*, TTreeNode*, bool& ok) { ok = allow; };
    const QRect rb = view->visualRect(view->model()->index(1, 0, {}));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rb.center());
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_TRUE(b->Selected());
    // A refused change leaves the selection, in the widget too.
    allow = false;
    const QRect rc = view->visualRect(view->model()->index(2, 0, {}));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rc.center());
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_EQ(view->currentIndex().row(), 1);
    allow = true;
    a2->SetSelected(true);
    EXPECT_EQ(view->currentIndex().data().toString(), QString("A2"));
    // Deleting the selection selects the next sibling, else the previous
    // one, else the parent.
    std::vector<std::string> deleted;
    tree->OnDeletion = [&](TObject*, TTreeNode* node) { deleted.push_back(node->Text().str()); };
    a1->SetSelected(true);
    a1->Delete();
    EXPECT_EQ(tree->Selected(), a2);
    a2->Delete();
    EXPECT_EQ(deleted, (std::vector<std::string>{"A1", "A2a", "A2"}));
    EXPECT_EQ(tree->Selected(), a);
    nodes->Clear();
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(changes, (std::vector<std::string>{"B", "A2", "A1", "A2", "A", "-"}));
}

TEST_F(TreeFixture, ExpansionGoesBothWaysAndCanBeRefused) {
    Build();
    QTreeView* view = View();
    std::vector<std::string> events;
    tree->OnExpanded = [&](TObject*, TTreeNode* n) { events.push_back("+" + n->Text().str()); };
    tree->OnCollapsed = [&](TObject*, TTreeNode* n) { events.push_back("-" + n->Text().str()); };
    a->SetExpanded(true);
    EXPECT_TRUE(view->isExpanded(view->model()->index(0, 0, {})));
    EXPECT_TRUE(a2->IsVisible());
    EXPECT_FALSE(a2a->IsVisible());
    // The user opens a node from the keyboard.
    a2->SetSelected(true);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_TRUE(a2->Expanded());
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_FALSE(a2->Expanded());
    tree->OnExpanding = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_FALSE(a2->Expanded());
    EXPECT_FALSE(view->isExpanded(view->currentIndex()));
    tree->OnExpanding = nullptr;
    tree->FullExpand();
    EXPECT_TRUE(a2->Expanded());
    tree->FullCollapse();
    EXPECT_FALSE(a->Expanded());
    EXPECT_EQ(events, (std::vector<std::string>{"+A", "+A2", "-A2", "+A2", "-A", "-A2"}));
}

TEST_F(TreeFixture, StateSetWithoutAWidgetShowsWhenTheWidgetIsMade) {
    Build();
    a->SetExpanded(true);
    a2->SetSelected(true);
    EXPECT_EQ(a2->DisplayRect(false).Width(), 0);
    EXPECT_EQ(tree->GetNodeAt(5, 5), nullptr);
    QTreeView* view = View();
    form.Show();
    EXPECT_EQ(ModelShape(view->model()), Shape());
    EXPECT_TRUE(view->isExpanded(view->model()->index(0, 0, {})));
    EXPECT_EQ(view->currentIndex().data().toString(), QString("A2"));
    const TRect r = a2->DisplayRect(false);
    EXPECT_GT(r.Width(), 0);
    EXPECT_EQ(tree->GetNodeAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), a2);
}

TEST_F(TreeFixture, IconsComeFromTheImageListAndTheSelectedIcon) {
    TImageList images;
    TBitmap red(16, 16), blue(8, 8);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 16, 16));
    blue.Canvas()->Brush()->SetColor(clBlue);
    blue.Canvas()->FillRect(Rect(0, 0, 8, 8));
    EXPECT_EQ(images.Add(&red), 0);
    EXPECT_EQ(images.Add(&blue), 1);
    EXPECT_EQ(images.Image(1).width(), 16); // scaled to the list's size
    tree->SetImages(&images);
    Build();
    b->SetImageIndex(0);
    b->SetSelectedIndex(1);
    c->SetImageIndex(0);
    c->SetSelectedIndex(1);
    QTreeView* view = View();
    form.Show();
    auto count = [&](unsigned rgb, TTreeNode* node) {
        const QImage shot = view->viewport()->grab().toImage();
        const TRect r = node->DisplayRect(false);
        return CountPixels(shot, rgb, r.Left, r.Top, r.Right, r.Bottom);
    };
    EXPECT_GE(count(0xFF0000, b), 200);
    EXPECT_EQ(count(0x0000FF, b), 0);
    b->SetSelected(true);
    EXPECT_GE(count(0x0000FF, b), 200);
    EXPECT_EQ(count(0xFF0000, b), 0);
    EXPECT_GE(count(0xFF0000, c), 200);
    tree->SetImages(nullptr);
    EXPECT_EQ(count(0xFF0000, c), 0);
}

TEST_F(TreeFixture, RenamingInPlaceGoesThroughEditingAndEdited) {
    Build();
    QTreeView* view = View();
    form.Show();
    b->SetSelected(true);
    tree->SetReadOnly(true);
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_FALSE(tree->IsEditing());
    tree->SetReadOnly(false);
    bool allow = false;
    tree->OnEditing = [&](TObject*, TTreeNode*, bool& ok) { ok = allow; };
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_FALSE(tree->IsEditing());
    allow = true;
    tree->OnEdited = [](TObject*, TTreeNode*, AnsiString& text) { text = text.UpperCase(); };
    b->EditText();
    ASSERT_TRUE(tree->IsEditing());
    auto* editor = view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "nuovo");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(b->Text(), AnsiString("NUOVO"));
}

TEST(ImageList, SizesMasksCopiesAndGoingAway) {
    TestApp();
    TImageList images;
    images.SetWidth(4);
    images.SetHeight(4);
    TBitmap picture(4, 4);
    picture.Canvas()->Brush()->SetColor(clLime);
    picture.Canvas()->FillRect(Rect(0, 0, 4, 4));
    picture.Canvas()->SetPixels(0, 0, clFuchsia);
    EXPECT_EQ(images.AddMasked(&picture, clFuchsia), 0);
    EXPECT_EQ(qAlpha(images.Image(0).pixel(0, 0)), 0);
    EXPECT_EQ(images.Image(0).pixel(1, 1) & 0xFFFFFF, 0x00FF00u);
    TBitmap mask(4, 4); // white everywhere: all transparent
    EXPECT_EQ(images.Add(&picture, &mask), 1);
    EXPECT_EQ(qAlpha(images.Image(1).pixel(2, 2)), 0);
    TBitmap copy;
    EXPECT_TRUE(images.GetBitmap(0, &copy));
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_FALSE(images.GetBitmap(5, &copy));
    int changes = 0;
    images.OnChange = [&](TObject*) { ++changes; };
    images.Delete(0);
    EXPECT_EQ(images.Count(), 1);
    images.SetWidth(8); // another size empties the list
    EXPECT_EQ(images.Count(), 0);
    EXPECT_EQ(changes, 2);
    EXPECT_THROW(images.AddFromFile("/non/esiste.png"), Exception);

    TForm form;
    auto* tree = new TTreeView(&form);
    {
        TImageList shortLived;
        tree->SetImages(&shortLived);
        EXPECT_EQ(tree->Images(), &shortLived);
    }
    EXPECT_EQ(tree->Images(), nullptr);
}

// The in-place editor is the tree's own: the tree keeps the focus as the form
// sees it while the user renames, and leaves only when the focus goes
// elsewhere.
TEST_F(TreeFixture, RenamingInPlaceKeepsTheTreeFocused) {
    Build();
    tree->SetAlign(alNone);
    tree->SetBounds(0, 0, 300, 300);
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(0, 320, 200, 22);
    int enters = 0;
    int exits = 0;
    tree->OnEnter = [&](TObject*) { ++enters; };
    tree->OnExit = [&](TObject*) { ++exits; };
    QTreeView* view = View();
    ASSERT_TRUE(GiveFocus(view)) << "the platform does not activate windows";
    b->SetSelected(true);
    KeyToWindow(view, Qt::Key_F2);
    ASSERT_TRUE(tree->IsEditing());
    auto* editor = view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->hasFocus());
    KeyToWindow(view, Qt::Key_End);
    KeyToWindow(view, Qt::Key_X);
    KeyToWindow(view, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(b->Text(), AnsiString("Bx"));
    EXPECT_TRUE(view->hasFocus());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 0);

    KeyToWindow(view, Qt::Key_F2);
    ASSERT_TRUE(tree->IsEditing());
    EXPECT_EQ(exits, 0);
    other->SetFocus();
    QApplication::processEvents();
    EXPECT_TRUE(other->Widget()->hasFocus());
    EXPECT_EQ(exits, 1);
    other->Widget()->clearFocus();
    view->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(exits, 1);
}
