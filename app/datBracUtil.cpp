#include "app/datBracUtil.h"

#include "app/Utilitiesbracotene.h"
#include "db/EngineDirs.h"
#include "db/OpenArchives.h"
#include "platform/core/Application.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

TdatBracoUtil* datBracoUtil = nullptr;

namespace {

constexpr const char* kSessionName = "SessioneBracUtil";
constexpr const char* kDatabaseName = "dbBracUtil";

} // namespace

TdatBracoUtil::TdatBracoUtil(TComponent* owner, bool forExport)
    : TDataModule(owner), forExport_(forExport) {
    SetName("datBracoUtil");
    CreateComponents();
    OnCreate = [this](TObject* sender) {
        // An error here is the application's to show; the module lives on.
        try {
            DataModuleCreate(sender);
        } catch (...) {
            Application->HandleException(std::current_exception());
        }
    };
    if (!datBracoUtil) datBracoUtil = this;
    try {
        FinishLoading();
    } catch (...) {
        if (datBracoUtil == this) datBracoUtil = nullptr;
        throw;
    }
}

TdatBracoUtil::~TdatBracoUtil() {
    if (datBracoUtil == this) datBracoUtil = nullptr;
}

void TdatBracoUtil::CreateComponents() {
    sesBracUtil = new TSession(this);
    sesBracUtil->SetName("sesBracUtil");
    sesBracUtil->SetSessionName(kSessionName);
    sesBracUtil->OnStartup = [this](TObject* sender) { sesBracUtilStartup(sender); };
    sesBracUtil->SetActive(true);

    dbBracUtil = new TDatabase(this);
    dbBracUtil->SetName("dbBracUtil");
    dbBracUtil->SetTag(1);
    dbBracUtil->SetAliasName("Bracotene");
    dbBracUtil->SetDatabaseName(kDatabaseName);
    dbBracUtil->SetReadOnly(true);
    dbBracUtil->SetSessionName(kSessionName);
    dbBracUtil->SetTransIsolation(tiDirtyRead);
    dbBracUtil->SetConnected(true);

    tblCondomini = new TTable(this);
    tblCondomini->SetName("tblCondomini");
    tblCondomini->SetTag(1);
    tblCondomini->SetDatabaseName(kDatabaseName);
    tblCondomini->SetSessionName(kSessionName);
    tblCondomini->SetTableName("Condomini.DB");
    tblCondomini->SetIndexName("idxNome");
    tblCondomini->SetReadOnly(true);
    CreateCondominiFields();

    datCondomini = new TDataSource(this);
    datCondomini->SetName("datCondomini");
    datCondomini->SetDataSet(tblCondomini);

    tblMovConti = new TTable(this);
    tblMovConti->SetName("tblMovConti");
    tblMovConti->SetTag(1);
    tblMovConti->SetDatabaseName(kDatabaseName);
    tblMovConti->SetSessionName(kSessionName);
    tblMovConti->SetTableName("MovConti.db");
    tblMovConti->SetIndexName("idxCondominio");
    tblMovConti->SetMasterSource(datCondomini);
    tblMovConti->SetMasterFields("IdCondominio");
    CreateMovContiFields();
    if (forExport_) {
        // No movement has key 0: the table opens at once, empty.
        tblMovConti->SetFilter("idMovConti = 0");
        tblMovConti->SetFiltered(true);
    }

    datMovConti = new TDataSource(this);
    datMovConti->SetName("datMovConti");
    datMovConti->SetDataSet(tblMovConti);
}

void TdatBracoUtil::CreateCondominiFields() {
    struct Def {
        const char* name;
        TFieldType type;
        int size;
        bool visible;
    };
    // The grid shows the visible ones in this order.
    static const Def defs[] = {
        {"Nome", ftString, 50, true},
        {"Indirizzo", ftString, 50, true},
        {"Indirizzo2", ftString, 50, true},
        {"Comune", ftString, 50, true},
        {"CAP", ftString, 5, true},
        {"Provincia", ftString, 2, true},
        {"Portiere", ftString, 50, true},
        {"Telefono", ftString, 15, true},
        {"Fax", ftString, 15, true},
        {"EMail", ftString, 40, true},
        {"CF", ftString, 16, true},
        {"CodNat", ftString, 10, true},
        {"Note", ftMemo, 0, false},
        {"NumeroConto", ftString, 20, true},
        {"ABI", ftString, 7, false},
        {"CAB", ftString, 8, false},
        {"TelBanca", ftString, 20, false},
        {"Icona", ftInteger, 0, true},
        {"idBanca", ftInteger, 0, false},
        {"DosCodTco", ftString, 5, true},
        {"Chiave", ftInteger, 0, true},
        {"Interno", ftString, 20, true},
        {"Riscaldamento", ftBoolean, 0, true},
        {"Ascensore", ftBoolean, 0, true},
        {"IdCondominio", ftAutoInc, 0, true},
    };
    for (const Def& def : defs) {
        TField* field = tblCondomini->AddPersistentField(def.name, def.type, AnsiString(),
                                                         def.visible, 0, false);
        if (def.size > 0) field->SetSize(def.size);
    }
    TField* numeroConto = tblCondomini->FindField("NumeroConto");
    numeroConto->SetDisplayLabel("Numero Conto");
    numeroConto->SetDisplayWidth(10);
    tblCondomini->FindField("Nome")->SetRequired(true);
    tblCondomini->FindField("IdCondominio")->SetReadOnly(true);
}

void TdatBracoUtil::CreateMovContiFields() {
    tblMovConti->AddPersistentField("Data", ftDate);
    if (auto* importo =
            dynamic_cast<TBCDField*>(tblMovConti->AddPersistentField("Importo", ftBCD))) {
        importo->SetPrecision(32);
        importo->SetScale(2);
    }
    tblMovConti->AddPersistentField("Valuta", ftString)->SetSize(1);
    tblMovConti->AddPersistentField("Descrizione", ftString)->SetSize(50);
    tblMovConti->AddPersistentField("idCondominio", ftInteger);
}

void TdatBracoUtil::DataModuleCreate(TObject* /*sender*/) {
    SetDataBase(kDatabaseName, kSessionName);
    OpenData(this, true);
    sesBracUtil->SetActive(true);
}

void TdatBracoUtil::ReopenLostTables(const AnsiString& idCondominio) {
    bool lost = false;
    for (TTable* table : {tblCondomini, tblMovConti})
        lost = lost || !table->Active() || table->ConnectionLost();
    if (!lost) return;
    tblMovConti->Close();
    tblCondomini->Close();
    tblCondomini->Open();
    tblMovConti->Open();
    if (!idCondominio.IsEmpty()) tblCondomini->Locate("IdCondominio", Variant(idCondominio));
}

void TdatBracoUtil::sesBracUtilStartup(TObject* /*sender*/) {
    CreaBdeDir(sesBracUtil, Net, Priv);
}
