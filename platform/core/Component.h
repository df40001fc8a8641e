#pragma once
// TObject and TComponent: named components with a Tag, owned by their owner
// and destroyed with it, listed in creation order.

#include "platform/core/AnsiString.h"

#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
    // The exact class name; a derived class answers with its own name only.
    virtual const char* ClassName() const { return "TObject"; }
    bool ClassNameIs(const AnsiString& name) const;
};

// Each class derived from TObject declares its own name with this macro.
#define QUOR_CLASS_NAME(Name)                                                                      \
    const char* ClassName() const override {                                                       \
        return #Name;                                                                              \
    }

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    QUOR_CLASS_NAME(TComponent)

    const AnsiString& Name() const { return name_; }
    void SetName(const AnsiString& name) { name_ = name; }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // Owned components in creation order; null outside 0..ComponentCount()-1.
    TComponent* Components(int index) const;
    TComponent* FindComponent(const AnsiString& name) const;

    // Destroys the owned components, last created first.
    void DestroyComponents();

    // Moves the component to a new owner (null: no owner).
    void SetOwner(TComponent* owner);

    // A component that keeps a pointer to another one (a label, an image)
    // asks to hear of its destruction: Notification(component, opRemove)
    // runs while component is being destroyed. Either side may go first.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // True while the owner is still creating its components (a form or data
    // module being built): property changes with side effects wait for Loaded().
    bool IsLoading() const { return loading_; }

    // Starts loading: components created with this one as owner load too.
    void BeginLoading() { loading_ = true; }
    // Ends loading for this component and, in creation order, its components,
    // calling Loaded() on each; an exception from Loaded() leaves at once.
    void EndLoading();

protected:
    enum TOperation { opInsert, opRemove };
    // Called once the owner's components are all in place.
    virtual void Loaded() {}
    // component is going away (opRemove): drop every pointer to it.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void RemoveComponent(TComponent* component);

    AnsiString name_;
    int tag_ = 0;
    bool loading_ = false;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    // Both directions of every FreeNotification link.
    std::vector<TComponent*> freeNotifies_;
};
