// Times the main window's operations on folders of 1,000, 10,000 and 100,000 files through
// the real window, against the floor: one plain FindFirstFile/FindNextFile pass over the same
// folder measured in the same run. Prints operation, files, time, ratio and peak memory.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "app/Listings.h"
#include "explorer/KvDirTree21.h"
#include "explorer/KvFolderContents.h"
#include "app/tombarel.h"
#include "explorador/explorador.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Registry.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& body) {
    const auto start = Clock::now();
    body();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc));
    return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// The folder of `count` files that scripts/bench.sh made beforehand.
std::wstring BenchFolder(const std::wstring& root, int count) {
    return root + L"\\" + std::to_wstring(count) + L"\\files";
}

double Floor(const std::wstring& folder) {
    std::vector<double> runs;
    for (int r = 0; r < 3; ++r) {
        runs.push_back(Seconds([&] {
            WIN32_FIND_DATAW fd;
            HANDLE h = FindFirstFileW((folder + L"\\*.*").c_str(), &fd);
            if (h == INVALID_HANDLE_VALUE)
                return;
            while (FindNextFileW(h, &fd)) {
            }
            FindClose(h);
        }));
    }
    return Median(runs);
}

// Answers every modal box of the program so a run never waits: questions with No, the save
// dialog with the name set in `savePath`, the folder pickers and network dialogs cancelled.
class QuietHost final : public tmb::ModalHost {
public:
    int MessageBox(HWND, const std::wstring&, const std::wstring&, UINT) override { return IDOK; }
    int MessageDlg(HWND, const std::wstring&, tmb::MsgDlgType, tmb::MsgDlgButtons) override {
        return tmb::mrNo;
    }
    bool SaveDialog(tmb::SaveDialogRequest& request) override {
        request.fileName = savePath;
        return !savePath.empty();
    }
    std::wstring savePath;
};

