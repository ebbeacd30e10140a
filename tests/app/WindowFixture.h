// The main window as the app tests use it: a temporary folder stored as the last folder, the
// window opened on it and shown, every modal box scripted, all undone afterwards.
#pragma once

#include <gtest/gtest.h>

#include "app/tombarel.h"
#include "framework/Application.h"
#include "framework/Registry.h"
#include "tests/support/DialogScript.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace tmbtest {

class WindowFixture : public testing::Test {
protected:
    void SetUp() override {
        tmb::App().SetTitle(L"Tombarel");
        StoreFolder(folder_.Path());
    }
    void TearDown() override {
        tmb::Destroy(form_);
        tmb::Registry().DeleteKey(app::kRegistryKey);
    }
    // What the window finds in the registry at its next start.
    static void StoreFolder(const std::wstring& path) {
        ASSERT_TRUE(StoreRegistryString(app::kRegistryKey, app::kRegistryValue, path));
    }
    app::Tfmtextdir* Open() {
        form_ = tmb::CreateForm<app::Tfmtextdir>(nullptr);
        form_->Show();
        Pump();
        return form_;
    }
    // A mouse click on the list row of `index`.
    void ClickRow(int index) {
        RECT r;
        SendMessageW(form_->files->Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        Click(form_->files->Handle(), r.left + 30, (r.top + r.bottom) / 2);
    }
    // Each of `controls` is enabled (or, with false, disabled); a miss names the control.
    static void ExpectEnabled(bool enabled, std::initializer_list<tmb::Control*> controls) {
        for (tmb::Control* control : controls)
            EXPECT_EQ(control->Enabled(), enabled) << U8(control->Name());
    }

    TempFolder folder_;
    DialogScript script_;
    app::Tfmtextdir* form_ = nullptr;
};

} // namespace tmbtest
