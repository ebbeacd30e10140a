// Command-line arguments: the system's splitting, except that a quoted path may end in a
// backslash.
#include "framework/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TextConv.h"

namespace {

using Arguments = std::vector<std::wstring>;

TEST(CommandLineArguments, SplitAsTheSystemDoesButAQuotedPathKeepsItsLastBackslash) {
    const struct {
        const wchar_t* line;
        Arguments expected;
    } cases[] = {
        {L"\"C:\\Program Files\\Tombarel.exe\"", {}},
        {L"t.exe \"C:\\Minha Pasta\" /y", {L"C:\\Minha Pasta", L"/y"}},
        {L"t.exe /html \"C:\\Minha Pasta\\\" /y", {L"/html", L"C:\\Minha Pasta\\", L"/y"}},
        {L"t.exe \"D:\\\"", {L"D:\\"}},
        {L"t.exe D:\\ \"E:\\\"\t/x", {L"D:\\", L"E:\\", L"/x"}},
        {L"t.exe \"\\\\servidor\\pasta\\\"", {L"\\\\servidor\\pasta\\"}},
        {L"t.exe \"C:\\a\\\\\" b", {L"C:\\a\\", L"b"}},
        // Where a quote does not end the argument, the system's rule stands.
        {L"t.exe a\\\"b \"c\\\"d\"", {L"a\"b", L"c\"d"}},
        {L"t.exe \"\u0416\u0443\u043a \u00e7\" ''", {L"\u0416\u0443\u043a \u00e7", L"''"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tmb::CommandLineArguments(c.line), c.expected) << tmb::WideToUtf8(c.line);
    const std::wstring deep(300, L'x');
    EXPECT_EQ(tmb::CommandLineArguments(L"t.exe \"C:\\" + deep + L"\\\""), Arguments{L"C:\\" + deep + L"\\"});
}

} // namespace
