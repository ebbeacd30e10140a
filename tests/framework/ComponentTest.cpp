// Ownership, removal notifications and the loading state of components.
#include "framework/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Control.h"
#include "framework/PopupMenu.h"

namespace {

using tmb::Component;
using tmb::Operation;
using Log = std::vector<std::wstring>;

// A component that writes what happens to it into a shared log.
class Probe : public Component {
public:
    Probe(Component* owner, std::wstring name, std::vector<std::wstring>& log)
        : Component(owner), log_(log) {
        SetName(std::move(name));
    }
    ~Probe() override { log_.push_back(L"~" + Name()); }

    // Removals are logged by name; a newcomer has no name yet when its insertion is told,
    // so insertions are kept by address.
    void Notification(Component* component, Operation operation) override {
        Component::Notification(component, operation);
        if (operation == Operation::opRemove)
            log_.push_back(Name() + L" -" + component->Name());
        else
            inserted.push_back(component);
    }
    void Loaded() override {
        Component::Loaded();
        log_.push_back(Name() + L" loaded");
    }

    std::vector<Component*> inserted;

private:
    std::vector<std::wstring>& log_;
};

std::vector<std::wstring> Only(const std::vector<std::wstring>& log, wchar_t first) {
    std::vector<std::wstring> out;
    for (const std::wstring& s : log)
        if (!s.empty() && s[0] == first)
            out.push_back(s);
    return out;
}

TEST(ComponentOwnership, OwnedComponentsGoWithTheOwnerLastFirst) {
    Log log;
    auto* owner = new Probe(nullptr, L"owner", log);
    new Probe(owner, L"a", log);
    auto* b = new Probe(owner, L"b", log);
    new Probe(b, L"b1", log);
    new Probe(owner, L"c", log);
    ASSERT_EQ(3, owner->ComponentCount());

    delete owner;
    EXPECT_EQ((Log{L"~owner", L"~c", L"~b", L"~b1", L"~a"}),
              Only(log, L'~'));
}

TEST(ComponentOwnership, AComponentDeletedOnItsOwnLeavesItsOwnersList) {
    Log log;
    auto* owner = new Probe(nullptr, L"owner", log);
    auto* a = new Probe(owner, L"a", log);
    auto* b = new Probe(owner, L"b", log);
    delete a;
    ASSERT_EQ(1, owner->ComponentCount());
    EXPECT_EQ(b, owner->Components()[0]);
    EXPECT_EQ(owner, b->Owner());

    log.clear();
    delete owner;  // b only, and once
    EXPECT_EQ((Log{L"~owner", L"~b"}), Only(log, L'~'));
}

TEST(ComponentNotifications, InsertionAndRemovalAreToldToTheOwnerAndTheSiblings) {
    Log log;
    Probe owner(nullptr, L"owner", log);
    auto* a = new Probe(&owner, L"a", log);
    auto* b = new Probe(&owner, L"b", log);
    auto* c = new Probe(&owner, L"c", log);
    // Everybody hears of a newcomer except the newcomer itself.
    EXPECT_EQ((std::vector<Component*>{a, b, c}), owner.inserted);
    EXPECT_EQ((std::vector<Component*>{b, c}), a->inserted);
    EXPECT_EQ((std::vector<Component*>{c}), b->inserted);
    EXPECT_TRUE(c->inserted.empty());

    delete b;
    EXPECT_EQ((Log{L"~b", L"owner -b", L"a -b", L"c -b"}), log);
    EXPECT_EQ((std::vector<Component*>{a, c}), owner.Components());
}

TEST(ComponentNotifications, FreeNotificationReachesAComponentOfAnotherOwnerOnce) {
    Log log;
    Probe left(nullptr, L"left", log);
    Probe right(nullptr, L"right", log);
    auto* watcher = new Probe(&left, L"watcher", log);
    new Probe(&right, L"sibling", log);
    auto* target = new Probe(&right, L"target", log);
    watcher->FreeNotification(target);
    watcher->FreeNotification(target);  // asking twice does not mean hearing twice

    log.clear();
    delete target;
    EXPECT_EQ((Log{L"~target", L"right -target", L"sibling -target", L"watcher -target"}), log);

    // Both directions were registered: the watcher going away is told to the other side
    // only while that one exists, and a later removal no longer reaches a dead watcher.
    auto* second = new Probe(&right, L"second", log);
    watcher->FreeNotification(second);
    log.clear();
    delete watcher;
    EXPECT_EQ((Log{L"~watcher", L"left -watcher", L"second -watcher"}), log);
    log.clear();
    delete second;
    EXPECT_EQ((Log{L"~second", L"right -second", L"sibling -second"}), log);
}

TEST(ComponentNotifications, AnOwnerWatchingItsOwnComponentHearsOfItsRemovalOnce) {
    Log log;
    Probe owner(nullptr, L"owner", log);
    auto* child = new Probe(&owner, L"child", log);
    owner.FreeNotification(child);
    log.clear();
    delete child;
    EXPECT_EQ((Log{L"~child", L"owner -child"}), log);
}

TEST(ComponentNotifications, AControlForgetsItsPopupMenuWhenTheMenuGoes) {
    // The menu belongs to another owner than the control: only the free notification
    // can tell the control.
    Component menus(nullptr);
    Component controls(nullptr);
    auto* menu = new tmb::PopupMenu(&menus);
    struct Plain : tmb::GraphicControl {
        using GraphicControl::GraphicControl;
        void Paint(HDC) override {}
    };
    auto* control = new Plain(&controls);
    control->SetPopupMenu(menu);
    ASSERT_EQ(menu, control->GetPopupMenu());
    delete menu;
    EXPECT_EQ(nullptr, control->GetPopupMenu());
}

TEST(ComponentLoading, EndLoadingRunsLoadedInCreationOrderAndEndsLoadingEverywhere) {
    Log log;
    struct LoadingRoot : Probe {
        using Probe::Probe;
        void Begin() { SetLoading(true); }
    };
    LoadingRoot root(nullptr, L"root", log);
    root.Begin();
    auto* a = new Probe(&root, L"a", log);
    auto* b = new Probe(&root, L"b", log);
    auto* b1 = new Probe(b, L"b1", log);
    EXPECT_TRUE(a->Loading());
    EXPECT_TRUE(b1->Loading());

    log.clear();
    root.EndLoading();
    EXPECT_FALSE(root.Loading());
    EXPECT_FALSE(a->Loading());
    EXPECT_FALSE(b->Loading());
    EXPECT_FALSE(b1->Loading());
    // Every component is loaded once, each after what it owns, siblings in creation order.
    EXPECT_EQ((Log{L"a loaded", L"b1 loaded", L"b loaded", L"root loaded"}), log);

    // Made after the layout was applied: not loading.
    auto* late = new Probe(&root, L"late", log);
    EXPECT_FALSE(late->Loading());
}

TEST(ComponentLoading, ALoadedHandlerMayCreateComponents) {
    Log log;
    struct Spawner : Probe {
        using Probe::Probe;
        void Loaded() override {
            Probe::Loaded();
            if (!spawned) {
                spawned = true;
                new Component(Owner());
            }
        }
        bool spawned = false;
    };
    struct Root : Component {
        Root() : Component(nullptr) { SetLoading(true); }
    } root;
    new Spawner(&root, L"s", log);
    new Spawner(&root, L"t", log);
    root.EndLoading();
    EXPECT_EQ(4, root.ComponentCount());
    EXPECT_EQ((Log{L"s loaded", L"t loaded"}), log);
}

} // namespace
