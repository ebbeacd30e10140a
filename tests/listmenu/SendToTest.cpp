// The chores behind the list's context menu on real files, real shortcuts and the real
// clipboard: the viewer table and its programs, shortcuts written and
// resolved with names outside the code page, copies into a folder, the clipboard writers,
// and the "send to any folder" prompt both scripted and as the real dialog.
#include "explorer/KvSendTo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/Exception.h"
#include "framework/FolderPrompt.h"
#include "framework/TextConv.h"
#include "tests/support/ClipboardData.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using tmbtest::ClipboardBytes;
using tmbtest::ClipboardText;
using tmbtest::ModalCall;
using tmbtest::TempFolder;

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

// A 24-bit 3 x 2 bitmap file.
std::string SmallBitmapFile() {
    const int w = 3, h = 2, stride = 12;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = stride * h;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    for (int i = 0; i < stride * h; ++i)
        bytes.push_back(static_cast<char>(i * 17));
    return bytes;
}

// A Windows metafile of one rectangle, as a metafile device context records it.
std::string SmallMetafileFile() {
    HDC dc = CreateMetaFileW(nullptr);
    Rectangle(dc, 0, 0, 100, 50);
    HMETAFILE mf = CloseMetaFile(dc);
    std::string bytes(GetMetaFileBitsEx(mf, 0, nullptr), '\0');
    GetMetaFileBitsEx(mf, static_cast<UINT>(bytes.size()), bytes.data());
    DeleteMetaFile(mf);
    return bytes;
}

TEST(ListMenuHelpers, ViewerTableAndItsProgramsInEitherLetterCase) {
    EXPECT_EQ(kv::ViewerIndex(L"C:\\a\\notes.txt"), 9);
    EXPECT_EQ(kv::ViewerIndex(L"C:\\a\\NOTES.TXT"), 9);
    EXPECT_EQ(kv::ViewerIndex(L"C:\\a.b\\x.c"), 0);
    EXPECT_EQ(kv::ViewerIndex(L"C:\\a\\letter.Rtf"), 11);
    EXPECT_EQ(kv::ViewerIndex(L"C:\\a\\photo.jpg"), 15);
    // Only the exact extension counts: not a longer one, not a folder's dot, not none.
    EXPECT_EQ(kv::ViewerIndex(L"C:\\a\\page.html"), -1);
    EXPECT_EQ(kv::ViewerIndex(L"C:\\a.txt\\readme"), -1);
    EXPECT_EQ(kv::ViewerIndex(L"C:\\a\\archive.txt.zip"), -1);

    // "Clipboard as Contents" takes the table up to ".BMP", and ".RTF" and ".WMF".
    EXPECT_TRUE(kv::CanCopyContents(L"x.bmp"));
    EXPECT_TRUE(kv::CanCopyContents(L"x.Wmf"));
    EXPECT_TRUE(kv::CanCopyContents(L"x.h"));
    EXPECT_FALSE(kv::CanCopyContents(L"x.gif"));
    EXPECT_FALSE(kv::CanCopyContents(L"x.jpg"));
    EXPECT_FALSE(kv::CanCopyContents(L"x.exe"));

    // Notepad lives in the Windows folder; Write only in the system folder; no Paint at all.
    wchar_t windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(tmb::SameText(kv::ViewerProgramPath(L"NotePad.exe"),
                              kv::AddSlash(windows) + L"NotePad.exe"));
    EXPECT_TRUE(tmb::SameText(kv::ViewerProgramPath(L"Write.exe"),
                              kv::AddSlash(system) + L"Write.exe"));
    EXPECT_TRUE(tmb::SameText(kv::ViewerProgramPath(L"PBrush.exe"),
                              kv::AddSlash(windows) + L"PBrush.exe"));
}

TEST(ListMenuHelpers, ShortcutsWithNamesOutsideTheCodePageResolveToTheirTargets) {
    TempFolder folder;
    const std::wstring target = folder.AddFile(L"Σημείωση ж €.txt", 10);
    const std::wstring link = folder / L"Ярлык ω.lnk";
    ASSERT_TRUE(kv::CreateShortcut(link, target, folder.Path(), L"Σημείωση ж €"));
    EXPECT_EQ(U8(kv::ResolveShortcut(nullptr, link)), U8(target));

    // A shortcut to a folder; a file that is no shortcut, and a missing one, resolve to nothing.
    const std::wstring sub = folder.AddFolder(L"Destino");
    ASSERT_TRUE(kv::CreateShortcut(folder / L"to folder.lnk", sub, folder.Path(), L"Destino"));
    EXPECT_EQ(U8(kv::ResolveShortcut(nullptr, folder / L"to folder.lnk")), U8(sub));
    EXPECT_EQ(kv::ResolveShortcut(nullptr, target), L"");
    EXPECT_EQ(kv::ResolveShortcut(nullptr, folder / L"missing.lnk"), L"");
    // A shortcut cannot be saved into a folder that does not exist.
    EXPECT_FALSE(kv::CreateShortcut(folder / L"no such\\x.lnk", target, folder.Path(), L"x"));
}

