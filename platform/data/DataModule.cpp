#include "platform/data/DataModule.h"

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {
    BeginLoading();
}

void TDataModule::FinishLoading() {
    if (finished_) return;
    finished_ = true;
    EndLoading();
    if (OnCreate) OnCreate(this);
}
