#pragma once
// TTreeView: a tree of captioned nodes with icons from an image list, one
// of them selected. The nodes (TTreeNodes, TTreeNode) are plain objects the
// view owns; the widget, created on demand, shows them and feeds the user's
// selection, expansion and in-place renaming back. Everything can be driven
// without a widget.
//
// Selecting a node, by the user or through code, runs OnChanging (which may
// refuse) and then Change, which raises OnChange. Deleting the selected node
// selects its next sibling, else its previous one, else its parent. Between
// BeginUpdate and EndUpdate the widget is told nothing; EndUpdate shows the
// result at once, so filling many nodes costs little.
//
// A right click does not select (unless RightClickSelect); the control's
// PopupMenu acts on the node already selected. While a drag is in progress
// DropTarget is the node under the mouse.

#include "platform/core/AnsiString.h"
#include "platform/core/Types.h"
#include "platform/gui/WinControl.h"

#include <functional>
#include <memory>
#include <vector>

class TCustomImageList;
class TTreeNodes;
class TTreeView;
class TTreeModel;

enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

class TTreeNode {
public:
    ~TTreeNode();
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* Owner() const { return owner_; }
    TTreeView* TreeView() const;

    const AnsiString& Text() const { return text_; }
    void SetText(const AnsiString& text);
    // The form's own value; the view never reads it.
    void* Data() const { return data_; }
    void SetData(void* data) { data_ = data; }
    // Icons: image indexes in the view's image list (-1: none).
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    // The icon while the node is selected.
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int index);

    bool Expanded() const { return expanded_; }
    void SetExpanded(bool expanded);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    // True when the node has children, or was told it has (shows the
    // expander before the children are there).
    bool HasChildren() const { return hasChildren_ || !children_.empty(); }
    void SetHasChildren(bool hasChildren);

    // Null for a node of the top level.
    TTreeNode* Parent() const;
    int Count() const { return static_cast<int>(children_.size()); }
    // A child; null outside 0..Count()-1.
    TTreeNode* Item(int index) const;
    // Position among its siblings.
    int Index() const { return index_; }
    // 0 for the top level.
    int Level() const;
    // Position in the whole tree, in the order GetNext walks it.
    int AbsoluteIndex() const;
    TTreeNode* getFirstChild() const { return Item(0); }
    TTreeNode* GetLastChild() const { return Item(Count() - 1); }
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    // The next and previous node of the whole tree, children first.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    // Whether node is this node's parent, grandparent...
    bool HasAsParent(const TTreeNode* node) const;

    bool Selected() const;
    void SetSelected(bool selected);
    bool DropTarget() const;
    // Whether every parent is expanded.
    bool IsVisible() const;
    // Where the node is drawn in the view's client area (empty without a
    // widget or when not visible).
    TRect DisplayRect(bool textOnly) const;

    // Moves the node with its children: naAdd / naAddFirst make it the
    // last / first sibling of destination, naAddChild / naAddChildFirst its
    // last / first child, naInsert puts it before destination. A null
    // destination means the top level. Moving a node under itself does nothing.
    void MoveTo(TTreeNode* destination, TNodeAttachMode mode);
    // Destroys the node with its children.
    void Delete();
    void DeleteChildren();
    // Starts renaming the node in place.
    void EditText();

private:
    friend class TTreeNodes;
    friend class TTreeView;
    friend class TTreeModel;
    explicit TTreeNode(TTreeNodes* owner) : owner_(owner) {}
    void Renumber(int from);

    TTreeNodes* owner_;
    TTreeNode* parent_ = nullptr;
    int index_ = 0;
    // Children the widget has been told of: during an update, children
    // appended stay out of its sight until EndUpdate reveals them.
    int shown_ = 0;
    std::vector<std::unique_ptr<TTreeNode>> children_;
    AnsiString text_;
    void* data_ = nullptr;
    int imageIndex_ = 0;
    int selectedIndex_ = 0;
    bool expanded_ = false;
    bool hasChildren_ = false;
};

class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* owner);
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TTreeView* Owner() const { return owner_; }
    // Every node of the tree.
    int Count() const { return count_; }
    // The node at a position of the whole tree (AbsoluteIndex); null outside.
    TTreeNode* Item(int index) const;
    TTreeNode* operator[](int index) const { return Item(index); }
    TTreeNode* GetFirstNode() const;

    // A new last / first sibling of sibling (the top level when null).
    TTreeNode* Add(TTreeNode* sibling, const AnsiString& text);
    TTreeNode* AddObject(TTreeNode* sibling, const AnsiString& text, void* data);
    TTreeNode* AddFirst(TTreeNode* sibling, const AnsiString& text);
    // A new last / first child of parent (the top level when null).
    TTreeNode* AddChild(TTreeNode* parent, const AnsiString& text);
    TTreeNode* AddChildObject(TTreeNode* parent, const AnsiString& text, void* data);
    TTreeNode* AddChildFirst(TTreeNode* parent, const AnsiString& text);
    // A new node just before sibling (the last of the top level when null).
    TTreeNode* Insert(TTreeNode* sibling, const AnsiString& text);
    void Delete(TTreeNode* node);
    void Clear();

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

