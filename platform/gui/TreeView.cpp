#include "platform/gui/TreeView.h"

#include "platform/gui/ControlWidget.h"
#include "platform/gui/DragDrop.h"
#include "platform/gui/ImgList.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QPixmap>
#include <QTreeView>

#include <algorithm>

namespace {

int SubtreeSize(const TTreeNode* node) {
    int n = 1;
    for (int i = 0; i < node->Count(); ++i)
        n += SubtreeSize(node->Item(i));
    return n;
}

} // namespace

// The model the widget reads the nodes through ------------------------------------------

class TTreeModel : public QAbstractItemModel {
public:
    TTreeModel(TTreeView* tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree) {}

    QModelIndex IndexOf(const TTreeNode* node) const {
        // The hidden root has no parent and no index.
        if (!node || !node->parent_) return {};
        return createIndex(node->index_, 0, const_cast<TTreeNode*>(node));
    }
    static QTreeView* ViewOf(const TTreeView* tree);
    static TTreeNode* NodeOf(const QModelIndex& index) {
        return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        const TTreeNode* p = parent.isValid() ? NodeOf(parent) : Root();
        if (column != 0 || row < 0 || row >= p->shown_) return {};
        return createIndex(row, 0, p->children_[static_cast<size_t>(row)].get());
    }
    QModelIndex parent(const QModelIndex& child) const override {
        const TTreeNode* node = NodeOf(child);
        return node ? IndexOf(node->parent_) : QModelIndex();
    }
    int rowCount(const QModelIndex& parent) const override {
        if (parent.column() > 0) return 0;
        const TTreeNode* p = parent.isValid() ? NodeOf(parent) : Root();
        return p->shown_;
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    bool hasChildren(const QModelIndex& parent) const override {
        const TTreeNode* p = parent.isValid() ? NodeOf(parent) : Root();
        return p->shown_ > 0 || p->hasChildren_;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const TTreeNode* node = NodeOf(index);
        if (!node) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return ToQString(node->text_);
        case Qt::DecorationRole:
            return Icon(node == tree_->selected_ ? node->selectedIndex_ : node->imageIndex_);
        case Qt::BackgroundRole:
            if (node == tree_->dropTarget_ && tree_->ExistingWidget())
                return tree_->ExistingWidget()->palette().color(QPalette::Active,
                                                                QPalette::Highlight);
            return {};
        case Qt::ForegroundRole:
            if (node == tree_->dropTarget_ && tree_->ExistingWidget())
                return tree_->ExistingWidget()->palette().color(QPalette::Active,
                                                                QPalette::HighlightedText);
            return {};
        default:
            return {};
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        TTreeNode* node = NodeOf(index);
        if (!node || role != Qt::EditRole) return false;
        const AnsiString text = FromQString(value.toString());
        ControlEvents::Guard([&] { tree_->EditedByUser(node, text); });
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return {};
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!tree_->readOnly_) f |= Qt::ItemIsEditable;
        return f;
    }

    void BeginInsert(const TTreeNode* parent, int first, int last) {
        beginInsertRows(IndexOf(parent), first, last);
    }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(const TTreeNode* node) {
        beginRemoveRows(IndexOf(node->parent_), node->index_, node->index_);
    }
    void EndRemove() { endRemoveRows(); }
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void Changed(const TTreeNode* node) {
        const QModelIndex i = IndexOf(node);
        if (i.isValid()) emit dataChanged(i, i);
    }
    void ImagesChanged() {
        icons_.clear();
        if (Root()->shown_ > 0) emit dataChanged(index(0, 0, {}), index(Root()->shown_ - 1, 0, {}));
    }

private:
    TTreeNode* Root() const { return tree_->items_.root_.get(); }
    QVariant Icon(int imageIndex) const {
        const TCustomImageList* images = tree_->images_;
        if (!images || imageIndex < 0 || imageIndex >= images->Count()) return {};
        if (icons_.size() != static_cast<size_t>(images->Count()))
            icons_.assign(static_cast<size_t>(images->Count()), QIcon());
        QIcon& icon = icons_[static_cast<size_t>(imageIndex)];
        if (icon.isNull()) {
            // The same picture selected: the platform does not tint it.
            const QPixmap picture = QPixmap::fromImage(images->Image(imageIndex));
            icon.addPixmap(picture, QIcon::Normal);
            icon.addPixmap(picture, QIcon::Selected);
        }
        return icon;
    }

