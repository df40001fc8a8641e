#pragma once
// TQuorTreeView: a tree view over the records of a table that stores a
// hierarchy, and the commands that edit it in place.
//
// Every item is one record of the master dataset: an integer key (KeyField,
// unique, never 0, never written by the view), the key of its parent item
// (LinkField, 0 at the top level), a caption (ListField), an icon number
// (IconField, also the selected icon) and its position among its siblings
// (OrderField, from 1, written by the move commands). Each node's Data holds
// the item's key as an integer. The tree holds no other copy of the data.
//
// Reload (called by the form, typically once its datasets are open) fills
// the top level from the master dataset. The children of a node are read
// the first time the node is selected, from the slave dataset: the form
// links it to the master as a detail whose records are those whose link
// equals the master's current key (for example a table on the same file
// with MasterSource the master's data source, MasterFields KeyField and an
// index on LinkField and OrderField). With KeyFieldSlave naming the key the
// children open the same way, to any depth; left empty, children are
// keyless leaves. With HideLinked the top level shows only the records whose
// link is 0 or null. The datasets' own order is the order shown.
//
// A form sets DataSourceMaster, DataSourceSlave, KeyField, LinkField,
// ListField, IconField, OrderField, KeyFieldSlave, HideLinked, and for the
// built-in popup menu AllowInternalEditing with the CaptionFor... captions,
// AskItemName and AskDeleteItem. The field-name setters only store the
// name; ListField, KeyField and LinkField must all be set for anything to
// load. The data sources are plain references, not watched.
//
// The popup menu, made by the first Reload unless the form gave the view a
// menu of its own: create (tag 0), create sub-item (1), rename (2), "-",
// move up (3), move down (4), "-", delete (5); the editing items only with
// AllowInternalEditing, each move item only with a caption. Dragging an item
// onto another (DragMode is dmAutomatic) makes it that item's last child;
// a drop onto the item's own descendants, or from or onto an item without
// a key, is refused. Renaming in place only beeps. Every change is written
// to the master dataset at once; every failure ends the command silently.

#include "platform/core/AnsiString.h"
#include "platform/gui/TreeView.h"

class TDataSet;
class TDataSource;
class TDragObject;
class TMenuItem;

class TQuorTreeView : public TTreeView {
public:
    explicit TQuorTreeView(TComponent* owner = nullptr);
    ~TQuorTreeView() override;
    QUOR_CLASS_NAME(TQuorTreeView)

    TDataSource* DataSourceMaster() const { return dataSourceMaster_; }
    void SetDataSourceMaster(TDataSource* source) { dataSourceMaster_ = source; }
    TDataSource* DataSourceSlave() const { return dataSourceSlave_; }
    void SetDataSourceSlave(TDataSource* source) { dataSourceSlave_ = source; }

    const AnsiString& KeyField() const { return keyField_; }
    void SetKeyField(const AnsiString& name) { keyField_ = name; }
    const AnsiString& LinkField() const { return linkField_; }
    void SetLinkField(const AnsiString& name) { linkField_ = name; }
    const AnsiString& ListField() const { return listField_; }
    void SetListField(const AnsiString& name) { listField_ = name; }
    const AnsiString& IconField() const { return iconField_; }
    void SetIconField(const AnsiString& name) { iconField_ = name; }
    const AnsiString& OrderField() const { return orderField_; }
    void SetOrderField(const AnsiString& name) { orderField_ = name; }
    const AnsiString& KeyFieldSlave() const { return keyFieldSlave_; }
    void SetKeyFieldSlave(const AnsiString& name) { keyFieldSlave_ = name; }

    bool HideLinked() const { return hideLinked_; }
    void SetHideLinked(bool hide) { hideLinked_ = hide; }
    bool AllowInternalEditing() const { return allowInternalEditing_; }
    void SetAllowInternalEditing(bool allow) { allowInternalEditing_ = allow; }

