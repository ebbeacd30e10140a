// The file list view as an ordinary user at a folder that user may not list (run by
// e2e_tests_unprivileged, which makes the folder): it says why once, keeps the parent entry
// to go back by, and goes on working.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "explorer/KvFilelistView28.h"
#include "framework/TextConv.h"
#include "tests/support/DialogScript.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

TEST(UnprivilegedList, AFolderTheUserMayNotListSaysWhyOnceAndKeepsTheParentEntry) {
    const char* locked = std::getenv("TOMBAREL_LOCKED");
    ASSERT_TRUE(locked && *locked) << "TOMBAREL_LOCKED is not set: run e2e_tests_unprivileged";
    const std::wstring parent = tmb::Utf8ToWide(locked) + L"\\";
    tmbtest::TestForm form;
    tmbtest::DialogScript script;
    auto* list = new kv::TKvFilelistView28(&form.Form());
    list->SetParent(&form.Form());

    list->SetDirectory(parent + L"Fechada");
    ASSERT_EQ(script.Calls().size(), 1u);
    const std::wstring& said = script.Calls()[0].text;
    EXPECT_NE(said.find(L"Fechada"), std::wstring::npos) << tmb::WideToUtf8(said);
    EXPECT_NE(said.find(L"denied"), std::wstring::npos) << tmb::WideToUtf8(said);
    ASSERT_EQ(list->ItemCount(), 1);
    EXPECT_TRUE(list->IsParentItem(0));

    // The parent entry leads back out, and the list lists again.
    list->SetSelected(0, true);
    list->OpenItem();
    EXPECT_EQ(list->Directory(), parent);
    bool found = false;
    for (int i = 0; i < list->ItemCount(); ++i)
        found = found || list->Item(i).caption == L"leia.txt";
    EXPECT_TRUE(found);
    EXPECT_EQ(script.Calls().size(), 1u) << "reported more than once";
    tmb::Destroy(list);
}

} // namespace
