// Text conversions, font descriptions and the owning handle wrappers.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "framework/Font.h"
#include "framework/Handles.h"
#include "framework/TextConv.h"

namespace {

// ---- text ------------------------------------------------------------------------------

TEST(TextConversion, Utf8CarriesEveryCharacterBothWays) {
    const std::wstring text = L"a\u00E7\u00E3o \u65E5\u672C \U0001F600 end";
    const std::string utf8 = tmb::WideToUtf8(text);
    EXPECT_EQ("a\xC3\xA7\xC3\xA3o \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 end", utf8);
    EXPECT_EQ(text, tmb::Utf8ToWide(utf8));
    EXPECT_EQ("", tmb::WideToUtf8(L""));
    EXPECT_EQ(L"", tmb::Utf8ToWide(""));
}

TEST(TextConversion, AnsiTellsWhetherNothingWasLost) {
    // Both test locales run with code page 1252.
    bool lossless = false;
    EXPECT_EQ("Caf\xE9 \x80", tmb::WideToAnsi(L"Caf\u00E9 \u20AC", &lossless));
    EXPECT_TRUE(lossless);
    EXPECT_EQ(L"Caf\u00E9 \u20AC", tmb::AnsiToWide("Caf\xE9 \x80"));

    const std::string lost = tmb::WideToAnsi(L"x\u65E5y", &lossless);
    EXPECT_FALSE(lossless);
    EXPECT_EQ(3u, lost.size());
    EXPECT_EQ('x', lost.front());
    EXPECT_EQ('y', lost.back());

    lossless = false;
    EXPECT_EQ("", tmb::WideToAnsi(L"", &lossless));
    EXPECT_TRUE(lossless);
}

TEST(TextConversion, CaseFollowsTheLanguageNotJustAscii) {
    EXPECT_EQ(L"A\u00C7\u00C3O \u00C9", tmb::UpperCase(L"a\u00E7\u00E3o \u00E9"));
    EXPECT_EQ(L"a\u00E7\u00E3o \u00E9", tmb::LowerCase(L"A\u00C7\u00C3O \u00C9"));
    EXPECT_TRUE(tmb::SameText(L"C:\\Pasta\\Arquivo.TXT", L"c:\\pasta\\arquivo.txt"));
    EXPECT_TRUE(tmb::SameText(L"\u00C7", L"\u00E7"));
    EXPECT_FALSE(tmb::SameText(L"abc", L"abd"));
    EXPECT_FALSE(tmb::SameText(L"abc", L"abc "));
}

// ---- fonts -----------------------------------------------------------------------------

LOGFONTW Described(const tmb::Font& font) {
    LOGFONTW lf{};
    GetObjectW(font.Handle(), sizeof(lf), &lf);
    return lf;
}

// The key a list sorts by is the platform's own, whether it fits the first buffer or not:
// word order ("co-op" after "coop"), accents, other scripts, and a long name whose key
// outgrows any small buffer.
TEST(TextConversion, SortKeysAreThePlatformsWhateverTheirLength) {
    std::wstring longName;
    for (int i = 0; i < 50; ++i)
        longName += L"\u00e9t\u00e9 co-op ";
    const std::wstring names[] = {L"co-op", L"coop", L"a-b", L"ab", L"a b", L"x'y", L"\u00e9t\u00e9",
                                  L"ETE", L"\u65e5\u672c\u8a9e.txt", L"\u03a9mega", L"file10",
                                  L"\U0001F600 smile", longName.substr(0, 255)};
    for (const std::wstring& name : names) {
        const int length = static_cast<int>(name.size());
        const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
        const int n = LCMapStringW(LOCALE_USER_DEFAULT, flags, name.c_str(), length, nullptr, 0);
        ASSERT_GT(n, 0);
        std::string expected(static_cast<size_t>(n), '\0');
        LCMapStringW(LOCALE_USER_DEFAULT, flags, name.c_str(), length,
                     reinterpret_cast<wchar_t*>(expected.data()), n);
        EXPECT_EQ(tmb::SortKey(name, true), expected) << tmb::WideToUtf8(name);
        // A buffer too small says so instead of giving part of a key.
        unsigned char small[4];
        EXPECT_EQ(tmb::SortKeyInto(name.c_str(), length, true, small, sizeof(small)), 0);
    }
    EXPECT_GT(tmb::SortKey(longName.substr(0, 255), true).size(), 512u);
}

TEST(FontDescription, SizeAndHeightFollowTheScreensResolution) {
    tmb::Font font;
    const int ppi = tmb::Font::ScreenPixelsPerInch();
    font.SetSize(8);
    EXPECT_EQ(-MulDiv(8, ppi, 72), font.Height());
    EXPECT_EQ(8, font.Size());
    font.SetHeight(-16);
    EXPECT_EQ(MulDiv(16, 72, ppi), font.Size());
}

TEST(FontDescription, TheGdiFontFollowsEveryChange) {
    tmb::Font font;
    int changes = 0;
    font.OnChange = [&](tmb::Font& sender) {
        EXPECT_EQ(&font, &sender);
        ++changes;
    };
    font.SetName(L"Arial");
    font.SetHeight(-13);
    font.SetStyle(tmb::fsBold | tmb::fsUnderline);
    EXPECT_EQ(3, changes);
    LOGFONTW lf = Described(font);
    EXPECT_STREQ(L"Arial", lf.lfFaceName);
    EXPECT_EQ(-13, lf.lfHeight);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfItalic);

