#pragma once
// The gallery's window: the library's components at work, on two pages
// under the shadow label of the title (Ctrl+Tab and Ctrl+Shift+Tab switch
// pages).
//
// The first page, "Archivio": the data-aware controls over the gallery's
// copy of the demo archive, each beside a grid of the records it changes,
// so that every change shows at once.
//
// - On the left the chart of accounts: the data tree view with its popup
//   menu, drag and drop and icons from an image list, and the grid of the
//   same table, whose current row follows the tree.
// - On the right the current movement: formatted edits for the amount and
//   the date, a plain one for the description, the lookup combo box of the
//   cause (Backspace empties it) and the grid of the movements. Whatever
//   the user types or chooses is posted at once.
// - The headings are shadow labels too.
//
// Keys on the tree, besides the menu: F2 renames, Ins creates a sub-account
// (a top-level account with Shift, or when nothing is selected), Del
// deletes, Ctrl+Up and Ctrl+Down move.
//
// The second page, "Diagramma": the flowchart component over the gallery's
// copy of the example chart, with the path of the graph on show above it,
// names, texts and grid shown, connections on and the parent graph in the
// preview at the top right. Every change is saved into the copy at once.
//
// Below both pages the status line names the copy the page works on, or
// the last error there. F5 anywhere reads that copy again.

#include "platform/gui/Form.h"

class QuorDbEdit;
class TButton;
class TDBGrid;
class TDBQuorLookupComboBox;
class TField;
class TImage;
class TImageList;
class TLabel;
class TPageControl;
class TPanel;
class TQuorLabel;
class TQuorTreeView;
class TTabSheet;
class TdatGalleria;

namespace quorgrafica {
class TQuorFlowChart;
}

class TfrmGalleria : public TForm {
public:
    // The window over the module's open datasets, with the tree loaded;
    // archiveName is the copy's file, shown in the status line. The chart's
    // page stays empty until OpenChart.
    TfrmGalleria(TComponent* owner, TdatGalleria* data, const AnsiString& archiveName);
    ~TfrmGalleria() override;
    QUOR_CLASS_NAME(TfrmGalleria)

    TImage* imgSfondo;
    TQuorLabel* lblTitolo;
    TPageControl* pgGalleria;
    TTabSheet* tbsArchivio;
    TTabSheet* tbsDiagramma;
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
    // The component's Label: "Main : " and the groups down to the graph on show.
    TQuorLabel* lblPercorso;
    TLabel* lblMouse;
    quorgrafica::TQuorFlowChart* fcDiagramma;
    TPanel* pnlStato;
    TLabel* lblStato;
    TButton* cmdRicarica;

    // Shows the chart of the file, the gallery's copy, on the second page,
    // and saves it there at every change. False when the file cannot be
    // read: the page's status then says why (in *error too, when given) and
    // the chart on show stays.
    bool OpenChart(const AnsiString& fileName, AnsiString* error = nullptr);
    // The chart cannot be had or read: the page's status says why.
    void ChartUnavailable(const AnsiString& why);
    // Brings the page to the front, as its tab does.
    void ShowPage(TTabSheet* page);

    // Reads the copy of the page on show again, with the hourglass: the
    // tables and the tree, or the chart.
    void Ricarica();
    // The status line: the file of the page on show, or the last error there.
    const AnsiString& StatusText() const;

    void tvContiKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
    void FormKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
    // A field of the current movement was set: it goes to the file at once.
    void datMovContiDataChange(TObject* sender, TField* field);
    // A change the user made to the chart: it goes to the copy at once.
    void fcDiagrammaChange(TObject* sender);

private:
    struct PageStatus {
        AnsiString text; // empty: the page's copy
        bool error = false;
    };

    void CreateBanner();
    void CreatePages();
    void CreateChart();
    void CreateMovement();
    void CreateDiagram();
    void CreateStatus();
    void SetupTree();
    // The tree's selection and the chart's current record agree: the
    // selected account, else the first one, selected and current.
    void AgreeTreeAndGrid();
    // A heading with the keys of its part beside it.
    TQuorLabel* CreateHeading(TPanel* parent, const char* name, const AnsiString& caption,
                              const AnsiString& hint);
    TDBGrid* CreateGrid(TPanel* parent, const char* name);
    void ReloadArchive();
    void ReloadChart();
    // Sets the status of a page; the line shows the status of the page on show.
    void ShowStatus(TTabSheet* page, const AnsiString& text, bool error);
    void ShowActiveStatus();

    TdatGalleria* data_;
    AnsiString archiveName_;
    AnsiString chartName_;
    PageStatus archiveStatus_;
    PageStatus chartStatus_;
    AnsiString status_;
};