TEST(ListMenuHelpers, CopyIntoAFolderCopiesEveryEntryUnderItsOwnName) {
    TempFolder source, target;
    const std::wstring a = source.AddFile(L"a b.txt", 5);
    const std::wstring c = source.AddFile(L"ção.dat", 7);
    const std::wstring sub = source.AddFolder(L"sub & more");
    ASSERT_TRUE(tmbtest::WriteFileBytes(sub + L"\\inner.txt", "inner"));
    ASSERT_TRUE(kv::CopyEntriesToFolder({a, c, sub}, target.Path()));
    EXPECT_TRUE(tmbtest::FileExists(target / L"a b.txt"));
    EXPECT_TRUE(tmbtest::FileExists(target / L"ção.dat"));
    EXPECT_EQ(tmbtest::ReadFileBytes(target / L"sub & more\\inner.txt"), "inner");
    EXPECT_TRUE(tmbtest::FileExists(a));  // copied, not moved

    // A missing source fails; the others are copied all the same.
    TempFolder second;
    EXPECT_FALSE(kv::CopyEntriesToFolder({source / L"gone.txt", a}, second.Path()));
    EXPECT_TRUE(tmbtest::FileExists(second / L"a b.txt"));
}

TEST(ListMenuHelpers, NamesGoToTheClipboardOnePerLineAsUnicodeAndAnsiText) {
    const std::vector<std::wstring> names = {L"C:\\x\\one.txt", L"C:\\x\\ção €.txt",
                                             L"C:\\x\\Ж ω.txt"};
    ASSERT_TRUE(kv::CopyLinesToClipboard(nullptr, names));
    EXPECT_EQ(U8(ClipboardText()),
              U8(L"C:\\x\\one.txt\r\nC:\\x\\ção €.txt\r\nC:\\x\\Ж ω.txt"));
    // The 8-bit form the system offers from it holds what the code page can.
    const std::string ansi = ClipboardBytes(CF_TEXT);
    EXPECT_EQ(std::string(ansi.c_str()),
              "C:\\x\\one.txt\r\nC:\\x\\\xE7\xE3o \x80.txt\r\nC:\\x\\? ?.txt");

    ASSERT_TRUE(kv::CopyLinesToClipboard(nullptr, {L"C:\\only.txt"}));
    EXPECT_EQ(U8(ClipboardText()), "C:\\only.txt");
}