    // Captions of the popup menu's items; the create caption is also the
    // caption of the name dialog. An empty move caption leaves its item out.
    const AnsiString& CaptionForCreateItem() const { return captionForCreateItem_; }
    void SetCaptionForCreateItem(const AnsiString& c) { captionForCreateItem_ = c; }
    const AnsiString& CaptionForCreateSubItem() const { return captionForCreateSubItem_; }
    void SetCaptionForCreateSubItem(const AnsiString& c) { captionForCreateSubItem_ = c; }
    const AnsiString& CaptionForChangeItem() const { return captionForChangeItem_; }
    void SetCaptionForChangeItem(const AnsiString& c) { captionForChangeItem_ = c; }
    const AnsiString& CaptionForMoveUp() const { return captionForMoveUp_; }
    void SetCaptionForMoveUp(const AnsiString& c) { captionForMoveUp_ = c; }
    const AnsiString& CaptionForMoveDown() const { return captionForMoveDown_; }
    void SetCaptionForMoveDown(const AnsiString& c) { captionForMoveDown_ = c; }
    const AnsiString& CaptionForDeleteItem() const { return captionForDeleteItem_; }
    void SetCaptionForDeleteItem(const AnsiString& c) { captionForDeleteItem_ = c; }
    // Prompt of the name dialog and text of the delete question.
    const AnsiString& AskItemName() const { return askItemName_; }
    void SetAskItemName(const AnsiString& text) { askItemName_ = text; }
    const AnsiString& AskDeleteItem() const { return askDeleteItem_; }
    void SetAskDeleteItem(const AnsiString& text) { askDeleteItem_ = text; }
    // Kept for the form; the view makes no use of it.
    const AnsiString& CaptionRoot() const { return captionRoot_; }
    void SetCaptionRoot(const AnsiString& caption) { captionRoot_ = caption; }

    // The selected node's key, 0 when nothing is selected.
    int SelectedKey() const;

    // Rebuilds the top level, selecting and expanding again the top-level
    // node whose key was selected. Needs the master dataset, the three main
    // field names and a visible view.
    void Reload();
    // Positions the master dataset on the first record whose KeyField is key.
    bool ItemSelect(int key);
    // Adds a child of parent (null: the top level) per record of dataset;
    // returns the last node whose key is selectedKey, or null.
    TTreeNode* LoadChildren(TTreeNode* parent, TDataSet* dataSet, const AnsiString& keyFieldName,
                            int selectedKey);
    // Asks for names, one item each, until the user cancels or gives none.
    void NewItems(bool topLevel);
    void NewItem(const AnsiString& name, int icon, bool topLevel);
    // The name dialog; icon is not asked for and keeps its value.
    bool ChiediDati(AnsiString& name, int& icon);
    void ItemChange();
    // Moves the selected item up (-1) or down (+1) among its siblings and
    // numbers them all from 1.
    void ItemMove(int direction);
    // Deletes the selected item's record after asking; its children's
    // records stay.
    void ItemDelete();

    TMenuItem* AddMenuItem(const AnsiString& caption, int tag);
    void PopupMenuItemsClick(TObject* sender);
    TDataSet* GetMasterDataSet() const;
    TDataSet* GetSlaveDataSet() const;

    // Handlers of OnStartDrag and OnEdited, set by the constructor.
    void StartDrag(TObject* sender, TDragObject*& dragObject);
    void Edited(TObject* sender, TTreeNode* node, AnsiString& text);

    void DragDrop(TObject* source, int x, int y) override;

protected:
    void Change(TTreeNode* node) override;
    void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;

private:
    bool FieldsSet() const;
    // Whether the chain of parent links in the master table leads from the
    // record with key from to key (from itself included). Moves the master.
    bool LinksReach(int from, int key);

    TDataSource* dataSourceMaster_ = nullptr;
    TDataSource* dataSourceSlave_ = nullptr;
    AnsiString keyField_;
    AnsiString linkField_;
    AnsiString listField_;
    AnsiString iconField_;
    AnsiString orderField_;
    AnsiString keyFieldSlave_;
    bool hideLinked_ = false;
    bool allowInternalEditing_ = false;
    AnsiString captionForCreateItem_;
    AnsiString captionForCreateSubItem_;
    AnsiString captionForChangeItem_;
    AnsiString captionForMoveUp_;
    AnsiString captionForMoveDown_;
    AnsiString captionForDeleteItem_;
    AnsiString askItemName_;
    AnsiString askDeleteItem_;
    AnsiString captionRoot_;
};

// The key a node carries in its Data, 0 for none.
int NodeKey(const TTreeNode* node);

namespace Quortreeview {
// Puts TQuorTreeView on the palette page "Quor".
void Register();
} // namespace Quortreeview
