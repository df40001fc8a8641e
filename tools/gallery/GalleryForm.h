#pragma once
// The gallery's window: the data-aware controls and the shadow label at
// work over the gallery's copy of the demo archive, each beside a grid of
// the records it changes, so that every change shows at once.
//
// - On the left the chart of accounts: the data tree view with its popup
//   menu, drag and drop and icons from an image list, and the grid of the
//   same table, whose current row follows the tree.
// - On the right the current movement: formatted edits for the amount and
//   the date, a plain one for the description, the lookup combo box of the
//   cause (Backspace empties it) and the grid of the movements. Whatever
//   the user types or chooses is posted at once.
// - Above, the shadow label over a tiled picture; below, the status line.
//
// Keys on the tree, besides the menu: F2 renames, Ins creates a sub-account
// (a top-level account with Shift, or when nothing is selected), Del
// deletes, Ctrl+Up and Ctrl+Down move. F5 anywhere reads the file again.

#include "platform/gui/Form.h"

class QuorDbEdit;
class TButton;
class TDBGrid;
class TDBQuorLookupComboBox;
class TField;
class TImage;
class TImageList;
class TLabel;
class TPanel;
class TQuorLabel;
class TQuorTreeView;
class TdatGalleria;

class TfrmGalleria : public TForm {
public:
    // The window over the module's open datasets, with the tree loaded;
    // archiveName is the copy's file, shown in the status line.
    TfrmGalleria(TComponent* owner, TdatGalleria* data, const AnsiString& archiveName);
    ~TfrmGalleria() override;
    QUOR_CLASS_NAME(TfrmGalleria)

    TImage* imgSfondo;
    TQuorLabel* lblTitolo;
    TPanel* pnlConti;
    TQuorLabel* lblConti;
    TImageList* imlConti;
    TQuorTreeView* tvConti;
    TDBGrid* dbgConti;
    TPanel* pnlMovimenti;
    TQuorLabel* lblMovimenti;
    TPanel* pnlCampi;
    QuorDbEdit* edtImporto;
    QuorDbEdit* edtData;
    TDBQuorLookupComboBox* cboCausale;
    QuorDbEdit* edtDescrizione;
    TDBGrid* dbgMovimenti;
    TPanel* pnlStato;
    TLabel* lblStato;
    TButton* cmdRicarica;

    // Reads the copy again: the tables and the tree, with the hourglass.
    void Ricarica();
    // The status line: the copy's file, or the last error.
    const AnsiString& StatusText() const;

    void tvContiKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
    void FormKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
    // A field of the current movement was set: it goes to the file at once.
    void datMovContiDataChange(TObject* sender, TField* field);

private:
    void CreateBanner();
    void CreateChart();
    void CreateMovement();
    void CreateStatus();
    void SetupTree();
    // A heading with the keys of its part beside it.
    TQuorLabel* CreateHeading(TPanel* parent, const char* name, const AnsiString& caption,
                              const AnsiString& hint);
    TDBGrid* CreateGrid(TPanel* parent, const char* name);
    void ShowStatus(const AnsiString& text, bool error);

    TdatGalleria* data_;
    AnsiString archiveName_;
    AnsiString status_;
};
