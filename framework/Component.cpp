// Ownership and removal notifications of components.
#include "framework/Component.h"

#include <algorithm>

namespace tmb {

Component::Component(Component* owner) {
    if (owner) {
        loading_ = owner->Loading();
        owner->Insert(this);
    }
}

Component::~Component() {
    destroying_ = true;
    NotifyRemoval();
    // Owned components go last first, each removing itself from the list as it goes.
    while (!components_.empty()) {
        Component* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
    if (owner_)
        owner_->Remove(this);
}

void Component::Loaded() { loading_ = false; }

void Component::Notification(Component* component, Operation operation) {
    if (operation == Operation::opRemove) {
        std::erase(freeNotifies_, component);
    }
}

void Component::FreeNotification(Component* component) {
    if (!component || component == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end())
        component->freeNotifies_.push_back(this);
}

void Component::BeforeDestruction() {}

void Component::EndLoading() {
    // Copy first: a Loaded() may create components. A component made while its owner was
    // loading is loading too, at any depth, so the whole tree ends its loading here.
    const std::vector<Component*> owned = components_;
    for (Component* c : owned)
        c->EndLoading();
    Loaded();
}

void Component::Insert(Component* component) {
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, Operation::opInsert);
    for (Component* c : std::vector<Component*>(components_))
        if (c != component)
            c->Notification(component, Operation::opInsert);
}

void Component::Remove(Component* component) {
    std::erase(components_, component);
    component->owner_ = nullptr;
}

void Component::NotifyRemoval() {
    // The owner and its other components hear of it; so does every component that asked.
    if (owner_) {
        owner_->Notification(this, Operation::opRemove);
        for (Component* c : std::vector<Component*>(owner_->components_))
            if (c != this)
                c->Notification(this, Operation::opRemove);
    }
    const std::vector<Component*> watchers = std::move(freeNotifies_);
    freeNotifies_.clear();
    for (Component* w : watchers) {
        std::erase(w->freeNotifies_, this);
        // The owner and its components have heard of it already.
        if (!owner_ || (w != owner_ && w->owner_ != owner_))
            w->Notification(this, Operation::opRemove);
    }
}

void Destroy(Component* component) {
    if (!component)
        return;
    component->BeforeDestruction();
    delete component;
}

} // namespace tmb
