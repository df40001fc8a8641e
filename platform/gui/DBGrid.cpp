#include "platform/gui/DBGrid.h"

#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/gui/ControlWidget.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QTableView>

#include <algorithm>
#include <set>

// The dataset's side --------------------------------------------------------

class TGridLink : public TDataLink {
public:
    explicit TGridLink(TDBGrid* grid) : grid_(grid) {}

protected:
    void ActiveChanged() override { grid_->LinkActiveChanged(); }
    void DataSetChanged() override { grid_->LinkDataChanged(); }
    void DataSetScrolled(int) override { grid_->LinkScrolled(); }
    void RecordChanged(TField*) override { grid_->LinkRecordChanged(); }

private:
    TDBGrid* grid_;
};

// The widget's side ---------------------------------------------------------

namespace {

bool RightAligned(const TField* field) {
    return field && field->IsNumeric();
}

class GridModel : public QAbstractTableModel {
public:
    GridModel(TDBGrid* grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : grid_->RowCount();
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : grid_->Columns().Count();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        if (role == Qt::DisplayRole) return ToQString(grid_->CellText(index.row(), index.column()));
        if (role == Qt::TextAlignmentRole) {
            const TColumn* column = grid_->Columns().Items(index.column());
            const Qt::Alignment h =
                RightAligned(column ? column->Field() : nullptr) ? Qt::AlignRight : Qt::AlignLeft;
            return QVariant::fromValue(h | Qt::AlignVCenter);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal) {
            const TColumn* column = grid_->Columns().Items(section);
            if (!column) return {};
            if (role == Qt::DisplayRole) return ToQString(column->Title());
            if (role == Qt::FontRole) return grid_->TitleFont()->ToQFont();
            // Titles stand where the column's values start, as on the platform.
            if (role == Qt::TextAlignmentRole) {
                const Qt::Alignment h =
                    RightAligned(column->Field()) ? Qt::AlignRight : Qt::AlignLeft;
                return QVariant::fromValue(h | Qt::AlignVCenter);
            }
            return {};
        }
        // The indicator column marks the current record.
        if (role == Qt::DisplayRole)
            return section == grid_->Row() ? QString(u'\u25B6') : QString();
        return {};
    }

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    bool BeginMove(int from, int to) {
        return beginMoveColumns(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    }
    void EndMove() { endMoveColumns(); }
    void RowChanged(int row) {
        if (row < 0 || row >= rowCount({}) || columnCount({}) == 0) return;
        emit dataChanged(index(row, 0), index(row, columnCount({}) - 1));
    }
    void IndicatorMoved(int oldRow, int newRow) {
        if (oldRow >= 0 && oldRow < rowCount({}))
            emit headerDataChanged(Qt::Vertical, oldRow, oldRow);
        if (newRow >= 0 && newRow < rowCount({}))
            emit headerDataChanged(Qt::Vertical, newRow, newRow);
    }

private:
    TDBGrid* grid_;
};

} // namespace

class TGridView {
public:
    QPointer<QTableView> view;
    QPointer<GridModel> model;
    bool syncing = false;
    int shownRow = -1;

    void ApplyWidths(const TDBGrid& grid) {
        if (!view) return;
        const QSignalBlocker block(view->horizontalHeader());
        const TDBGridColumns& columns = grid.Columns();
        for (int i = 0; i < columns.Count(); ++i)
            view->horizontalHeader()->resizeSection(i, columns.Items(i)->Width());
    }

    void ShowCurrent(TDBGrid& grid) {
        const int row = grid.Row();
        if (model) model->IndicatorMoved(shownRow, row);
        shownRow = row;
        if (!view || !model) return;
        syncing = true;
        QItemSelectionModel* selection = view->selectionModel();
        if (row < 0) {
            selection->clear();
        } else {
            const int column = std::max(0, view->currentIndex().column());
            const QModelIndex index =
                model->index(row, std::min(column, std::max(0, model->columnCount({}) - 1)));
            selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
            view->scrollTo(index);
        }
        syncing = false;
    }

    void Reset(TDBGrid& grid) {
        if (model) model->Reset();
        ApplyWidths(grid);
        shownRow = -1;
        ShowCurrent(grid);
    }
};

// Columns -------------------------------------------------------------------

void TColumn::SetFieldName(const AnsiString& name) {
    if (name == fieldName_) return;
    fieldName_ = name;
    grid_->ColumnsChanged();
}

TField* TColumn::Field() const {
    TDataSet* ds = grid_->DataSet();
    if (!ds || !ds->Active() || fieldName_.IsEmpty()) return nullptr;
    return ds->FindField(fieldName_);
}

void TColumn::SetWidth(int width) {
    width = std::max(0, width);
    if (width == width_) return;
    width_ = width;
    grid_->ColumnWidthChanged(Index());
}

int TColumn::Index() const {
    return grid_->Columns().IndexOf(this);
}

void TColumn::SetIndex(int index) {
    const int count = grid_->Columns().Count();
    index = std::clamp(index, 0, count - 1);
    grid_->ColumnMoved(Index(), index);
}

AnsiString TColumn::Title() const {
    if (!title_.IsEmpty()) return title_;
    if (TField* field = Field()) return field->DisplayLabel();
    return fieldName_;
}

void TColumn::SetTitle(const AnsiString& title) {
    title_ = title;
    grid_->ColumnsChanged();
}

TColumn* TDBGridColumns::Items(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

int TDBGridColumns::IndexOf(const TColumn* column) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].get() == column) return i;
    return -1;
}