    TTreeView* tree_;
    mutable std::vector<QIcon> icons_;
};

// The widget --------------------------------------------------------------------------------

class TTreeWidget : public TControlWidget<QTreeView> {
public:
    TTreeWidget(TTreeView* tree, QWidget* parent)
        : TControlWidget<QTreeView>(tree, parent), tree_(tree) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        // On the platform a right click leaves the selection alone.
        if (event->button() == Qt::RightButton && !tree_->RightClickSelect()) {
            ControlEvents::MousePress(tree_, event);
            event->accept();
            return;
        }
        TControlWidget<QTreeView>::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        // A drag is not a selection sweep.
        if (tree_->Dragging()) {
            ControlEvents::MouseMove(tree_, event);
            if (DragStarted(tree_)) TrackDropTarget(event->position().toPoint());
            event->accept();
            return;
        }
        TControlWidget<QTreeView>::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (DragStarted(tree_) && event->button() == Qt::LeftButton) {
            TrackDropTarget(event->position().toPoint());
            ControlEvents::MouseRelease(tree_, event);
            ControlEvents::Guard([this] { tree_->SetDropTarget(nullptr); });
            event->accept();
            return;
        }
        TControlWidget<QTreeView>::mouseReleaseEvent(event);
    }
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        if (trigger != NoEditTriggers) {
            TTreeNode* node = TTreeModel::NodeOf(index);
            bool allowed = false;
            ControlEvents::Guard([&] { allowed = node && tree_->EditAllowed(node); });
            if (!allowed) return false;
        }
        return QTreeView::edit(index, trigger, event);
    }

public:
    bool Editing() const { return state() == EditingState; }

private:
    void TrackDropTarget(QPoint p) {
        const bool inside = viewport()->rect().contains(p);
        ControlEvents::Guard(
            [&] { tree_->SetDropTarget(inside ? tree_->GetNodeAt(p.x(), p.y()) : nullptr); });
    }

    TTreeView* tree_;
};

QTreeView* TTreeModel::ViewOf(const TTreeView* tree) {
    return static_cast<QTreeView*>(tree->ExistingWidget());
}

namespace {

QTreeView* ViewOf(const TTreeView* tree) {
    return TTreeModel::ViewOf(tree);
}

} // namespace

// Nodes -----------------------------------------------------------------------------------------

TTreeNode::~TTreeNode() = default;

TTreeView* TTreeNode::TreeView() const {
    return owner_->Owner();
}

void TTreeNode::SetText(const AnsiString& text) {
    if (text == text_) return;
    text_ = text;
    TreeView()->NodeChanged(this);
}

void TTreeNode::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    TreeView()->NodeChanged(this);
}

void TTreeNode::SetSelectedIndex(int index) {
    if (index == selectedIndex_) return;
    selectedIndex_ = index;
    TreeView()->NodeChanged(this);
}

void TTreeNode::SetExpanded(bool expanded) {
    if (expanded == expanded_) return;
    TTreeView* tree = TreeView();
    if (expanded ? !tree->CanExpand(this) : !tree->CanCollapse(this)) return;
    expanded_ = expanded;
    tree->ExpansionChanged(this);
    if (expanded)
        tree->Expand(this);
    else
        tree->Collapse(this);
}

void TTreeNode::Expand(bool recurse) {
    SetExpanded(true);
    if (recurse)
        for (int i = 0; i < Count(); ++i)
            Item(i)->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
    SetExpanded(false);
    if (recurse)
        for (int i = 0; i < Count(); ++i)
            Item(i)->Collapse(true);
}

void TTreeNode::SetHasChildren(bool hasChildren) {
    if (hasChildren == hasChildren_) return;
    hasChildren_ = hasChildren;
    TreeView()->NodeChanged(this);
}

TTreeNode* TTreeNode::Parent() const {
    return parent_ == owner_->root_.get() ? nullptr : parent_;
}

TTreeNode* TTreeNode::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return children_[static_cast<size_t>(index)].get();
}

