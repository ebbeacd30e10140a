// Registry keys and string values, and the platform's texts for a value of the wrong type
// and for a value that cannot be written.
#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "tests/support/DialogScript.h"

namespace {

using tmb::Registry;

// A key of its own under HKEY_CURRENT_USER for each test, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        base_ = L"Software\\TombarelTests\\Run" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter);
        path_ = base_ + L"\\Deeper\\Key";
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TombarelTests");  // once empty
    }

    // Writes a value straight through the API, with any type and byte count.
    void Raw(const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name.c_str(), 0, type,
                                                static_cast<const BYTE*>(data), bytes));
        RegCloseKey(key);
    }

    std::wstring base_;
    std::wstring path_;
};

TEST_F(RegistryTest, OpenKeyCreatesTheKeyAndMissingParentsOnlyWhenAsked) {
    Registry reg;
    EXPECT_FALSE(reg.OpenKey(path_, false));
    EXPECT_FALSE(reg.KeyExists(path_));
    EXPECT_THROW(reg.WriteString(L"probe", L"1"), tmb::ERegistryException);  // no key open
    ASSERT_TRUE(reg.OpenKey(path_, true));
    EXPECT_NO_THROW(reg.WriteString(L"probe", L"1"));
    EXPECT_TRUE(reg.KeyExists(path_));
    EXPECT_TRUE(Registry().OpenKey(path_, false));
}

TEST_F(RegistryTest, StringsComeBackAsWritten) {
    {
        Registry reg;
        ASSERT_TRUE(reg.OpenKey(path_, true));
        reg.WriteString(L"lastdir", L"C:\\Pasta com espa\u00E7o\\\u65E5\u672C");
        reg.WriteString(L"empty", L"");
        reg.WriteString(L"lastdir2", L"Drives");
        reg.WriteString(L"lastdir2", L"c:");  // overwritten
    }
    Registry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(path_));
    EXPECT_EQ(L"C:\\Pasta com espa\u00E7o\\\u65E5\u672C", reg.ReadString(L"lastdir"));
    EXPECT_TRUE(reg.ValueExists(L"empty"));
    EXPECT_EQ(L"", reg.ReadString(L"empty"));
    EXPECT_EQ(L"c:", reg.ReadString(L"lastdir2"));
    // Missing: empty, no error.
    EXPECT_FALSE(reg.ValueExists(L"absent"));
    EXPECT_EQ(L"", reg.ReadString(L"absent"));
}

TEST_F(RegistryTest, StringsWrittenByOthersReadWithOrWithoutTheirTerminator) {
    const wchar_t text[] = L"C:\\Temp";
    Raw(L"with", REG_SZ, text, sizeof(text));
    Raw(L"without", REG_SZ, text, sizeof(text) - sizeof(wchar_t));
    Raw(L"expand", REG_EXPAND_SZ, text, sizeof(text));
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(path_, false));
    EXPECT_EQ(L"C:\\Temp", reg.ReadString(L"with"));
    EXPECT_EQ(L"C:\\Temp", reg.ReadString(L"without"));
    EXPECT_EQ(L"C:\\Temp", reg.ReadString(L"expand"));
}

TEST_F(RegistryTest, AValueOfAnotherTypeFailsWithThePlatformsText) {
    const DWORD number = 42;
    Raw(L"lastdir", REG_DWORD, &number, sizeof(number));
    const BYTE bytes[] = {'C', 0, ':', 0, 0, 0};
    Raw(L"binary", REG_BINARY, bytes, sizeof(bytes));
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(path_, false));
    try {
        reg.ReadString(L"lastdir");
        ADD_FAILURE() << "no error";
    } catch (const tmb::ERegistryException& e) {
        EXPECT_EQ(L"Invalid data type for 'lastdir'", e.Message());
    }
    EXPECT_THROW(reg.ReadString(L"binary"), tmb::ERegistryException);

    // Shown by the default report as it stands: the closing quote sorts before ".".
    tmbtest::DialogScript script;
    tmb::Guarded([&] { reg.ReadString(L"lastdir"); });
    EXPECT_EQ(std::vector<std::wstring>{L"Invalid data type for 'lastdir'"}, script.Texts());
}

TEST_F(RegistryTest, AValueThatCannotBeWrittenFailsWithThePlatformsText) {
    ASSERT_TRUE(Registry().OpenKey(path_, true));
    Registry readOnly;
    ASSERT_TRUE(readOnly.OpenKeyReadOnly(path_));
    try {
        readOnly.WriteString(L"lastdir", L"C:\\");
        ADD_FAILURE() << "no error";
    } catch (const tmb::ERegistryException& e) {
        EXPECT_EQ(L"Failed to set data for 'lastdir'", e.Message());
    }
    EXPECT_FALSE(readOnly.ValueExists(L"lastdir"));

    // A key that could not be opened: the write fails the same way.
    Registry none;
    EXPECT_FALSE(none.OpenKey(base_ + L"\\Missing", false));
    EXPECT_THROW(none.WriteString(L"lastdir", L"C:\\"), tmb::ERegistryException);
    EXPECT_EQ(L"", none.ReadString(L"lastdir"));
}

TEST_F(RegistryTest, DeleteKeyRemovesTheKeyWithEverythingBelow) {
    {
        Registry reg;
        ASSERT_TRUE(reg.OpenKey(path_, true));
        reg.WriteString(L"v", L"x");
        ASSERT_TRUE(reg.OpenKey(path_ + L"\\Sub", true));
        reg.WriteString(L"w", L"y");
    }
    Registry reg;
    const std::wstring deeper = base_ + L"\\Deeper";
    EXPECT_TRUE(reg.DeleteKey(deeper));
    EXPECT_FALSE(reg.KeyExists(deeper));
    EXPECT_TRUE(reg.KeyExists(base_));
    EXPECT_FALSE(reg.DeleteKey(deeper));

    ASSERT_TRUE(reg.OpenKey(path_, true));
    reg.WriteString(L"v", L"x");
    EXPECT_TRUE(reg.DeleteValue(L"v"));
    EXPECT_FALSE(reg.ValueExists(L"v"));
    EXPECT_FALSE(reg.DeleteValue(L"v"));
}

} // namespace