    font.SetStyle(tmb::fsItalic);
    lf = Described(font);
    EXPECT_EQ(FW_NORMAL, lf.lfWeight);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);

    // A copy describes the same font but has no listener of its own; assigning tells the
    // target's listener.
    tmb::Font copy(font);
    EXPECT_FALSE(static_cast<bool>(copy.OnChange));
    EXPECT_EQ(L"Arial", copy.Name());
    copy.SetName(L"Tahoma");
    EXPECT_EQ(4, changes);
    font = copy;
    EXPECT_EQ(5, changes);
    EXPECT_STREQ(L"Tahoma", Described(font).lfFaceName);
}

// ---- handles -----------------------------------------------------------------------------

TEST(OwnedHandles, AreClosedOnceAndMoveWithoutCopies) {
    HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
    {
        tmb::BrushHandle first(raw);
        tmb::BrushHandle second(std::move(first));
        EXPECT_FALSE(static_cast<bool>(first));
        EXPECT_EQ(raw, second.get());
        tmb::BrushHandle third;
        third = std::move(second);
        EXPECT_EQ(raw, third.get());
        EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(raw)));
    }
    EXPECT_EQ(0u, GetObjectType(raw));  // deleted with the last owner

    HBRUSH kept = CreateSolidBrush(RGB(4, 5, 6));
    {
        tmb::BrushHandle owner(kept);
        EXPECT_EQ(kept, owner.release());
    }
    EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(kept)));
    tmb::BrushHandle again(kept);
    again.reset(CreateSolidBrush(RGB(7, 8, 9)));
    EXPECT_EQ(0u, GetObjectType(kept));
}

TEST(OwnedHandles, FileAndFindHandlesKnowTheirOwnFailureValue) {
    tmb::FileHandle file(CreateFileW(L"C:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(static_cast<bool>(file));
    WIN32_FIND_DATAW fd;
    tmb::FindHandle find(FindFirstFileW(L"C:\\no\\such\\*.*", &fd));
    EXPECT_FALSE(static_cast<bool>(find));
    tmb::FindHandle found(FindFirstFileW(L"C:\\*", &fd));
    EXPECT_TRUE(static_cast<bool>(found));
    tmb::KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_TRUE(static_cast<bool>(event));
    tmb::KernelHandle none;
    EXPECT_FALSE(static_cast<bool>(none));
}

TEST(DeviceContextGuards, PutBackWhatTheyChanged) {
    tmb::MemoryDC dc(CreateCompatibleDC(nullptr));
    tmb::BitmapHandle bitmap(CreateCompatibleBitmap(dc.get(), 20, 20));
    HGDIOBJ original = SelectObject(dc.get(), bitmap.get());
    tmb::FontHandle font(CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                     L"Arial"));
    HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_FONT);
    {
        tmb::SelectGuard select(dc.get(), font.get());
        EXPECT_EQ(font.get(), GetCurrentObject(dc.get(), OBJ_FONT));
    }
    EXPECT_EQ(before, GetCurrentObject(dc.get(), OBJ_FONT));

    SetTextColor(dc.get(), RGB(1, 1, 1));
    {
        tmb::SavedDC saved(dc.get());
        SetTextColor(dc.get(), RGB(9, 9, 9));
        IntersectClipRect(dc.get(), 0, 0, 5, 5);
    }
    EXPECT_EQ(RGB(1, 1, 1), GetTextColor(dc.get()));
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, GetClipRgn(dc.get(), clip));  // no clip region again
    DeleteObject(clip);
    SelectObject(dc.get(), original);
}

} // namespace
