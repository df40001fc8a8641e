#include "platform/core/Component.h"

#include <algorithm>

bool TObject::ClassNameIs(const AnsiString& name) const {
    return name.EqualsIC(ClassName());
}

TComponent::TComponent(TComponent* owner) {
    if (owner) {
        owner_ = owner;
        owner->components_.push_back(this);
        loading_ = owner->loading_;
    }
}

TComponent::~TComponent() {
    // Those that keep a pointer to this component drop it first.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        auto& back = other->freeNotifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
    // Last created first, so that a component never outlives what it was built on.
    while (!components_.empty()) {
        TComponent* child = components_.back();
        components_.pop_back();
        child->owner_ = nullptr;
        delete child;
    }
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) return nullptr;
    return components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
    if (name.IsEmpty()) return nullptr;
    for (TComponent* c : components_)
        if (c->name_.EqualsIC(name)) return c;
    return nullptr;
}

void TComponent::SetOwner(TComponent* owner) {
    if (owner == owner_) return;
    // An owner may not end up owned by its own component.
    for (TComponent* up = owner; up; up = up->owner_)
        if (up == this) return;
    if (owner_) owner_->RemoveComponent(this);
    owner_ = owner;
    if (owner) owner->components_.push_back(this);
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) != freeNotifies_.end())
        return;
    freeNotifies_.push_back(component);
    component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component),
                        freeNotifies_.end());
    auto& back = component->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::EndLoading() {
    if (loading_) {
        loading_ = false;
        Loaded();
    }
    // A Loaded() handler may create components; index rather than iterate.
    for (std::size_t i = 0; i < components_.size(); ++i)
        if (components_[i]->loading_) components_[i]->EndLoading();
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
}
