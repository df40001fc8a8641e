#include "tools/gallery/GalleryData.h"

#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Query.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"
#include "tools/gallery/GalleryArchive.h"

namespace {

constexpr const char* kDatabaseName = "dbGalleria";

TDataSource* SourceOf(TComponent* owner, const char* name, TDataSet* dataSet) {
    auto* source = new TDataSource(owner);
    source->SetName(name);
    source->SetDataSet(dataSet);
    return source;
}

TTable* TableOf(TComponent* owner, const char* name, const char* tableName) {
    auto* table = new TTable(owner);
    table->SetName(name);
    table->SetDatabaseName(kDatabaseName);
    table->SetTableName(tableName);
    return table;
}

} // namespace

TdatGalleria::TdatGalleria(TComponent* owner) : TDataModule(owner) {
    SetName("datGalleria");
    CreateComponents();
    OnCreate = [this](TObject* sender) { DataModuleCreate(sender); };
    FinishLoading();
}

TdatGalleria::~TdatGalleria() = default;

void TdatGalleria::CreateComponents() {
    dbGalleria = new TDatabase(this);
    dbGalleria->SetName("dbGalleria");
    dbGalleria->SetAliasName(gallery::kAlias);
    dbGalleria->SetDatabaseName(kDatabaseName);

    tblPianoConti = TableOf(this, "tblPianoConti", "PianoConti");
    tblPianoConti->SetIndexName("idxPadre");
    CreatePianoContiFields();
    datPianoConti = SourceOf(this, "datPianoConti", tblPianoConti);

    tblSottoconti = TableOf(this, "tblSottoconti", "PianoConti");
    tblSottoconti->SetIndexName("idxPadre");
    tblSottoconti->SetMasterSource(datPianoConti);
    tblSottoconti->SetMasterFields("IdConto");
    datSottoconti = SourceOf(this, "datSottoconti", tblSottoconti);

    tblMovConti = TableOf(this, "tblMovConti", "MovConti");
    CreateMovContiFields();
    datMovConti = SourceOf(this, "datMovConti", tblMovConti);

    qryCausali = new TQuery(this);
    qryCausali->SetName("qryCausali");
    qryCausali->SetDatabaseName(kDatabaseName);
    qryCausali->SQL()->Add("SELECT idCausale, Nome FROM Causali ORDER BY Nome");
    datCausali = SourceOf(this, "datCausali", qryCausali);
}

void TdatGalleria::CreatePianoContiFields() {
    tblPianoConti->AddPersistentField("IdConto", ftAutoInc, "Conto", true, 5, true);
    tblPianoConti->AddPersistentField("Descrizione", ftString, "Descrizione", true, 17)
        ->SetSize(60);
    tblPianoConti->AddPersistentField("Padre", ftInteger, "Padre", true, 5);
    tblPianoConti->AddPersistentField("Ordine", ftInteger, "Ordine", true, 5);
    tblPianoConti->AddPersistentField("Icona", ftInteger, "Icona", true, 4);
}

void TdatGalleria::CreateMovContiFields() {
    tblMovConti->AddPersistentField("idMovConti", ftAutoInc, "N.", true, 6, true);
    tblMovConti->AddPersistentField("Data", ftDate, "Data", true, 10);
    if (auto* importo = dynamic_cast<TBCDField*>(
            tblMovConti->AddPersistentField("Importo", ftBCD, "Importo", true, 12))) {
        importo->SetPrecision(32);
        importo->SetScale(2);
        importo->SetDisplayFormat("#,##0.00");
    }
    tblMovConti->AddPersistentField("idCausale", ftInteger, "Causale", true, 7);
    tblMovConti->AddPersistentField("Descrizione", ftString, "Descrizione", true, 34)->SetSize(50);
}

bool TdatGalleria::ReopenLost() {
    const std::initializer_list<TDBDataSet*> all = {tblPianoConti, tblSottoconti, tblMovConti,
                                                     qryCausali};
    bool lost = false;
    for (TDBDataSet* dataSet : all)
        lost = lost || !dataSet->Active() || dataSet->ConnectionLost();
    if (!lost) return false;
    for (TDBDataSet* dataSet : all)
        dataSet->Close();
    for (TDBDataSet* dataSet : all)
        dataSet->Open();
    return true;
}

void TdatGalleria::DataModuleCreate(TObject* /*sender*/) {
    dbGalleria->SetConnected(true);
    for (TDataSet* dataSet : {static_cast<TDataSet*>(tblPianoConti),
                              static_cast<TDataSet*>(tblSottoconti),
                              static_cast<TDataSet*>(tblMovConti),
                              static_cast<TDataSet*>(qryCausali)})
        dataSet->Open();
}
