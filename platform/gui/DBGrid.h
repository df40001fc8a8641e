#pragma once
// TDBGrid: a data-aware grid showing the records of a data source's dataset,
// one row per record, with the current row kept in step with the dataset's
// current record both ways. Rows are read on demand, so a large dataset
// costs only the rows on screen. Columns are the grid's own when it defines
// some, else one per visible field of the dataset, rebuilt when the dataset
// opens with other fields. The user can move and resize columns.

#include "platform/core/AnsiString.h"
#include "platform/gui/WinControl.h"

#include <memory>
#include <vector>

class TDataSource;
class TDataSet;
class TField;
class TDBGrid;
class TGridLink;
class TGridView;

enum TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect
};
using TDBGridOptions = TFlagSet<TDBGridOption>;

class TColumn {
public:
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    AnsiString FieldName() const { return fieldName_; }
    void SetFieldName(const AnsiString& name);
    // The dataset's field of that name while the dataset is open, else null.
    TField* Field() const;
    // Pixels.
    int Width() const { return width_; }
    void SetWidth(int width);
    // Position among the grid's columns; setting it moves the column there.
    int Index() const;
    void SetIndex(int index);
    // The title shown; the field's display label unless set.
    AnsiString Title() const;
    void SetTitle(const AnsiString& title);
    TDBGrid* Grid() const { return grid_; }

private:
    friend class TDBGridColumns;
    friend class TDBGrid;
    explicit TColumn(TDBGrid* grid) : grid_(grid) {}

    TDBGrid* grid_;
    AnsiString fieldName_;
    AnsiString title_;
    int width_ = 64;
};

class TDBGridColumns {
public:
    TDBGridColumns(const TDBGridColumns&) = delete;
    TDBGridColumns& operator=(const TDBGridColumns&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // Null outside 0..Count()-1.
    TColumn* Items(int index) const;
    TColumn* operator[](int index) const { return Items(index); }

    // Adds a column of the grid's own: from then on the grid keeps its
    // columns instead of following the dataset's fields.
    TColumn* Add(const AnsiString& fieldName = AnsiString());
    // Removes every column; the grid follows the dataset's fields again.
    void Clear();
    // True when the columns come from the dataset's fields.
    bool Default() const { return default_; }

private:
    friend class TDBGrid;
    friend class TColumn;
    explicit TDBGridColumns(TDBGrid* grid) : grid_(grid) {}
    int IndexOf(const TColumn* column) const;
    void Move(int from, int to);

    TDBGrid* grid_;
    std::vector<std::unique_ptr<TColumn>> items_;
    bool default_ = true;
};

class TDBGrid : public TWinControl {
public:
    explicit TDBGrid(TComponent* owner = nullptr);
    ~TDBGrid() override;
    QUOR_CLASS_NAME(TDBGrid)

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    // The data source's dataset, or null.
    TDataSet* DataSet() const;

    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions options);
    TFont* TitleFont() const { return titleFont_.get(); }

    TDBGridColumns& Columns() { return columns_; }
    const TDBGridColumns& Columns() const { return columns_; }

    // Rows shown: the dataset's records while it is open, else 0.
    int RowCount() const;
    // The current row (0-based): the dataset's current record, -1 with none.
    int Row() const;
    // Makes a row current, moving the dataset there, as a click on it does.
    void SetRow(int row);
    // The text of a cell as shown.
    AnsiString CellText(int row, int column) const;

    // Pixels of a column whose field shows displayWidth characters in the
    // grid's font (at least wide enough for its title when titles show).
    int DefaultColumnWidth(const TField* field) const;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void InitWidget(QWidget* widget) override;
    void DestroyWidget() override;
    void FontChanged() override;

private:
    friend class TGridLink;
    friend class TGridView;
    friend class TColumn;
    friend class TDBGridColumns;

    // Dataset events.
    void LinkActiveChanged();
    void LinkDataChanged();
    void LinkScrolled();
    void LinkRecordChanged();
    // Column events.
    void ColumnsChanged();
    void ColumnMoved(int from, int to);
    void ColumnWidthChanged(int index);
    void BuildDefaultColumns();
    void ApplyOptions();

    std::unique_ptr<TGridLink> link_;
    std::unique_ptr<TFont> titleFont_;
    TDBGridOptions options_{dgTitles, dgIndicator,     dgColumnResize, dgColLines, dgRowLines,
                            dgTabs,   dgConfirmDelete, dgCancelOnExit, dgEditing};
    TDBGridColumns columns_{this};
    std::unique_ptr<TGridView> view_;
};
