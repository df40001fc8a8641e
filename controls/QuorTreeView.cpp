#include "controls/QuorTreeView.h"

#include "db/FieldHelpers.h"
#include "db/RecordHelpers.h"
#include "platform/core/Application.h"
#include "platform/core/Palette.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Variant.h"
#include "platform/gui/DragDrop.h"
#include "platform/gui/Menus.h"

#include <cstdint>

namespace {

void* KeyData(int key) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(key));
}

// Re-enables a dataset's controls however the scope ends.
class ControlsDisabled {
public:
    explicit ControlsDisabled(TDataSet* dataSet) : dataSet_(dataSet) { dataSet_->DisableControls(); }
    ~ControlsDisabled() {
        try {
            dataSet_->EnableControls();
        } catch (...) {
        }
    }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    TDataSet* dataSet_;
};

} // namespace

int NodeKey(const TTreeNode* node) {
    return node ? static_cast<int>(reinterpret_cast<std::intptr_t>(node->Data())) : 0;
}

TQuorTreeView::TQuorTreeView(TComponent* owner) : TTreeView(owner) {
    SetDragMode(dmAutomatic);
    OnStartDrag = [this](TObject* sender, TDragObject*& dragObject) {
        StartDrag(sender, dragObject);
    };
    OnEdited = [this](TObject* sender, TTreeNode* node, AnsiString& text) {
        Edited(sender, node, text);
    };
}

TQuorTreeView::~TQuorTreeView() = default;

bool TQuorTreeView::FieldsSet() const {
    return !listField_.IsEmpty() && !keyField_.IsEmpty() && !linkField_.IsEmpty();
}

int TQuorTreeView::SelectedKey() const {
    return NodeKey(Selected());
}

TDataSet* TQuorTreeView::GetMasterDataSet() const {
    return dataSourceMaster_ ? dataSourceMaster_->DataSet() : nullptr;
}

TDataSet* TQuorTreeView::GetSlaveDataSet() const {
    return dataSourceSlave_ ? dataSourceSlave_->DataSet() : nullptr;
}

// Loading ------------------------------------------------------------------------------

void TQuorTreeView::Reload() {
    TDataSet* master = GetMasterDataSet();
    if (!master || !FieldsSet() || !Visible()) return;
    try {
        if (!PopupMenu()) {
            auto* menu = new TPopupMenu(this);
            menu->SetAutoPopup(true);
            SetPopupMenu(menu);
            if (allowInternalEditing_) {
                AddMenuItem(captionForCreateItem_, 0);
                AddMenuItem(captionForCreateSubItem_, 1);
                AddMenuItem(captionForChangeItem_, 2);
                AddMenuItem("-", -1);
            }
            if (!captionForMoveUp_.IsEmpty()) AddMenuItem(captionForMoveUp_, 3);
            if (!captionForMoveDown_.IsEmpty()) AddMenuItem(captionForMoveDown_, 4);
            if (allowInternalEditing_) {
                AddMenuItem("-", -1);
                AddMenuItem(captionForDeleteItem_, 5);
            }
        }
        if (!master->Active()) return;
        ControlsDisabled disabled(master);
        // Hidden while it is rebuilt, so that it is drawn once.
        Hide();
        struct ShowAgain {
            TQuorTreeView* tree;
            ~ShowAgain() { tree->Show(); }
        } showAgain{this};
        const int key = SelectedKey();
        Items()->Clear();
        if (TTreeNode* node = LoadChildren(nullptr, master, keyField_, key)) {
            node->SetSelected(true);
            node->SetExpanded(true);
        }
    } catch (...) {
    }
}

TTreeNode* TQuorTreeView::LoadChildren(TTreeNode* parent, TDataSet* dataSet,
                                       const AnsiString& keyFieldName, int selectedKey) {
    TTreeNodes* nodes = Items();
    nodes->BeginUpdate();
    struct EndUpdate {
        TTreeNodes* nodes;
        ~EndUpdate() { nodes->EndUpdate(); }
    } endUpdate{nodes};
    ControlsDisabled disabled(dataSet);
    Riapri(dataSet);
    TTreeNode* found = nullptr;
    if (!FieldsSet()) return found;
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
        if (hideLinked_ && !parent && IntField(dataSet, linkField_) != 0) continue;
        TTreeNode* node = nodes->AddChild(parent, StrField(dataSet, listField_));
        const int key = keyFieldName.IsEmpty() ? 0 : IntField(dataSet, keyFieldName);
        node->SetData(KeyData(key));
        const int icon = IntField(dataSet, iconField_);
        node->SetImageIndex(icon);
        node->SetSelectedIndex(icon);
        if (key == selectedKey) found = node;
    }
    return found;
}