int TTreeNode::Level() const {
    int level = 0;
    for (const TTreeNode* p = Parent(); p; p = p->Parent())
        ++level;
    return level;
}

int TTreeNode::AbsoluteIndex() const {
    int n = -1;
    for (const TTreeNode* node = this; node; node = node->GetPrev())
        ++n;
    return n;
}

TTreeNode* TTreeNode::getNextSibling() const {
    return parent_ ? parent_->Item(index_ + 1) : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
    return parent_ ? parent_->Item(index_ - 1) : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (Count() > 0) return Item(0);
    for (const TTreeNode* node = this; node && node->parent_; node = node->parent_)
        if (TTreeNode* next = node->getNextSibling()) return next;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* prev = getPrevSibling();
    if (!prev) return Parent();
    while (prev->Count() > 0)
        prev = prev->GetLastChild();
    return prev;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
    if (!node) return false;
    for (const TTreeNode* p = Parent(); p; p = p->Parent())
        if (p == node) return true;
    return false;
}

bool TTreeNode::Selected() const {
    return TreeView()->Selected() == this;
}

void TTreeNode::SetSelected(bool selected) {
    TTreeView* tree = TreeView();
    if (selected)
        tree->SetSelected(this);
    else if (tree->Selected() == this)
        tree->SetSelected(nullptr);
}

bool TTreeNode::DropTarget() const {
    return TreeView()->DropTarget() == this;
}