private:
    friend class TTreeNode;
    friend class TTreeView;
    friend class TTreeModel;
    TTreeNode* InsertNode(TTreeNode* parent, int position, const AnsiString& text);
    void Detach(TTreeNode* node);

    TTreeView* owner_;
    std::unique_ptr<TTreeNode> root_;
    int count_ = 0;
    int updateCount_ = 0;
    bool destroying_ = false;
};

using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allow)>;
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allow)>;
using TTVExpandedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVEditingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allow)>;
using TTVEditedEvent = std::function<void(TObject* sender, TTreeNode* node, AnsiString& text)>;

class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* owner = nullptr);
    ~TTreeView() override;
    QUOR_CLASS_NAME(TTreeView)

    TTreeNodes* Items() { return &items_; }
    const TTreeNodes* Items() const { return &items_; }

    TTreeNode* Selected() const { return selected_; }
    // Selects the node (null: none), as a click on it would.
    void SetSelected(TTreeNode* node);
    // The node a drag is over, highlighted; null when none.
    TTreeNode* DropTarget() const { return dropTarget_; }
    void SetDropTarget(TTreeNode* node);

    // The icons; not owned (a list being destroyed leaves the view).
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);

    // Renaming in place (a click on the selected node, or F2) unless read-only.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool show);
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool show);
    // Expanders and lines for the nodes of the top level.
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool show);
    // The selection stays visible while another control has the focus.
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool rowSelect);
    // Selecting a node expands it.
    bool AutoExpand() const { return autoExpand_; }
    void SetAutoExpand(bool autoExpand) { autoExpand_ = autoExpand; }
    bool RightClickSelect() const { return rightClickSelect_; }
    void SetRightClickSelect(bool select) { rightClickSelect_ = select; }
    // Pixels each level is indented.
    int Indent() const { return indent_; }
    void SetIndent(int indent);

    // The node drawn at (x, y) of the client area, null where there is none.
    TTreeNode* GetNodeAt(int x, int y) const;
    void FullExpand();
    void FullCollapse();
    bool IsEditing() const;

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVExpandingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVEditingEvent OnEditing;
    // The user renamed a node; the handler may change the text, which the
    // node then takes.
    TTVEditedEvent OnEdited;
    // A node is being destroyed (for the form's Data).
    TTVExpandedEvent OnDeletion;

protected:
    // The selection changed: raises OnChange.
    virtual void Change(TTreeNode* node);
    virtual bool CanChange(TTreeNode* node);
    virtual bool CanExpand(TTreeNode* node);
    virtual void Expand(TTreeNode* node);
    virtual bool CanCollapse(TTreeNode* node);
    virtual void Collapse(TTreeNode* node);
    virtual bool CanEdit(TTreeNode* node);
    virtual void Delete(TTreeNode* node);

    QWidget* CreateWidget(QWidget* parent) override;
    void InitWidget(QWidget* widget) override;
    void DestroyWidget() override;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    friend class TTreeModel;
    friend class TTreeWidget;

    // From the nodes.
    void NodeChanged(TTreeNode* node);
    void BeforeInsert(TTreeNode* parent, int row);
    void AfterInsert(TTreeNode* node);
    void BeforeRemove(TTreeNode* node);
    void AfterRemove(TTreeNode* parent);
    void BeforeClear();
    void AfterClear();
    void UpdateStarted();
    void StartReset();
    void ShowAllChildren();
    void NodeRemoving(TTreeNode* node);
    void ExpansionChanged(TTreeNode* node);
    void SelectNode(TTreeNode* node, bool notify);
    void UpdateEnded();
    // From the widget.
    void SelectedByUser(TTreeNode* node);
    void ExpandedByUser(TTreeNode* node, bool expanded);
    void EditedByUser(TTreeNode* node, const AnsiString& text);
    bool EditAllowed(TTreeNode* node);
    // To the widget.
    bool Live() const;
    void ShowSelection();
    void ShowExpansion(TTreeNode* from);
    void ApplyOptions();
    void ImagesChanged(bool destroyed);

    TTreeNodes items_{this};
    TTreeNode* selected_ = nullptr;
    TTreeNode* dropTarget_ = nullptr;
    TCustomImageList* images_ = nullptr;
    bool readOnly_ = false;
    bool showButtons_ = true;
    bool showLines_ = true;
    bool showRoot_ = true;
    bool hideSelection_ = true;
    bool rowSelect_ = false;
    bool autoExpand_ = false;
    bool rightClickSelect_ = false;
    int indent_ = 19;
    // While the widget is being told of a change it made or will get.
    bool syncing_ = false;
    // During an update the widget learns of appended nodes at the end; any
    // other change resets its model instead.
    enum class UpdateMode { Appending, Resetting };
    UpdateMode updateMode_ = UpdateMode::Appending;
    std::vector<TTreeNode*> appended_;
    TTreeModel* model_ = nullptr;
};