TEST(ListMenuHelpers, ContentsOfTextRichTextBitmapAndMetafileGoToTheClipboard) {
    TempFolder folder;
    tmbtest::TestForm form;
    const HWND parent = form.Handle();
    // A UTF-8 text longer than the rich-text control's default limit.
    std::string utf8 = "\xEF\xBB\xBF";
    std::wstring expected;
    for (int i = 0; i < 3000; ++i) {
        const std::wstring line = L"Linha " + std::to_wstring(i) + L" ção Ж €\r\n";
        utf8 += tmb::WideToUtf8(line);
        expected += line;
    }
    const std::wstring text = folder / L"long.txt";
    ASSERT_TRUE(tmbtest::WriteFileBytes(text, utf8));
    EmptyTheClipboard();
    ASSERT_TRUE(kv::CopyFileContentsToClipboard(parent, text));
    const std::wstring got = ClipboardText();
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_EQ(U8(got.substr(got.size() - 40)), U8(expected.substr(expected.size() - 40)));

    const std::wstring rtf = folder / L"letter.rtf";
    ASSERT_TRUE(tmbtest::WriteFileBytes(rtf, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello {\\b bold} world\\par}"));
    ASSERT_TRUE(kv::CopyFileContentsToClipboard(parent, rtf));
    EXPECT_EQ(U8(ClipboardText()).substr(0, 16), "Hello bold world");
    const std::string rich = ClipboardBytes(RegisterClipboardFormatW(L"Rich Text Format"));
    EXPECT_EQ(rich.compare(0, 5, "{\\rtf"), 0) << rich;
    EXPECT_NE(rich.find("bold"), std::string::npos);

    const std::wstring bmp = folder / L"Small.BMP";
    const std::string bmpBytes = SmallBitmapFile();
    ASSERT_TRUE(tmbtest::WriteFileBytes(bmp, bmpBytes));
    ASSERT_TRUE(kv::CopyFileContentsToClipboard(parent, bmp));
    const std::string dib = ClipboardBytes(CF_DIB);
    ASSERT_GE(dib.size(), bmpBytes.size() - sizeof(BITMAPFILEHEADER));
    EXPECT_EQ(dib.substr(0, bmpBytes.size() - sizeof(BITMAPFILEHEADER)),
              bmpBytes.substr(sizeof(BITMAPFILEHEADER)));

    const std::wstring wmf = folder / L"shape.wmf";
    ASSERT_TRUE(tmbtest::WriteFileBytes(wmf, SmallMetafileFile()));
    ASSERT_TRUE(kv::CopyFileContentsToClipboard(parent, wmf));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    CloseClipboard();

    // Pixels the file keeps further on (its bfOffBits) come out right after the header.
    constexpr std::size_t kHeaders = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    std::string gapped = bmpBytes.substr(0, kHeaders) + std::string(6, '\x7F') + bmpBytes.substr(kHeaders);
    const DWORD offBits = kHeaders + 6;
    std::memcpy(gapped.data() + offsetof(BITMAPFILEHEADER, bfOffBits), &offBits, sizeof(offBits));
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder / L"gap.bmp", gapped));
    ASSERT_TRUE(kv::CopyFileContentsToClipboard(parent, folder / L"gap.bmp"));
    EXPECT_EQ(ClipboardBytes(CF_DIB).substr(0, bmpBytes.size() - sizeof(BITMAPFILEHEADER)),
              bmpBytes.substr(sizeof(BITMAPFILEHEADER)));

    // A picture file that holds no picture, or less of it than its header says, copies
    // nothing and leaves the clipboard as it was; a missing file is an error.
    ASSERT_TRUE(kv::CopyLinesToClipboard(parent, {L"kept"}));
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder / L"broken.bmp", "not a bitmap"));
    EXPECT_FALSE(kv::CopyFileContentsToClipboard(parent, folder / L"broken.bmp"));
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder / L"short.bmp", bmpBytes.substr(0, bmpBytes.size() - 5)));
    EXPECT_FALSE(kv::CopyFileContentsToClipboard(parent, folder / L"short.bmp"));
    // 65,536 x 16,385 pixels of 32 bits claim 2^32 + 2^18 bytes: a size that wraps in 32 bits
    // would take the 256 KB that follow for all of them.
    std::string huge = bmpBytes.substr(0, kHeaders) + std::string(1 << 18, '\x11');
    const LONG hugeSize[2] = {65536, 16385};
    const WORD hugeDepth = 32;
    std::memcpy(huge.data() + sizeof(BITMAPFILEHEADER) + offsetof(BITMAPINFOHEADER, biWidth), hugeSize,
                sizeof(hugeSize));
    std::memcpy(huge.data() + sizeof(BITMAPFILEHEADER) + offsetof(BITMAPINFOHEADER, biBitCount),
                &hugeDepth, sizeof(hugeDepth));
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder / L"huge.bmp", huge));
    EXPECT_FALSE(kv::CopyFileContentsToClipboard(parent, folder / L"huge.bmp"));
    const std::string metafile = SmallMetafileFile();
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder / L"short.wmf", metafile.substr(0, metafile.size() - 8)));
    EXPECT_FALSE(kv::CopyFileContentsToClipboard(parent, folder / L"short.wmf"));
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder / L"broken.wmf", "not a metafile, only some text"));
    EXPECT_FALSE(kv::CopyFileContentsToClipboard(parent, folder / L"broken.wmf"));
    EXPECT_EQ(ClipboardText(), L"kept");
    EXPECT_THROW(kv::CopyFileContentsToClipboard(parent, folder / L"missing.txt"),
                 tmb::Exception);
}

TEST(ListMenuHelpers, AskForFolderAnswersOkCancelAndBrowseAgain) {
    kv::ViewLanguage = kv::lnPortuguese;
    kv::LoadViewTexts();
    tmbtest::DialogScript script;
    script.AnswerPrompt(tmb::mrOk, L"D:\\Destino");
    EXPECT_EQ(kv::AskForFolder(L""), L"D:\\Destino");
    script.AnswerPrompt(tmb::mrCancel, L"D:\\ignored");
    EXPECT_EQ(kv::AskForFolder(L"x"), L"");
    script.AnswerPrompt(tmb::mrOk, L"");
    EXPECT_EQ(kv::AskForFolder(L"y"), L"");
    // Browse: the picker, then the prompt again holding the picked folder.
    script.AnswerPrompt(tmb::mrBrowse);
    script.AnswerFolder(L"C:\\users");
    script.AnswerPrompt(tmb::mrOk, L"C:\\users\\");
    EXPECT_EQ(kv::AskForFolder(L""), L"C:\\users\\");
    // Browse cancelled: nothing, and no second prompt.
    script.AnswerPrompt(tmb::mrBrowse);
    EXPECT_EQ(kv::AskForFolder(L""), L"");

    const auto prompts = script.CallsOf(ModalCall::Kind::FolderPrompt);
    ASSERT_EQ(prompts.size(), 6u);
    EXPECT_EQ(U8(prompts[0].caption), "Enviar para a pasta");
    EXPECT_EQ(U8(prompts[1].text), "x");
    EXPECT_EQ(U8(prompts[3].text), "");
    EXPECT_EQ(U8(prompts[4].text), "C:\\users\\");
    const auto pickers = script.CallsOf(ModalCall::Kind::FolderPicker);
    ASSERT_EQ(pickers.size(), 2u);
    EXPECT_EQ(U8(pickers[0].caption), "Por favor especifique uma pasta");
}