bool TTreeNode::IsVisible() const {
    for (const TTreeNode* p = Parent(); p; p = p->Parent())
        if (!p->expanded_) return false;
    return true;
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
    const TTreeView* tree = TreeView();
    if (!tree->Live() || !IsVisible()) return TRect{};
    QTreeView* view = ViewOf(tree);
    QRect r = view->visualRect(tree->model_->IndexOf(this));
    if (r.isEmpty()) return TRect{};
    if (textOnly && tree->Images() && tree->Images()->Count() > 0)
        r.setLeft(r.left() + view->iconSize().width() + 4);
    return Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

void TTreeNode::Renumber(int from) {
    for (size_t i = static_cast<size_t>(std::max(0, from)); i < children_.size(); ++i)
        children_[i]->index_ = static_cast<int>(i);
}

void TTreeNode::MoveTo(TTreeNode* destination, TNodeAttachMode mode) {
    if (destination == this || (destination && destination->HasAsParent(this))) return;
    TTreeNodes* nodes = owner_;
    TTreeNode* root = nodes->root_.get();
    TTreeNode* newParent = root;
    int position = -1; // at the end
    switch (mode) {
    case naAdd:
        newParent = destination ? destination->parent_ : root;
        break;
    case naAddFirst:
        newParent = destination ? destination->parent_ : root;
        position = 0;
        break;
    case naAddChild:
        newParent = destination ? destination : root;
        break;
    case naAddChildFirst:
        newParent = destination ? destination : root;
        position = 0;
        break;
    case naInsert:
        newParent = destination ? destination->parent_ : root;
        position = destination ? destination->index_ : -1;
        break;
    }
    // Positions count the siblings without this node.
    if (newParent == parent_ && position > index_) --position;
    const int last = parent_->Count() - 1;
    if (newParent == parent_ && (position == index_ || (position < 0 && index_ == last))) return;

    TTreeView* tree = TreeView();
    tree->BeforeRemove(this);
    std::unique_ptr<TTreeNode> self = std::move(parent_->children_[static_cast<size_t>(index_)]);
    TTreeNode* oldParent = parent_;
    oldParent->children_.erase(oldParent->children_.begin() + index_);
    oldParent->Renumber(index_);
    tree->AfterRemove(oldParent);

    const int at = position < 0 ? newParent->Count() : std::min(position, newParent->Count());
    tree->BeforeInsert(newParent, at);
    parent_ = newParent;
    newParent->children_.insert(newParent->children_.begin() + at, std::move(self));
    newParent->Renumber(at);
    tree->AfterInsert(this);
    tree->ShowExpansion(this);
    tree->ShowSelection();
}

void TTreeNode::Delete() {
    owner_->Delete(this);
}

void TTreeNode::DeleteChildren() {
    while (Count() > 0)
        owner_->Delete(GetLastChild());
}

void TTreeNode::EditText() {
    TTreeView* tree = TreeView();
    if (!tree->Live()) return;
    ViewOf(tree)->edit(tree->model_->IndexOf(this));
}

// The node list ---------------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TTreeView* owner) : owner_(owner), root_(new TTreeNode(this)) {}

TTreeNodes::~TTreeNodes() {
    destroying_ = true;
}

TTreeNode* TTreeNodes::Item(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    TTreeNode* node = GetFirstNode();
    for (int i = 0; i < index && node; ++i)
        node = node->GetNext();
    return node;
}

TTreeNode* TTreeNodes::GetFirstNode() const {
    return root_->Item(0);
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, int position, const AnsiString& text) {
    position = std::clamp(position, 0, parent->Count());
    std::unique_ptr<TTreeNode> node(new TTreeNode(this));
    TTreeNode* raw = node.get();
    raw->text_ = text;
    raw->parent_ = parent;
    owner_->BeforeInsert(parent, position);
    parent->children_.insert(parent->children_.begin() + position, std::move(node));
    parent->Renumber(position);
    ++count_;
    owner_->AfterInsert(raw);
    return raw;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const AnsiString& text) {
    TTreeNode* parent = sibling ? sibling->parent_ : root_.get();
    return InsertNode(parent, parent->Count(), text);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const AnsiString& text, void* data) {
    TTreeNode* node = Add(sibling, text);
    node->data_ = data;
    return node;
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const AnsiString& text) {
    return InsertNode(sibling ? sibling->parent_ : root_.get(), 0, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const AnsiString& text) {
    TTreeNode* p = parent ? parent : root_.get();
    return InsertNode(p, p->Count(), text);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const AnsiString& text, void* data) {
    TTreeNode* node = AddChild(parent, text);
    node->data_ = data;
    return node;
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const AnsiString& text) {
    return InsertNode(parent ? parent : root_.get(), 0, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const AnsiString& text) {
    if (!sibling) return Add(nullptr, text);
    return InsertNode(sibling->parent_, sibling->index_, text);
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (!node || node == root_.get() || node->owner_ != this) return;
    TTreeView* tree = owner_;
    TTreeNode* selected = tree->selected_;
    const bool selectedGoes = selected && (selected == node || selected->HasAsParent(node));
    // The platform's tree selects a neighbour when the selection goes.
    TTreeNode* next = nullptr;
    if (selectedGoes) {
        next = node->getNextSibling();
        if (!next) next = node->getPrevSibling();
        if (!next) next = node->Parent();
    }
    tree->NodeRemoving(node);
    if (tree->dropTarget_ && (tree->dropTarget_ == node || tree->dropTarget_->HasAsParent(node)))
        tree->dropTarget_ = nullptr;
    if (selectedGoes) tree->selected_ = nullptr;

    tree->BeforeRemove(node);
    TTreeNode* parent = node->parent_;
    std::unique_ptr<TTreeNode> gone = std::move(parent->children_[static_cast<size_t>(node->index_)]);
    parent->children_.erase(parent->children_.begin() + node->index_);
    parent->Renumber(node->index_);
    count_ -= SubtreeSize(gone.get());
    tree->AfterRemove(parent);
    gone.reset();
    if (selectedGoes) tree->SelectNode(next, true);
}

void TTreeNodes::Clear() {
    if (root_->Count() == 0) return;
    TTreeView* tree = owner_;
    for (int i = 0; i < root_->Count(); ++i)
        tree->NodeRemoving(root_->Item(i));
    const bool hadSelection = tree->selected_ != nullptr;
    tree->selected_ = nullptr;
    tree->dropTarget_ = nullptr;
    tree->BeforeClear();
    root_->children_.clear();
    count_ = 0;
    tree->AfterClear();
    if (hadSelection) tree->SelectNode(nullptr, true);
}

void TTreeNodes::BeginUpdate() {
    if (updateCount_++ == 0) owner_->UpdateStarted();
}

void TTreeNodes::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ > 0) return;
    owner_->UpdateEnded();
}

// The view ---------------------------------------------------------------------------------------

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner) {
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() {
    SetImages(nullptr);
    DestroyWidget();
    items_.destroying_ = true;
}

bool TTreeView::Live() const {
    return model_ && items_.updateCount_ == 0 && !items_.destroying_;
}

void TTreeView::UpdateStarted() {
    updateMode_ = UpdateMode::Appending;
    appended_.clear();
}

void TTreeView::StartReset() {
    if (updateMode_ == UpdateMode::Resetting) return;
    updateMode_ = UpdateMode::Resetting;
    appended_.clear();
    if (!model_) return;
    syncing_ = true;
    model_->BeginReset();
}

void TTreeView::ShowAllChildren() {
    std::vector<TTreeNode*> pending{items_.root_.get()};
    while (!pending.empty()) {
        TTreeNode* node = pending.back();
        pending.pop_back();
        node->shown_ = node->Count();
        for (auto& child : node->children_)
            if (child->shown_ != 0 || !child->children_.empty()) pending.push_back(child.get());
    }
}

void TTreeView::UpdateEnded() {
    if (!model_) return;
    if (updateMode_ == UpdateMode::Resetting) {
        ShowAllChildren();
        model_->EndReset();
    } else {
        // Parents in the order they first got children: a new node is
        // revealed before its own children.
        syncing_ = true;
        for (TTreeNode* parent : appended_) {
            if (parent->Count() <= parent->shown_) continue;
            model_->BeginInsert(parent, parent->shown_, parent->Count() - 1);
            parent->shown_ = parent->Count();
            model_->EndInsert();
        }
    }
    syncing_ = false;
    updateMode_ = UpdateMode::Appending;
    appended_.clear();
    // Texts and icons changed meanwhile.
    ViewOf(this)->viewport()->update();
    ShowExpansion(items_.root_.get());
    ShowSelection();
}

void TTreeView::NodeChanged(TTreeNode* node) {
    if (Live()) model_->Changed(node);
}

void TTreeView::BeforeInsert(TTreeNode* parent, int row) {
    if (!model_) return;
    if (!items_.Updating()) {
        syncing_ = true;
        model_->BeginInsert(parent, row, row);
        return;
    }
    if (updateMode_ == UpdateMode::Appending && row == parent->Count()) {
        if (appended_.empty() || appended_.back() != parent) appended_.push_back(parent);
        return;
    }
    StartReset();
}

void TTreeView::AfterInsert(TTreeNode* node) {
    TTreeNode* parent = node->parent_;
    if (!model_ || updateMode_ == UpdateMode::Resetting) {
        parent->shown_ = parent->Count();
        return;
    }
    if (items_.Updating()) return; // revealed at the end of the update
    parent->shown_ = parent->Count();
    model_->EndInsert();
    syncing_ = false;
    // The parent may have been expanded before it had children to show.
    if (parent->parent_ && parent->expanded_) {
        syncing_ = true;
        ViewOf(this)->expand(model_->IndexOf(parent));
        syncing_ = false;
    }
}

void TTreeView::BeforeRemove(TTreeNode* node) {
    if (!model_) return;
    if (!items_.Updating()) {
        syncing_ = true;
        model_->BeginRemove(node);
        return;
    }
    // A node the widget has not seen yet goes without telling it; one it
    // has seen shifts the rows it knows.
    if (updateMode_ == UpdateMode::Appending && node->index_ >= node->parent_->shown_) return;
    StartReset();
}

void TTreeView::AfterRemove(TTreeNode* parent) {
    if (!model_ || updateMode_ == UpdateMode::Resetting) {
        parent->shown_ = parent->Count();
        return;
    }
    if (items_.Updating()) return;
    parent->shown_ = parent->Count();
    model_->EndRemove();
    syncing_ = false;
}

void TTreeView::BeforeClear() {
    if (!model_) return;
    if (items_.Updating()) {
        StartReset();
        return;
    }
    syncing_ = true;
    model_->BeginReset();
}

void TTreeView::AfterClear() {
    items_.root_->shown_ = 0;
    if (!model_ || items_.Updating()) return;
    model_->EndReset();
    syncing_ = false;
}

void TTreeView::NodeRemoving(TTreeNode* node) {
    if (items_.destroying_) return;
    for (int i = 0; i < node->Count(); ++i)
        NodeRemoving(node->Item(i));
    Delete(node);
}

void TTreeView::Delete(TTreeNode* node) {
    if (OnDeletion) OnDeletion(this, node);
}

void TTreeView::ExpansionChanged(TTreeNode* node) {
    if (!Live()) return;
    syncing_ = true;
    ViewOf(this)->setExpanded(model_->IndexOf(node), node->expanded_);
    syncing_ = false;
}

void TTreeView::ShowExpansion(TTreeNode* from) {
    if (!Live() || !from) return;
    QTreeView* view = ViewOf(this);
    syncing_ = true;
    // Walk the subtree without recursion: trees can be deep.
    std::vector<TTreeNode*> pending{from};
    while (!pending.empty()) {
        TTreeNode* node = pending.back();
        pending.pop_back();
        if (node->parent_ && node->expanded_) view->expand(model_->IndexOf(node));
        for (auto& child : node->children_)
            if (child->expanded_ || !child->children_.empty()) pending.push_back(child.get());
    }
    syncing_ = false;
}

void TTreeView::ShowSelection() {
    if (!Live()) return;
    QTreeView* view = ViewOf(this);
    syncing_ = true;
    const QModelIndex index = model_->IndexOf(selected_);
    QItemSelectionModel* selection = view->selectionModel();
    if (index.isValid()) {
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        view->scrollTo(index);
    } else {
        selection->clear();
    }
    syncing_ = false;
}

void TTreeView::SetSelected(TTreeNode* node) {
    if (node == selected_) return;
    if (node && node->TreeView() != this) return;
    if (!CanChange(node)) return;
    SelectNode(node, true);
}

void TTreeView::SelectNode(TTreeNode* node, bool notify) {
    TTreeNode* previous = selected_;
    selected_ = node;
    if (previous) NodeChanged(previous); // its selected icon
    if (node) NodeChanged(node);
    ShowSelection();
    if (notify) Change(node);
    if (autoExpand_ && node && selected_ == node) node->Expand(false);
}

void TTreeView::SelectedByUser(TTreeNode* node) {
    if (syncing_ || node == selected_) return;
    if (!CanChange(node)) {
        ShowSelection();
        return;
    }
    SelectNode(node, true);
}

void TTreeView::ExpandedByUser(TTreeNode* node, bool expanded) {
    if (syncing_ || !node || node->expanded_ == expanded) return;
    if (expanded ? !CanExpand(node) : !CanCollapse(node)) {
        ExpansionChanged(node);
        return;
    }
    node->expanded_ = expanded;
    if (expanded)
        Expand(node);
    else
        Collapse(node);
}

bool TTreeView::EditAllowed(TTreeNode* node) {
    return !readOnly_ && CanEdit(node);
}

void TTreeView::EditedByUser(TTreeNode* node, const AnsiString& text) {
    AnsiString result = text;
    if (OnEdited) OnEdited(this, node, result);
    node->SetText(result);
}

void TTreeView::SetDropTarget(TTreeNode* node) {
    if (node == dropTarget_) return;
    TTreeNode* previous = dropTarget_;
    dropTarget_ = node;
    if (previous) NodeChanged(previous);
    if (node) NodeChanged(node);
}

void TTreeView::SetImages(TCustomImageList* images) {
    if (images == images_) return;
    if (images_) images_->UnRegisterChanges(this);
    images_ = images;
    if (images_)
        images_->RegisterChanges(this, [this](bool destroyed) { ImagesChanged(destroyed); });
    ImagesChanged(false);
}

void TTreeView::ImagesChanged(bool destroyed) {
    if (destroyed) {
        images_->UnRegisterChanges(this);
        images_ = nullptr;
    }
    if (!model_) return;
    ApplyOptions();
    if (Live()) model_->ImagesChanged();
}

void TTreeView::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    ApplyOptions();
}

