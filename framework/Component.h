// The root of every component: an owner that destroys what it owns (last first), a name,
// a tag, the loading state of a window being built, and removal notifications so that a
// component holding a reference to another can clear it when that one goes away.
#pragma once

#include <string>
#include <vector>

namespace tmb {

enum class Operation { opInsert, opRemove };

class Component {
public:
    explicit Component(Component* owner);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return owner_; }
    const std::vector<Component*>& Components() const { return components_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }

    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& name) { name_ = name; }
    long Tag() const { return tag_; }
    void SetTag(long tag) { tag_ = tag; }

    // True while the owning window applies its layout; Loaded() ends it.
    bool Loading() const { return loading_; }
    bool Destroying() const { return destroying_; }

    // Runs once the owner's layout has been applied, in creation order (see Form).
    virtual void Loaded();

    // Told when `component` is inserted into or removed from this component's owner (or
    // from this component itself): clear references to a component being removed.
    virtual void Notification(Component* component, Operation operation);

    // Asks `component` to tell this one when it is destroyed, though it has another owner.
    void FreeNotification(Component* component);

    // Runs before the destructor while the whole object still exists (the window's
    // destroy handler runs here). Destroy() calls it; plain `delete` skips it.
    virtual void BeforeDestruction();

    // Ends the loading state of this component and of everything it owns, calling Loaded().
    void EndLoading();

protected:
    void SetLoading(bool loading) { loading_ = loading; }

private:
    void Insert(Component* component);
    void Remove(Component* component);
    void NotifyRemoval();

    Component* owner_ = nullptr;
    std::vector<Component*> components_;
    std::vector<Component*> freeNotifies_;
    std::wstring name_;
    long tag_ = 0;
    bool loading_ = false;
    bool destroying_ = false;
};

// BeforeDestruction, then delete.
void Destroy(Component* component);

// Finds the first component of type T among those `owner` owns.
template <class T>
T* FindComponent(Component* owner) {
    for (Component* c : owner->Components())
        if (auto* t = dynamic_cast<T*>(c))
            return t;
    return nullptr;
}

} // namespace tmb