void TQuorTreeView::Change(TTreeNode* node) {
    try {
        const int key = SelectedKey();
        if (key != 0) {
            ItemSelect(key);
            TTreeNode* selected = Selected();
            if (TDataSet* slave = GetSlaveDataSet(); slave && selected && selected->Count() == 0)
                LoadChildren(selected, slave, keyFieldSlave_, key);
        } else if (Selected() && Selected()->Parent()) {
            // A keyless child: the master goes to its parent's record.
            ItemSelect(NodeKey(Selected()->Parent()));
        }
    } catch (...) {
    }
    TTreeView::Change(node);
}

bool TQuorTreeView::ItemSelect(int key) {
    TDataSet* master = GetMasterDataSet();
    if (!master || !FieldsSet() || !master->Active()) return false;
    ControlsDisabled disabled(master);
    // The dataset's own search ends on the same record a scan from the first
    // would: the first one with that key. Not found, the scan ends at the end.
    bool found = false;
    try {
        found = master->Locate(keyField_, Variant(key));
    } catch (const EDatabaseError&) {
        found = false; // no such key field: nothing matches
    }
    if (!found) master->Last();
    return found;
}

// Commands ---------------------------------------------------------------------------

bool TQuorTreeView::ChiediDati(AnsiString& name, int&) {
    return InputQuery(captionForCreateItem_, askItemName_, name);
}

void TQuorTreeView::NewItems(bool topLevel) {
    try {
        TTreeNode* parent = topLevel ? nullptr : Selected();
        if (parent) parent->SetExpanded(true);
        AnsiString name;
        int icon = 0;
        while (ChiediDati(name, icon) && !name.IsEmpty()) {
            NewItem(name, 0, topLevel);
            if (parent) parent->SetSelected(true);
            name = AnsiString();
        }
        if (Selected()) Selected()->SetExpanded(true);
    } catch (...) {
    }
}

void TQuorTreeView::NewItem(const AnsiString& name, int icon, bool topLevel) {
    TDataSet* master = GetMasterDataSet();
    if (!dataSourceMaster_ || !master) return;
    TTreeNode* parent = topLevel ? nullptr : Selected();
    if (!topLevel && !parent) return;
    // Under an item without a key the link would say "top level" while the
    // node shows below it.
    if (parent && NodeKey(parent) == 0) return;
    if (!master->Active()) return;
    {
        ControlsDisabled disabled(master);
        master->Append();
        SetStrField(master, listField_, name);
        SetIntField(master, linkField_, topLevel ? 0 : NodeKey(parent));
        SetIntField(master, iconField_, icon);
        master->Post();
    }
    TTreeNode* node = Items()->AddChild(parent, name);
    node->SetData(KeyData(IntField(master, keyField_)));
}

void TQuorTreeView::ItemChange() {
    try {
        TDataSet* master = GetMasterDataSet();
        if (!ItemSelect(SelectedKey()) || !master->Active()) return;
        TTreeNode* node = Selected();
        AnsiString text = node->Text();
        int icon = node->ImageIndex();
        if (!ChiediDati(text, icon)) return;
        node->SetText(text);
        node->SetImageIndex(icon);
        node->SetSelectedIndex(icon);
        master->Edit();
        SetStrField(master, listField_, text);
        SetIntField(master, iconField_, icon);
        master->Post();
    } catch (...) {
    }
}

