#pragma once
// The gallery's data module: the copy of the demo archive (alias
// "Galleria") with the chart of accounts as the tree's master and its detail
// (the children of the master's current account), the current-account
// movements and, for the lookup, the causes in name order. The copy is
// written to, so nothing here is read-only.

#include "platform/data/DataModule.h"

class TDatabase;
class TTable;
class TQuery;
class TDataSource;

class TdatGalleria : public TDataModule {
public:
    // Builds the components and opens them all. An error (the alias, a
    // missing table, a damaged file) leaves the constructor with a message
    // naming what failed.
    explicit TdatGalleria(TComponent* owner = nullptr);
    ~TdatGalleria() override;
    QUOR_CLASS_NAME(TdatGalleria)

    TDatabase* dbGalleria;
    // PianoConti in the order of its index on parent and order number.
    TTable* tblPianoConti;
    TDataSource* datPianoConti;
    // The same table, the children of tblPianoConti's current account.
    TTable* tblSottoconti;
    TDataSource* datSottoconti;
    TTable* tblMovConti;
    TDataSource* datMovConti;
    TQuery* qryCausali;
    TDataSource* datCausali;

    void DataModuleCreate(TObject* sender);
    // Opens again the datasets closed, or left on a connection that is gone,
    // when the archive's server restarted; true when there was one.
    bool ReopenLost();

private:
    void CreateComponents();
    void CreatePianoContiFields();
    void CreateMovContiFields();
};
