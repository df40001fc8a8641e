#pragma once
// The utility's main window: the condominiums on the first page, the
// current-account movements of the chosen one on the second, and the button
// that copies those movements to the clipboard.

#include "app/ContoCorrenteExport.h"
#include "platform/gui/Form.h"

class TPageControl;
class TTabSheet;
class TPanel;
class TButton;
class TDBGrid;
class TdatBracoUtil;

class TfrmBracUtil : public TForm {
public:
    // The grids are bound to the data module when there is one; otherwise
    // ConnectDataModule binds them once the module exists.
    explicit TfrmBracUtil(TComponent* owner = nullptr);
    ~TfrmBracUtil() override;
    QUOR_CLASS_NAME(TfrmBracUtil)

    TPageControl* pgMain;
    TTabSheet* tbsCondominio;
    TDBGrid* dbg;
    TTabSheet* tbsContoCorrente;
    TPanel* Panel1;
    TButton* cmdCopiaCC;
    TDBGrid* DBGrid1;

    void ConnectDataModule(TdatBracoUtil* module);

    void FormShow(TObject* sender);
    // Puts the export of the current condominium on the clipboard, as text
    // and as an HTML table; a failure leaves the clipboard as it was and
    // shows a message naming the cause.
    void cmdCopiaCCClick(TObject* sender);

private:
    TDBGrid* CreateGrid(TTabSheet* page, const char* name);
};

// The program's main window, null while none exists.
extern TfrmBracUtil* frmBracUtil;