void TTreeView::SetShowButtons(bool show) {
    showButtons_ = show;
    ApplyOptions();
}

void TTreeView::SetShowLines(bool show) {
    showLines_ = show;
    ApplyOptions();
}

void TTreeView::SetShowRoot(bool show) {
    showRoot_ = show;
    ApplyOptions();
}

void TTreeView::SetHideSelection(bool hide) {
    hideSelection_ = hide;
    ApplyOptions();
}

void TTreeView::SetRowSelect(bool rowSelect) {
    rowSelect_ = rowSelect;
    ApplyOptions();
}

void TTreeView::SetIndent(int indent) {
    indent_ = std::max(0, indent);
    ApplyOptions();
}

void TTreeView::ApplyOptions() {
    QTreeView* view = ViewOf(this);
    if (!view) return;
    view->setEditTriggers(readOnly_ ? QAbstractItemView::NoEditTriggers
                                    : QAbstractItemView::SelectedClicked |
                                          QAbstractItemView::EditKeyPressed);
    view->setRootIsDecorated(showRoot_ && showButtons_);
    view->setItemsExpandable(showButtons_);
    view->setIndentation(indent_);
    view->setAllColumnsShowFocus(rowSelect_);
    if (images_) view->setIconSize(QSize(images_->Width(), images_->Height()));
    QPalette palette = view->palette();
    if (hideSelection_) {
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Inactive, QPalette::Base));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Inactive, QPalette::Text));
    } else {
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
    }
    view->setPalette(palette);
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const {
    if (!Live()) return nullptr;
    return TTreeModel::NodeOf(ViewOf(this)->indexAt(QPoint(x, y)));
}