void TQuorTreeView::ItemMove(int direction) {
    TDataSet* master = GetMasterDataSet();
    if (!master || !master->Active()) return;
    SetCursor(crHourGlass);
    try {
        ControlsDisabled disabled(master);
        TTreeNode* node = Selected();
        TTreeNode* parent = node ? node->Parent() : nullptr;
        if (parent) {
            const int i = node->Index();
            const int n = parent->Count();
            if (direction < 0) {
                if (i > 0) node->MoveTo(parent->Item(i - 1), naInsert);
            } else if (i + 2 >= n) {
                node->MoveTo(parent, naAddChild);
            } else {
                node->MoveTo(parent->Item(i + 2), naInsert);
            }
            for (int k = 0; k < n; ++k) {
                if (!ItemSelect(NodeKey(parent->Item(k)))) continue;
                master->Edit();
                // Editing reads the record again: one that already has its
                // number is left as it is, without a write.
                const TField* order = master->FindField(orderField_);
                if (order && !order->IsNull() && order->AsInteger() == k + 1) {
                    master->Cancel();
                    continue;
                }
                SetIntField(master, orderField_, k + 1);
                master->Post();
            }
        }
    } catch (...) {
    }
    SetCursor(crDefault);
}

void TQuorTreeView::ItemDelete() {
    try {
        TDataSet* master = GetMasterDataSet();
        if (!ItemSelect(SelectedKey()) || !master->Active()) return;
        TTreeNode* node = Selected();
        if (Application->MessageBox(askDeleteItem_, node->Text(),
                                    MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return;
        master->Delete();
        node->Delete();
    } catch (...) {
    }
}

// The popup menu ---------------------------------------------------------------------

TMenuItem* TQuorTreeView::AddMenuItem(const AnsiString& caption, int tag) {
    TPopupMenu* menu = PopupMenu();
    if (!menu) return nullptr;
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    item->SetTag(tag);
    item->OnClick = [this](TObject* sender) { PopupMenuItemsClick(sender); };
    menu->Items()->Add(item);
    return item;
}

void TQuorTreeView::PopupMenuItemsClick(TObject* sender) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item) return;
    switch (item->Tag()) {
    case 0:
        NewItems(true);
        break;
    case 1:
        NewItems(false);
        break;
    case 2:
        ItemChange();
        break;
    case 3:
        ItemMove(-1);
        break;
    case 4:
        ItemMove(+1);
        break;
    case 5:
        ItemDelete();
        break;
    default:
        break;
    }
}

// Drag and drop ----------------------------------------------------------------------

void TQuorTreeView::StartDrag(TObject*, TDragObject*& dragObject) {
    dragObject = nullptr;
}

void TQuorTreeView::Edited(TObject*, TTreeNode* node, AnsiString& text) {
    Beep();
    if (node) text = node->Text();
}

void TQuorTreeView::DragOver(TObject* source, int, int, TDragState, bool& accept) {
    if (source == this) accept = true;
}

void TQuorTreeView::DragDrop(TObject* source, int x, int y) {
    try {
        TTreeView::DragDrop(source, x, y);
        TDataSet* master = GetMasterDataSet();
        TTreeNode* target = DropTarget();
        TTreeNode* node = Selected();
        if (source != this || !dataSourceMaster_ || !target || !node || target == node) return;
        if (!master || !master->Active()) return;
        // Under its own descendant the item and that descendant would each
        // be the other's ancestor, and both would vanish from the tree.
        if (target->HasAsParent(node)) return;
        const int key = SelectedKey();
        const int targetKey = NodeKey(target);
        if (key == 0 || targetKey == 0) return;
        // The tree may show a descendant apart from its parent (at the top,
        // with HideLinked off): the table's own parent links decide.
        if (LinksReach(targetKey, key)) return;
        // The dragged item's own record, wherever the master stands now.
        if (!ItemSelect(key)) return;
        master->Edit();
        SetIntField(master, linkField_, targetKey);
        master->Post();
        node->MoveTo(target, naAddChild);
    } catch (...) {
    }
}

bool TQuorTreeView::LinksReach(int from, int key) {
    TDataSet* master = GetMasterDataSet();
    ControlsDisabled disabled(master);
    // A chain already looping in the table ends the walk after every record.
    const int limit = master->RecordCount() + 1;
    int at = from;
    for (int step = 0; at != 0 && step <= limit; ++step) {
        if (at == key) return true;
        if (!master->Locate(keyField_, Variant(at))) return false;
        at = IntField(master, linkField_);
    }
    return at == key;
}

void Quortreeview::Register() {
    RegisterComponent<TQuorTreeView>("Quor", "TQuorTreeView");
}