TColumn* TDBGridColumns::Add(const AnsiString& fieldName) {
    if (default_) {
        items_.clear();
        default_ = false;
    }
    items_.push_back(std::unique_ptr<TColumn>(new TColumn(grid_)));
    TColumn* column = items_.back().get();
    column->fieldName_ = fieldName;
    if (TField* field = column->Field()) column->width_ = grid_->DefaultColumnWidth(field);
    grid_->ColumnsChanged();
    return column;
}

void TDBGridColumns::Clear() {
    items_.clear();
    default_ = true;
    grid_->BuildDefaultColumns();
    grid_->ColumnsChanged();
}

void TDBGridColumns::Move(int from, int to) {
    auto column = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(column));
}

// Grid ----------------------------------------------------------------------

TDBGrid::TDBGrid(TComponent* owner)
    : TWinControl(owner), link_(std::make_unique<TGridLink>(this)),
      titleFont_(std::make_unique<TFont>()), view_(std::make_unique<TGridView>()) {
    titleFont_->SetOnChange([this] { ColumnsChanged(); });
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
}

TDBGrid::~TDBGrid() {
    DestroyWidget();
    link_->SetDataSource(nullptr);
}

TDataSource* TDBGrid::DataSource() const {
    return link_->DataSource();
}

void TDBGrid::SetDataSource(TDataSource* source) {
    link_->SetDataSource(source);
}

TDataSet* TDBGrid::DataSet() const {
    return link_->DataSet();
}

void TDBGrid::SetOptions(TDBGridOptions options) {
    if (options == options_) return;
    options_ = options;
    ApplyOptions();
}

int TDBGrid::RowCount() const {
    TDataSet* ds = DataSet();
    return ds && link_->Active() ? ds->RecordCount() : 0;
}

int TDBGrid::Row() const {
    TDataSet* ds = DataSet();
    return ds && link_->Active() ? ds->CurrentRow() : -1;
}

void TDBGrid::SetRow(int row) {
    TDataSet* ds = DataSet();
    if (!ds || !link_->Active() || row < 0 || row >= ds->RecordCount()) return;
    if (row != ds->CurrentRow()) ds->SetRecNo(row + 1);
}

AnsiString TDBGrid::CellText(int row, int column) const {
    TDataSet* ds = DataSet();
    const TColumn* col = columns_.Items(column);
    if (!ds || !col || !link_->Active()) return AnsiString();
    TField* field = col->Field();
    return field ? ds->DisplayTextAt(row, field) : AnsiString();
}

int TDBGrid::DefaultColumnWidth(const TField* field) const {
    if (!field) return 64;
    const bool canMeasure = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    const int charWidth = canMeasure ? QFontMetrics(Font()->ToQFont()).horizontalAdvance(u'0') : 8;
    int width = field->DisplayWidth() * charWidth + 4;
    if (options_.Contains(dgTitles) && canMeasure) {
        const int title = QFontMetrics(titleFont_->ToQFont())
                              .horizontalAdvance(ToQString(field->DisplayLabel())) +
                          4;
        width = std::max(width, title);
    }
    return width;
}

void TDBGrid::BuildDefaultColumns() {
    if (!columns_.default_) return;
    TDataSet* ds = DataSet();
    if (!ds || !link_->Active()) return;
    std::vector<TField*> visible;
    for (int i = 0; i < ds->FieldCount(); ++i) {
        TField* field = (*ds->Fields())[i];
        if (field->Visible()) visible.push_back(field);
    }
    // The same fields as before keep the user's order and widths.
    std::multiset<std::string> now, before;
    for (TField* f : visible)
        now.insert(f->FieldName().UpperCase().str());
    for (const auto& c : columns_.items_)
        before.insert(c->fieldName_.UpperCase().str());
    if (now == before && !columns_.items_.empty()) return;
    columns_.items_.clear();
    for (TField* field : visible) {
        columns_.items_.push_back(std::unique_ptr<TColumn>(new TColumn(this)));
        columns_.items_.back()->fieldName_ = field->FieldName();
        columns_.items_.back()->width_ = DefaultColumnWidth(field);
    }
}

void TDBGrid::LinkActiveChanged() {
    BuildDefaultColumns();
    view_->Reset(*this);
}