void TTreeView::FullExpand() {
    for (TTreeNode* node = items_.GetFirstNode(); node; node = node->GetNext())
        if (node->HasChildren()) node->SetExpanded(true);
}

void TTreeView::FullCollapse() {
    for (TTreeNode* node = items_.GetFirstNode(); node; node = node->GetNext())
        node->SetExpanded(false);
}

bool TTreeView::IsEditing() const {
    const auto* view = static_cast<const TTreeWidget*>(ViewOf(this));
    return view && view->Editing();
}

void TTreeView::Change(TTreeNode* node) {
    if (OnChange) OnChange(this, node);
}

bool TTreeView::CanChange(TTreeNode* node) {
    bool allow = true;
    if (OnChanging) OnChanging(this, node, allow);
    return allow;
}

bool TTreeView::CanExpand(TTreeNode* node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, node, allow);
    return allow;
}

void TTreeView::Expand(TTreeNode* node) {
    if (OnExpanded) OnExpanded(this, node);
}

bool TTreeView::CanCollapse(TTreeNode* node) {
    bool allow = true;
    if (OnCollapsing) OnCollapsing(this, node, allow);
    return allow;
}

void TTreeView::Collapse(TTreeNode* node) {
    if (OnCollapsed) OnCollapsed(this, node);
}