// The prompt's layout, read while it is up.
struct PromptLayout {
    RECT client{};
    std::wstring caption;
    std::vector<std::pair<int, RECT>> controls;  // id, rectangle in client coordinates
    std::vector<std::wstring> captions;
    int editLimit = 0;
    DWORD selection = 0;
    int defaultId = 0;
    bool centred = false;

    void Read(HWND dlg) {
        GetClientRect(dlg, &client);
        wchar_t text[256] = {};
        GetWindowTextW(dlg, text, 256);
        caption = text;
        RECT frame;
        GetWindowRect(dlg, &frame);
        centred = std::abs((frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1 &&
                  std::abs((frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1;
        for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT r;
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
            controls.push_back({GetDlgCtrlID(c), r});
            GetWindowTextW(c, text, 256);
            captions.push_back(text);
        }
        HWND edit = GetDlgItem(dlg, tmb::folder_prompt::kEditId);
        editLimit = static_cast<int>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
        selection = static_cast<DWORD>(SendMessageW(edit, EM_GETSEL, 0, 0));
        defaultId = LOWORD(SendMessageW(dlg, DM_GETDEFID, 0, 0));
    }
};

TEST(ListMenuHelpers, TheRealPromptHasItsFixedLayoutAndAnswers) {
    kv::ViewLanguage = kv::lnEnglish;
    kv::LoadViewTexts();
    tmbtest::TestForm form;
    PromptLayout probe;
    {
        // The user types a folder and presses OK.
        tmbtest::ModalAutoAnswer typed({{IDOK, tmb::folder_prompt::kEditId, L"C:\\Typed folder",
                                         [&](HWND box) { probe.Read(box); }}});
        EXPECT_EQ(kv::AskForFolder(L"C:\\start"), L"C:\\Typed folder");
        EXPECT_EQ(typed.Count(), 1);
    }
    EXPECT_EQ(probe.client.right, 333);
    EXPECT_EQ(probe.client.bottom, 135);
    EXPECT_TRUE(probe.centred);
    EXPECT_EQ(U8(probe.caption), "Send to any folder");
    EXPECT_EQ(probe.editLimit, 285);
    EXPECT_EQ(probe.selection, MAKELONG(0, 8));  // all of "C:\start" selected
    EXPECT_EQ(probe.defaultId, IDOK);
    using namespace tmb::folder_prompt;
    const std::vector<std::tuple<int, int, int, int, std::string>> expected = {
        {kLabelId, 20, 12, -1, "Please enter the send_to path"},
        {kEditId, 20, 32, 293, "C:\\start"},
        {IDOK, 37, 80, 75, "OK"},
        {IDCANCEL, 129, 80, 75, "Cancel"},
        {tmb::mrBrowse, 221, 80, 75, "Browse"},
    };
    ASSERT_EQ(probe.controls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [id, left, top, width, text] = expected[i];
        const RECT& r = probe.controls[i].second;
        EXPECT_EQ(probe.controls[i].first, id);
        EXPECT_EQ(r.left, left) << i;
        EXPECT_EQ(r.top, top) << i;
        if (width > 0) {
            EXPECT_EQ(r.right - r.left, width) << i;
        }
        if (id != kEditId && id != kLabelId) {
            EXPECT_EQ(r.bottom - r.top, 25) << i;
        }
        if (id != kEditId) {
            EXPECT_EQ(U8(probe.captions[i]), text) << i;
        }
    }

    // Esc (the dialog's cancel) gives nothing.
    tmbtest::ModalAutoAnswer cancel(IDCANCEL);
    EXPECT_EQ(kv::AskForFolder(L"C:\\start"), L"");
    ASSERT_EQ(cancel.Count(), 1);
    EXPECT_EQ(U8(cancel.Boxes()[0].caption), "Send to any folder");
}

} // namespace
