#pragma once
// The utility's data module: its own engine session, the product's database
// opened read-only on the alias "Bracotene", the condominiums in name order
// and the current-account movements of the current condominium.

#include "platform/data/DataModule.h"

class TSession;
class TDatabase;
class TTable;
class TDataSource;

class TdatBracoUtil : public TDataModule {
public:
    // Builds the components and finishes loading: the session starts (its
    // start-up handler sets the engine folders) and the database connects,
    // then DataModuleCreate opens the tables. An error while the components
    // load (the session cannot start, the alias cannot be connected) leaves
    // the constructor; one in DataModuleCreate is shown and swallowed.
    // forExport: the movements are read by the export's own query, so the
    // table of the current condominium's movements opens without rows (it
    // only tells that the table is there): a condominium first in name
    // order with a million movements is not read twice.
    explicit TdatBracoUtil(TComponent* owner = nullptr, bool forExport = false);
    ~TdatBracoUtil() override;
    QUOR_CLASS_NAME(TdatBracoUtil)

    TSession* sesBracUtil;
    TDatabase* dbBracUtil;
    TTable* tblCondomini;
    TDataSource* datCondomini;
    TTable* tblMovConti;
    TDataSource* datMovConti;

    void DataModuleCreate(TObject* sender);
    // The tables closed, or left on a connection that is gone, after the
    // server restarted are opened again, on the condominium of that key when
    // it is still there. Nothing happens while they are open and well.
    void ReopenLostTables(const AnsiString& idCondominio);
    void sesBracUtilStartup(TObject* sender);

private:
    bool forExport_;
    void CreateComponents();
    void CreateCondominiFields();
    void CreateMovContiFields();
};

// The module of the running program, null while none exists.
extern TdatBracoUtil* datBracoUtil;