void TDBGrid::LinkDataChanged() {
    view_->Reset(*this);
}

void TDBGrid::LinkScrolled() {
    view_->ShowCurrent(*this);
}

// Only the current record's cells changed.
void TDBGrid::LinkRecordChanged() {
    if (view_->model) view_->model->RowChanged(Row());
}

void TDBGrid::ColumnsChanged() {
    view_->Reset(*this);
}

void TDBGrid::ColumnMoved(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= columns_.Count() || to >= columns_.Count())
        return;
    const bool modelMoves = view_->model && view_->model->BeginMove(from, to);
    columns_.Move(from, to);
    if (modelMoves) view_->model->EndMove();
    view_->ApplyWidths(*this);
}

void TDBGrid::ColumnWidthChanged(int) {
    view_->ApplyWidths(*this);
}

namespace {

class GridWidget : public TControlWidget<QTableView> {
public:
    GridWidget(TDBGrid* grid, QWidget* parent)
        : TControlWidget<QTableView>(grid, parent), grid_(grid) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Ctrl+Tab and Ctrl+Shift+Tab belong to the page control around the
        // grid, even when Tab moves between the grid's cells.
        if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
            (event->modifiers() & Qt::ControlModifier)) {
            event->ignore();
            return;
        }
        TControlWidget<QTableView>::keyPressEvent(event);
    }

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        // With whole rows selected, Home and End go to the first and the last
        // record, as the platform's grid does.
        if (grid_->Options().Contains(dgRowSelect) && (action == MoveHome || action == MoveEnd))
            modifiers |= Qt::ControlModifier;
        return TControlWidget<QTableView>::moveCursor(action, modifiers);
    }

private:
    TDBGrid* grid_;
};

} // namespace

QWidget* TDBGrid::CreateWidget(QWidget* parent) {
    auto* view = new GridWidget(this, parent);
    auto* model = new GridModel(this, view);
    view->setModel(model);
    view_->view = view;
    view_->model = model;
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    // Fixed row heights keep a large dataset cheap: no row is measured.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(QFontMetrics(Font()->ToQFont()).height() + 4);
    view->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    view->verticalHeader()->setMinimumWidth(12);
    view->horizontalHeader()->setHighlightSections(false);

    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged,
                     [this](const QModelIndex& current, const QModelIndex&) {
                         if (view_->syncing || !current.isValid()) return;
                         ControlEvents::Guard([&] { SetRow(current.row()); });
                         // A move the dataset refused leaves the grid on its record.
                         if (Row() != current.row()) view_->ShowCurrent(*this);
                     });
    QHeaderView* header = view->horizontalHeader();
    QObject::connect(header, &QHeaderView::sectionMoved,
                     [this, header](int, int oldVisual, int newVisual) {
                         // Columns keep visual and model order the same: undo
                         // the header's own move and move the column instead.
                         {
                             const QSignalBlocker block(header);
                             header->moveSection(newVisual, oldVisual);
                         }
                         ColumnMoved(oldVisual, newVisual);
                     });
    QObject::connect(header, &QHeaderView::sectionResized, [this](int logical, int, int size) {
        if (TColumn* column = columns_.Items(logical)) column->width_ = size;
    });
    return view;
}

void TDBGrid::InitWidget(QWidget* widget) {
    TWinControl::InitWidget(widget);
    ApplyOptions();
    view_->Reset(*this);
}

void TDBGrid::DestroyWidget() {
    TWinControl::DestroyWidget();
    view_->view = nullptr;
    view_->model = nullptr;
}

void TDBGrid::FontChanged() {
    TWinControl::FontChanged();
    if (view_ && view_->view)
        view_->view->verticalHeader()->setDefaultSectionSize(
            QFontMetrics(Font()->ToQFont()).height() + 4);
}

void TDBGrid::ApplyOptions() {
    QTableView* view = view_ ? view_->view.data() : nullptr;
    if (!view) return;
    view->horizontalHeader()->setVisible(options_.Contains(dgTitles));
    view->verticalHeader()->setVisible(options_.Contains(dgIndicator));
    const bool resize = options_.Contains(dgColumnResize);
    view->horizontalHeader()->setSectionResizeMode(resize ? QHeaderView::Interactive
                                                          : QHeaderView::Fixed);
    view->horizontalHeader()->setSectionsMovable(resize);
    view->setShowGrid(options_.Contains(dgColLines) || options_.Contains(dgRowLines));
    view->setSelectionBehavior(options_.Contains(dgRowSelect) ? QAbstractItemView::SelectRows
                                                              : QAbstractItemView::SelectItems);
    view->setTabKeyNavigation(options_.Contains(dgTabs));
    QPalette palette = view->palette();
    if (options_.Contains(dgAlwaysShowSelection)) {
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
    }
    view->setPalette(palette);
}