// One recursive FindFirstFile/FindNextFile walk over a folder tree: the floor of the tree size.
void WalkTree(const std::wstring& dir, double& bytes) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (std::wcscmp(fd.cFileName, L".") != 0 && std::wcscmp(fd.cFileName, L"..") != 0)
                WalkTree(dir + L"\\" + fd.cFileName, bytes);
        } else {
            bytes += static_cast<double>(fd.nFileSizeHigh) * 4294967296.0 + fd.nFileSizeLow;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

void Row(const char* operation, int files, double seconds, double floor) {
    std::printf("%-26s %8d %10.3f s %8.2fx %9.1f MB\n", operation, files, seconds,
                seconds / floor, PeakMegabytes());
    std::fflush(stdout);
}

void ClickRow(app::Tfmtextdir* form, int index) {
    HWND list = form->files->Handle();
    SendMessageW(list, LB_SETTOPINDEX, index, 0);
    RECT r;
    SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(r.left + 30, (r.top + r.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    tmb::App().ProcessMessages();
}

// A click in the middle of a header item of the list, as the mouse makes it.
void ClickHeader(HWND list, int column) {
    HWND header = ListView_GetHeader(list);
    RECT r{};
    Header_GetItemRect(header, column, &r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
    tmb::App().ProcessMessages();
    UpdateWindow(list);
}

// The explorer window's file list on the same folders: listing (sorted, first page painted),
// re-sorting by a header click, one page of scrolling, and the window's peak memory. Run in a
// process of its own, so the peak is the explorer window's alone.
void BenchExplorer(const std::wstring& root, const std::vector<int>& sizes) {
    tmb::Registry().DeleteKey(app::kRegistryKey);
    auto* form = tmb::CreateForm<explorador::Tfmexplorador>(nullptr);
    form->Show();
    tmb::App().ProcessMessages();
    kv::TKvFilelistView28* files = form->files;
    HWND list = files->Handle();
    for (int n : sizes) {
        const std::wstring folder = BenchFolder(root, n);
        const double floor = Floor(folder);
        Row("floor: one enumeration", n, floor, floor);

        std::vector<double> loads;
        for (int r = 0; r < 3; ++r) {
            files->SetDirectory(L"C:\\");
            tmb::App().ProcessMessages();
            loads.push_back(Seconds([&] {
                files->SetDirectory(folder);
                UpdateWindow(list);
            }));
        }
        Row("list: folder listed+sorted", n, Median(loads), floor);

        const struct {
            const char* name;
            int column;
        } columns[] = {{"list: sort by Size", 1}, {"list: sort by Modified", 3},
                       {"list: sort by Type", 2}, {"list: sort by Name", 0}};
        for (const auto& c : columns) {
            std::vector<double> sorts;
            for (int r = 0; r < 2; ++r)
                sorts.push_back(Seconds([&] { ClickHeader(list, c.column); }));
            Row(c.name, n, Median(sorts), floor);
        }

        std::vector<double> pages;
        for (int r = 0; r < 10; ++r)
            pages.push_back(Seconds([&] {
                SendMessageW(list, WM_VSCROLL, SB_PAGEDOWN, 0);
                UpdateWindow(list);
            }));
        Row("list: one page scrolled", n, Median(pages), floor);

        std::vector<double> repaints;
        for (int r = 0; r < 10; ++r)
            repaints.push_back(Seconds([&] {
                InvalidateRect(list, nullptr, TRUE);
                UpdateWindow(list);
            }));
        Row("list: one full repaint", n, Median(repaints), floor);
    }
    tmb::Destroy(form);
}

void Resize(const std::wstring& path, std::uint64_t size) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(size);
    SetFilePointerEx(h, to, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    tmb::App().SetTitle(L"Tombarel");
    QuietHost quiet;
    tmb::SetModalHost(&quiet);

    const std::wstring root = argc > 1 ? argv[1] : L"C:\\tombarel-bench";

    std::vector<int> sizes = {1000, 10000, 100000};
    if (argc > 2 && _wtoi(argv[2]) > 0)
        sizes = {_wtoi(argv[2])};
    const bool explorer = argc > 3 ? lstrcmpiW(argv[3], L"explorer") == 0
                                   : argc > 2 && lstrcmpiW(argv[2], L"explorer") == 0;

    std::printf("%-26s %8s %12s %9s %12s\n", "operation", "files", "time", "ratio", "peak mem");
    if (explorer) {
        for (int n : sizes)
            if (GetFileAttributesW((BenchFolder(root, n) + L".ready").c_str()) == INVALID_FILE_ATTRIBUTES) {
                std::printf("%ls is missing: run scripts/bench.sh\n", BenchFolder(root, n).c_str());
                return 1;
            }
        BenchExplorer(root, sizes);
        tmb::SetModalHost(nullptr);
        CoUninitialize();
        return 0;
    }
    for (int n : sizes) {
        const std::wstring folder = BenchFolder(root, n);
        if (GetFileAttributesW((folder + L".ready").c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::printf("%ls is missing: run scripts/bench.sh\n", folder.c_str());
            return 1;
        }
        const double floor = Floor(folder);
        Row("floor: one enumeration", n, floor, floor);

        tmb::Registry().DeleteKey(app::kRegistryKey);
        auto* form = tmb::CreateForm<app::Tfmtextdir>(nullptr);
        form->Show();
        tmb::App().ProcessMessages();

        const double pick = Seconds([&] {
            form->dirs->OpenFolder(folder);
            tmb::App().ProcessMessages();
        });
        Row("pick folder (list, totals)", n, pick, floor);

        std::vector<double> clicks;
        for (int i = 1; i <= 5; ++i) {
            const int index = form->files->Count() * i / 7;
            clicks.push_back(Seconds([&] { ClickRow(form, index); }));
        }
        Row("click, folder unchanged", n, Median(clicks), floor);

        // Another program grew a file since the sizes were taken: the click takes them again.
        const std::wstring changed = form->files->PathOf(0);
        const std::uint64_t original = form->files->ItemSize(0);
        std::vector<double> changedClicks;
        for (int i = 1; i <= 5; ++i) {
            Resize(changed, original + i);
            Sleep(100);  // the change notice arrives on the system's own time
            const int index = form->files->Count() * i / 7;
            changedClicks.push_back(Seconds([&] { ClickRow(form, index); }));
        }
        Resize(changed, original);
        Row("click, folder changed", n, Median(changedClicks), floor);

        const double html = Seconds([&] {
            SendMessageW(form->btgerahtm->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
            SendMessageW(form->btgerahtm->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
            tmb::App().ProcessMessages();
        });
        Row("Gerar html (page in pane)", n, html, floor);

        // "Salvar" as the user runs it: written, list read again, question answered No.
        const std::wstring lista = folder + L"\\Lista.htm";
        DeleteFileW(lista.c_str());
        const double save = Seconds([&] {
            form->tfXPButton3Click(form->btsalvar);
            tmb::App().ProcessMessages();
        });
        // Its first part alone: the page from the pane to the file.
        DeleteFileW(lista.c_str());
        const double written = Seconds([&] {
            app::WriteFileReplacing(lista, app::ListingBytes(form->result->Text()));
        });
        Row("Salvar (file written)", n, written, floor);
        Row("Salvar (with re-read)", n, save, floor);
        DeleteFileW(lista.c_str());

        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        quiet.savePath = std::wstring(temp) + L"tombarel-bench.txt";
        const double text = Seconds([&] {
            SendMessageW(form->tfXPButton2->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
            SendMessageW(form->tfXPButton2->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
            tmb::App().ProcessMessages();
        });
        // Its writing part alone: the listing built and written.
        const double textWritten = Seconds([&] {
            app::WriteFileReplacing(quiet.savePath,
                                    app::ListingBytes(app::BuildTextListing(form->ListingOfFiles())));
        });
        Row("Salvar em texto (written)", n, textWritten, floor);
        Row("Salvar em texto (+re-read)", n, text, floor);
        DeleteFileW(quiet.savePath.c_str());
        quiet.savePath.clear();

        // The tree's folder-contents window on the same folder, till its first rows are drawn.
        form->dirs->LocatePath(folder);
        const double contents = Seconds([&] {
            form->dirs->ShowFolderContents();
            UpdateWindow(form->dirs->ContentsWindow()->ListHandle());
            tmb::App().ProcessMessages();
        });
        Row("tree: contents window", n, contents, floor);
        form->dirs->ContentsWindow()->OkClick();

        // The tree size of the same number of files in a tree of folders, against one
        // recursive walk of that tree (medians of three, the first warms the cache).
        const std::wstring tree = root + L"\\tree" + std::to_wstring(n) + L"\\files";
        if (GetFileAttributesW((tree + L".ready").c_str()) != INVALID_FILE_ATTRIBUTES) {
            std::vector<double> walks, sizes;
            double walked = 0, sized = 0;
            for (int r = 0; r < 3; ++r) {
                walked = 0;
                walks.push_back(Seconds([&] { WalkTree(tree, walked); }));
                sizes.push_back(Seconds([&] { sized = kv::TKvDirTree21::GetFolderSize(tree); }));
            }
            const double treeFloor = Median(walks);
            Row("floor: recursive walk", n, treeFloor, treeFloor);
            Row("tree: GetFolderSize", n, Median(sizes), treeFloor);
            if (walked != sized)
                std::printf("  sizes differ: walk %.0f, GetFolderSize %.0f\n", walked, sized);
        }

        tmb::Destroy(form);
    }
    tmb::SetModalHost(nullptr);
    CoUninitialize();
    return 0;
}