bool TTreeView::CanEdit(TTreeNode* node) {
    bool allow = true;
    if (OnEditing) OnEditing(this, node, allow);
    return allow;
}

QWidget* TTreeView::CreateWidget(QWidget* parent) {
    auto* view = new TTreeWidget(this, parent);
    auto* model = new TTreeModel(this, view);
    view->setModel(model);
    view->header()->hide();
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setExpandsOnDoubleClick(true);
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view,
                     [this](const QModelIndex& current) {
                         ControlEvents::Guard(
                             [&] { SelectedByUser(TTreeModel::NodeOf(current)); });
                     });
    QObject::connect(view, &QTreeView::expanded, view, [this](const QModelIndex& index) {
        ControlEvents::Guard([&] { ExpandedByUser(TTreeModel::NodeOf(index), true); });
    });
    QObject::connect(view, &QTreeView::collapsed, view, [this](const QModelIndex& index) {
        ControlEvents::Guard([&] { ExpandedByUser(TTreeModel::NodeOf(index), false); });
    });
    model_ = model;
    return view;
}

void TTreeView::InitWidget(QWidget* widget) {
    TWinControl::InitWidget(widget);
    ApplyOptions();
    ShowExpansion(items_.root_.get());
    ShowSelection();
}

void TTreeView::DestroyWidget() {
    if (QTreeView* view = ViewOf(this)) {
        // Nothing the widget does while it goes may reach the nodes.
        QObject::disconnect(view->selectionModel(), nullptr, view, nullptr);
        QObject::disconnect(view, nullptr, view, nullptr);
    }
    model_ = nullptr;
    syncing_ = false;
    // Without a widget every child counts as shown.
    ShowAllChildren();
    TWinControl::DestroyWidget();
}
