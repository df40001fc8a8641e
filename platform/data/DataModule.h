#pragma once
// TDataModule: a container of non-visual components (sessions, databases,
// datasets). A derived module creates its components in its constructor
// (the module is loading from the start) and then calls FinishLoading(),
// which runs Loaded() of every component in creation order and then OnCreate.

#include "platform/core/Component.h"

#include <functional>

class TDataModule : public TComponent {
public:
    explicit TDataModule(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TDataModule)

    // Ends loading and raises OnCreate. An exception from a component's
    // Loaded() leaves at once and OnCreate does not run; one from OnCreate
    // reaches the caller. Does nothing when called again.
    void FinishLoading();

    std::function<void(TObject*)> OnCreate;

private:
    bool finished_ = false;
};
