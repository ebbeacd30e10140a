// Times the main window's and the explorer window's operations on folders of 1,000, 10,000
// and 100,000 files (1,000,000 when asked) through the real windows, against the floor: one
// plain FindFirstFile/FindNextFile pass over the same folder. Every operation runs several
// times, each run right after a floor pass of its own, so a ratio compares two samples taken
// under the same load; the table shows the medians and the spread (min..max) of the times and
// of the ratios. Then it splits the two big operations (a folder picked in the main window,
// a folder listed in the explorer window) into their phases, and reports the memory held per
// file and the largest folder that fits in the address space.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "app/Listings.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogReader.h"
#include "catalog/Collection.h"
#include "app/tombarel.h"
#include "explorador/explorador.h"
#include "explorer/KvDirTree21.h"
#include "explorer/KvFilelistView28.h"
#include "explorer/KvFolderContents.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Form.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"

namespace {

using Clock = std::chrono::steady_clock;

int gRepeats = 5;
// Only the main window's memory of each operation: a quick look at a million files.
bool gMemoryOnly = false;
// Only the phase splits, without the table: for a profiler run on the listings alone.
bool gSplitOnly = false;
// The process's peak working set after the operations' table of the last folder, before the
// split (which holds the pieces it times beside the list's own copy).
double gPeakOfTable = 0;

double Seconds(const std::function<void()>& body) {
    const auto start = Clock::now();
    body();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Median and extremes of a set of samples.
struct Spread {
    double median = 0, low = 0, high = 0;
};

Spread SpreadOf(std::vector<double> v) {
    Spread s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    s.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    s.low = v.front();
    s.high = v.back();
    return s;
}

PROCESS_MEMORY_COUNTERS_EX Memory() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                         sizeof(pmc));
    return pmc;
}

double Megabytes(double bytes) { return bytes / (1024.0 * 1024.0); }
double PeakMegabytes() { return Megabytes(static_cast<double>(Memory().PeakWorkingSetSize)); }

// The bytes of every block in use in every heap of the process: what the program holds,
// whether or not the heap has given freed pages back.
double HeapBytesInUse() {
    std::vector<HANDLE> heaps(64);
    DWORD n = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (n > heaps.size()) {
        heaps.resize(n);
        n = GetProcessHeaps(n, heaps.data());
    }
    double total = 0;
    for (DWORD i = 0; i < n && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData + entry.cbOverhead;
        HeapUnlock(heaps[i]);
    }
    return total;
}

// The highest working set of the process while an operation runs: sampled every millisecond
// by a thread of its own (the process's peak is only ever the peak of its whole life).
class PeakSampler {
public:
    PeakSampler() : peak_(Memory().WorkingSetSize), thread_([this] {
        while (!stop_) {
            peak_ = std::max<std::size_t>(peak_, Memory().WorkingSetSize);
            Sleep(1);
        }
    }) {}
    // Stops sampling; the peak seen, with a last sample taken now.
    double Stop() {
        stop_ = true;
        thread_.join();
        return static_cast<double>(std::max<std::size_t>(peak_, Memory().WorkingSetSize));
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> peak_;
    std::thread thread_;
};

// The free address space of the process, in all and in its largest piece, and what is
// reserved without being committed (by the system or by heaps for their growth).
void FreeAddressSpace(double& total, double& largest, double& reserved) {
    total = largest = reserved = 0;
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    auto* at = static_cast<const char*>(si.lpMinimumApplicationAddress);
    const auto* end = static_cast<const char*>(si.lpMaximumApplicationAddress);
    MEMORY_BASIC_INFORMATION mbi{};
    while (at < end && VirtualQuery(at, &mbi, sizeof(mbi)) == sizeof(mbi)) {
        if (mbi.State == MEM_FREE) {
            total += static_cast<double>(mbi.RegionSize);
            largest = std::max(largest, static_cast<double>(mbi.RegionSize));
        } else if (mbi.State == MEM_RESERVE) {
            reserved += static_cast<double>(mbi.RegionSize);
        }
        at = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize;
        if (mbi.RegionSize == 0)
            break;
    }
}

// The address space the process can still take: reserved in pieces of 16 MB until the
// system refuses, then given back. (Under Wine, VirtualQuery shows much of the upper half
// as reserved by the system although it can be had.)
double ReservableBytes() {
    std::vector<void*> pieces;
    constexpr SIZE_T kPiece = 16u << 20;
    while (void* p = VirtualAlloc(nullptr, kPiece, MEM_RESERVE, PAGE_NOACCESS))
        pieces.push_back(p);
    for (void* p : pieces)
        VirtualFree(p, 0, MEM_RELEASE);
    return static_cast<double>(pieces.size()) * kPiece;
}

// The folder of `count` files that scripts/bench.sh made beforehand, and an empty one to
// switch to between two listings.
std::wstring BenchFolder(const std::wstring& root, int count) {
    return root + L"\\" + std::to_wstring(count) + L"\\files";
}
std::wstring EmptyFolder(const std::wstring& root) { return root + L"\\empty\\files"; }

void EnumerateOnce(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    while (FindNextFileW(h, &fd)) {
    }
    FindClose(h);
}

// The processor time this thread has used. On a shared machine the wall time of an
// operation is mostly time spent waiting for a processor; the thread's own time is not, so
// its ratios hold still where the wall-time ratios spread. (It leaves out what the window
// system and the display server do for the thread, and it counts in steps of 10 ms under
// Wine: read it for the operations of a tenth of a second and more.)
double CpuSeconds() {
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user))
        return 0;
    auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (value(kernel) + value(user)) * 1e-7;
}

// An operation's samples, each beside a floor sample taken just before it: wall times and
// processor times.
struct Paired {
    std::vector<double> floor, op, cpuFloor, cpuOp;
};

// `gRepeats` rounds of: `reset` (not timed), one floor pass, `op` timed. With `inner` > 1
// the op runs that many times in a row and a sample is their mean (for operations of a few
// milliseconds, which one clock reading cannot take apart from the noise).
Paired Interleaved(const std::function<double()>& floor, const std::function<void()>& reset,
                   const std::function<void()>& op, int inner = 1) {
    Paired p;
    for (int r = 0; r < gRepeats; ++r) {
        if (reset)
            reset();
        const double cpu0 = CpuSeconds();
        p.floor.push_back(floor());
        const double cpu1 = CpuSeconds();
        p.op.push_back(Seconds([&] {
                           for (int i = 0; i < inner; ++i)
                               op();
                       }) /
                       inner);
        p.cpuFloor.push_back(cpu1 - cpu0);
        p.cpuOp.push_back((CpuSeconds() - cpu1) / inner);
    }
    return p;
}

// Asks for one name by itself (the folder's own, in its parent): under Wine that lets go of
// what the last listing of a folder read, which outlives the listing's handle.
void LetGoOfListing(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE one = FindFirstFileW(folder.c_str(), &fd);
    if (one != INVALID_HANDLE_VALUE)
        FindClose(one);
}

std::function<double()> FloorOf(const std::wstring& folder) {
    return [folder] { return Seconds([&] { EnumerateOnce(folder); }); };
}

std::vector<double> Ratios(const std::vector<double>& op, const std::vector<double>& floor) {
    std::vector<double> r;
    for (std::size_t i = 0; i < op.size() && i < floor.size(); ++i)
        r.push_back(floor[i] > 0 ? op[i] / floor[i] : 0);
    return r;
}

void Header() {
    std::printf("%-30s %7s %9s %19s %7s %13s %9s %7s %13s %9s\n", "operation", "files", "time",
                "(min..max ms)", "ratio", "(min..max)", "cpu", "ratio", "(min..max)", "peak mem");
}

void Row(const char* operation, int files, const Paired& p) {
    const Spread t = SpreadOf(p.op);
    const Spread r = SpreadOf(Ratios(p.op, p.floor));
    const Spread c = SpreadOf(p.cpuOp);
    const Spread cr = SpreadOf(Ratios(p.cpuOp, p.cpuFloor));
    std::printf("%-30s %7d %6.1f ms (%7.1f..%7.1f) %6.3fx (%5.3f..%5.3f) %6.0f ms ", operation,
                files, t.median * 1e3, t.low * 1e3, t.high * 1e3, r.median, r.low, r.high,
                std::max(0.0, c.median) * 1e3);
    // Counted in steps of 10 ms, a floor of less than a tenth of a second makes no ratio.
    if (SpreadOf(p.cpuFloor).median >= 0.1)
        std::printf("%6.3fx (%5.3f..%5.3f)", cr.median, cr.low, cr.high);
    else
        std::printf("%7s %13s", "-", "");
    std::printf(" %6.1f MB\n", PeakMegabytes());
    std::fflush(stdout);
}

// The floor's own row: its spread says how noisy the machine was during the run.
void FloorRow(const char* operation, int files, const std::vector<double>& floors,
              const std::vector<double>& cpu) {
    const Spread t = SpreadOf(floors);
    const Spread c = SpreadOf(cpu);
    std::printf("%-30s %7d %6.1f ms (%7.1f..%7.1f) %7s %13s %6.0f ms %7s (%5.0f..%5.0f) %6.1f MB\n",
                operation, files, t.median * 1e3, t.low * 1e3, t.high * 1e3, "1x", "",
                c.median * 1e3, "1x", c.low * 1e3, c.high * 1e3, PeakMegabytes());
    std::fflush(stdout);
}

// A phase of a split: its median time, its share of the whole operation's median, and its
// ratio to the floor.
void PhaseRow(const char* phase, double seconds, double whole, double floor, const char* how) {
    std::printf("  %-44s %8.1f ms %6.1f %% %7.3fx  %s\n", phase, seconds * 1e3,
                whole > 0 ? 100.0 * seconds / whole : 0.0, floor > 0 ? seconds / floor : 0.0, how);
    std::fflush(stdout);
}

double MedianOf(const std::vector<double>& v) { return SpreadOf(v).median; }

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

void ClickButton(HWND button) {
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
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

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

// The names and sizes of a folder as the lists read them (one FindFirstFileEx pass).
struct Listing {
    std::vector<std::wstring> names;
    std::vector<std::uint64_t> sizes;
    std::vector<FILETIME> modified;
};

Listing ReadNames(const std::wstring& folder) {
    Listing l;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW((folder + L"\\*.*").c_str(), FindExInfoBasic, &fd,
                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return l;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            l.names.emplace_back(fd.cFileName);
            l.sizes.push_back((static_cast<std::uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
            l.modified.push_back(fd.ftLastWriteTime);
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return l;
}

// The main window's "folder picked" taken apart: the tree finding the folder, the file list
// reading it (enumeration, sort keys, entries, sort, the list box told), the totals, the
// painting. The list's steps are timed as the list runs them, on the same names, through the
// same platform calls; the rest is the product's own public pieces timed one by one.
void SplitMainPick(app::Tfmtextdir* form, const std::wstring& root, const std::wstring& folder,
                   int n, double pick) {
    const std::wstring empty = EmptyFolder(root);
    std::vector<double> floors, locate, read, enumerate, keys, entries, sorting, control, totals,
        listPaint, formPaint, heldBytes;
    std::printf("\n  main window, folder picked, %d files: phases (medians of %d, each beside a "
                "floor pass)\n",
                n, gRepeats);
    for (int r = 0; r < gRepeats; ++r) {
        floors.push_back(Seconds([&] { EnumerateOnce(folder); }));
        // The tree alone: its folder-change event is held back, so the list is not read.
        auto dirChange = std::move(form->dirs->OnDirChange);
        form->dirs->OnDirChange = nullptr;
        form->dirs->LocatePath(empty);
        locate.push_back(Seconds([&] { form->dirs->LocatePath(folder); }));
        form->dirs->OnDirChange = std::move(dirChange);

        // The list reading the folder (its change event, the totals, held back).
        auto change = std::move(form->files->OnChange);
        form->files->OnChange = nullptr;
        form->files->SetDirectory(empty);
        const double heapBefore = r == 0 ? HeapBytesInUse() : 0;
        read.push_back(Seconds([&] { form->files->SetDirectory(folder); }));
        if (r == 0)
            heldBytes.push_back(HeapBytesInUse() - heapBefore);
        form->files->OnChange = std::move(change);
        totals.push_back(Seconds([&] { form->filesChange(form->files); }));
        listPaint.push_back(Seconds([&] { Repaint(form->files->Handle()); }));
        formPaint.push_back(Seconds([&] {
            RedrawWindow(form->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }));

        // The list's own steps, one by one.
        Listing l;
        enumerate.push_back(Seconds([&] { l = ReadNames(folder); }));
        keys.push_back(Seconds([&] {
            unsigned char key[1024];
            for (const std::wstring& name : l.names)
                tmb::SortKeyInto(name.c_str(), static_cast<int>(name.size()), true, key, sizeof(key));
        }));
        std::vector<std::string> k;
        k.reserve(l.names.size());
        for (const std::wstring& name : l.names)
            k.push_back(tmb::SortKey(name, true));
        auto packed = std::make_shared<tmb::NameTable>();
        entries.push_back(Seconds([&] {
            for (const std::wstring& name : l.names)
                packed->Add(name);
        }));
        std::vector<std::uint32_t> order(l.names.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<std::uint32_t>(i);
        sorting.push_back(Seconds([&] {
            std::stable_sort(order.begin(), order.end(),
                             [&k](std::uint32_t a, std::uint32_t b) { return k[a] < k[b]; });
            packed->Reorder(order);
        }));
        control.push_back(Seconds([&] { form->files->SetItems(std::move(packed)); }));
        // Back to the folder's own reading, for the next round.
        form->files->SetDirectory(empty);
        form->files->SetDirectory(folder);
    }
    const double floor = MedianOf(floors);
    const double whole = pick;
    PhaseRow("floor: one plain enumeration", floor, whole, floor, "FindFirstFile/FindNextFile");
    PhaseRow("whole: folder picked", whole, whole, floor, "the row above");
    PhaseRow("tree: find and select the folder", MedianOf(locate), whole, floor,
             "TKvDirTree21::LocatePath, list not told");
    PhaseRow("list: read the folder (all of it)", MedianOf(read), whole, floor,
             "FileListBox::SetDirectory, totals held back");
    PhaseRow("  enumeration (FindFirstFileEx, names copied)", MedianOf(enumerate), whole, floor,
             "as the list reads");
    PhaseRow("  sort keys (LCMapString SORTKEY per name)", MedianOf(keys), whole, floor,
             "tmb::SortKeyInto, one call each");
    PhaseRow("  names packed (one table, 4 bytes each)", MedianOf(entries), whole, floor,
             "tmb::NameTable::Add");
    PhaseRow("  sorting (stable_sort of the index)", MedianOf(sorting), whole, floor,
             "keys compared, names reordered");
    PhaseRow("  list box told (LB_RESETCONTENT, LB_SETCOUNT)", MedianOf(control), whole, floor,
             "ListBox::SetItems");
    PhaseRow("  the steps above together", MedianOf(enumerate) + MedianOf(keys) +
                 MedianOf(entries) + MedianOf(sorting) + MedianOf(control), whole, floor,
             "against the read as a whole");
    PhaseRow("totals (sizes summed, labels set)", MedianOf(totals), whole, floor,
             "Tfmtextdir::filesChange");
    PhaseRow("painting: the list box (visible rows)", MedianOf(listPaint), whole, floor,
             "invalidate + UpdateWindow");
    PhaseRow("painting: the whole window", MedianOf(formPaint), whole, floor,
             "RedrawWindow, all children");
    const double rest = whole - MedianOf(locate) - MedianOf(read) - MedianOf(totals) -
                        MedianOf(listPaint);
    PhaseRow("rest (pick - tree - read - totals - list paint)", rest, whole, floor,
             "messages, labels and tree repainted, noise");
    if (!heldBytes.empty())
        std::printf("  memory: the list holds %.0f bytes per file (heap blocks in use after the "
                    "read, less before)\n",
                    heldBytes[0] / std::max(1, n));
    std::fflush(stdout);
}

// The main window's memory, operation by operation: the working set before each and its
// peak during it (sampled), and the size of each big piece the window holds or makes.
void MainMemory(app::Tfmtextdir* form, const std::wstring& root, const std::wstring& folder,
                int n, QuietHost& quiet) {
    std::printf("\n  main window, %d files: memory of each operation, once each (working set "
                "sampled every millisecond)\n", n);
    std::printf("  %-44s %9s %9s %11s %9s\n", "operation", "before", "peak", "peak-before",
                "after");
    auto measure = [](const char* operation, const std::function<void()>& op) {
        tmb::App().ProcessMessages();
        const double before = static_cast<double>(Memory().WorkingSetSize);
        PeakSampler sampler;
        op();
        const double peak = sampler.Stop();
        const double after = static_cast<double>(Memory().WorkingSetSize);
        std::printf("  %-44s %6.1f MB %6.1f MB %8.1f MB %6.1f MB\n", operation, Megabytes(before),
                    Megabytes(peak), Megabytes(peak - before), Megabytes(after));
        std::fflush(stdout);
    };
    form->dirs->OpenFolder(EmptyFolder(root));
    tmb::App().ProcessMessages();
    // What the platform itself keeps of a plain listing of the folder after its handle is
    // closed, until any folder is asked for its files again (Wine does; the list lets it go).
    {
        const double start = static_cast<double>(Memory().WorkingSetSize);
        EnumerateOnce(folder);
        const double kept = static_cast<double>(Memory().WorkingSetSize) - start;
        LetGoOfListing(folder);
        const double after = static_cast<double>(Memory().WorkingSetSize) - start;
        std::printf("  a plain enumeration leaves %.1f MB (%.0f bytes per file) in the working set "
                    "after its handle is closed, %.1f MB once one name is asked\n",
                    Megabytes(kept), kept / std::max(1, n), Megabytes(after));
    }
    measure("pick folder (from an empty one)", [&] {
        form->dirs->OpenFolder(folder);
        tmb::App().ProcessMessages();
    });
    measure("Gerar html (page in pane)", [&] { ClickButton(form->btgerahtm->Handle()); });
    const std::wstring lista = folder + L"\\Lista.htm";
    DeleteFileW(lista.c_str());
    measure("Salvar (written, list read again)", [&] {
        form->tfXPButton3Click(form->btsalvar);
        tmb::App().ProcessMessages();
    });
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    quiet.savePath = std::wstring(temp) + L"tombarel-bench.txt";
    measure("Salvar em texto (written, list read again)",
            [&] { ClickButton(form->tfXPButton2->Handle()); });

    // The pieces, in bytes per file.
    const double files = std::max(1, n);
    const double list = static_cast<double>(form->files->Names()->Bytes()) +
                        8.0 * form->files->Count();
    const double pageChars = static_cast<double>(form->result->TextLength());
    const double pane = static_cast<double>(form->result->Bytes());
    auto fileSize = [](const std::wstring& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)
                   ? static_cast<double>(data.nFileSizeLow) + 4294967296.0 * data.nFileSizeHigh
                   : 0.0;
    };
    const double pageBytes = fileSize(lista);
    const double textBytes = fileSize(quiet.savePath);
    std::printf("  the pieces, bytes per file: the list's names and sizes %.0f; the page as "
                "UTF-16 %.0f, in the pane with its line index %.0f (%.2f bytes a character), as "
                "written %.0f; the text listing as written %.0f (as UTF-16 %.0f, never held "
                "whole)\n",
                list / files, 2 * pageChars / files, pane / files, pane / std::max(1.0, pageChars),
                pageBytes / files, textBytes / files, 2 * textBytes / files);
    std::fflush(stdout);
    DeleteFileW(lista.c_str());
    DeleteFileW(quiet.savePath.c_str());
    quiet.savePath.clear();
}

// The main window on one folder: every operation of the window, then the split.
void BenchMain(const std::wstring& root, int n, QuietHost& quiet) {
    const std::wstring folder = BenchFolder(root, n);
    const std::wstring empty = EmptyFolder(root);
    // After each floor pass the platform is made to let go of its listing of the folder, as
    // the list does after its own reading: the peak memory of an operation is then its own,
    // not that of the enumeration the bench made before it.
    const auto floor = [folder, timed = FloorOf(folder)] {
        const double seconds = timed();
        LetGoOfListing(folder);
        return seconds;
    };
    tmb::Registry().DeleteKey(app::kRegistryKey);
    auto* form = tmb::CreateForm<app::Tfmtextdir>(nullptr);
    form->Show();
    tmb::App().ProcessMessages();
    if (gMemoryOnly) {
        form->dirs->OpenFolder(folder);
        tmb::App().ProcessMessages();
        MainMemory(form, root, folder, n, quiet);
        tmb::Destroy(form);
        return;
    }
    if (gSplitOnly) {
        const double pick = Seconds([&] {
            form->dirs->OpenFolder(folder);
            tmb::App().ProcessMessages();
        });
        SplitMainPick(form, root, folder, n, pick);
        tmb::Destroy(form);
        return;
    }

    const Paired pick = Interleaved(
        floor,
        [&] {
            form->dirs->OpenFolder(empty);
            tmb::App().ProcessMessages();
        },
        [&] {
            form->dirs->OpenFolder(folder);
            tmb::App().ProcessMessages();
        });
    FloorRow("floor: one enumeration", n, pick.floor, pick.cpuFloor);
    Row("pick folder (list, totals)", n, pick);

    int round = 0;
    const Paired click = Interleaved(floor, [&] { ++round; }, [&] {
        ClickRow(form, form->files->Count() * (round % 7 + 1) / 8);
    });
    Row("click, folder unchanged", n, click);

    // Another program grew a file since the sizes were taken: the click takes them again.
    const std::wstring changed = form->files->PathOf(0);
    const std::uint64_t original = form->files->ItemSize(0);
    auto resize = [](const std::wstring& path, std::uint64_t size) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return;
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(size);
        SetFilePointerEx(h, to, nullptr, FILE_BEGIN);
        SetEndOfFile(h);
        CloseHandle(h);
    };
    const Paired changedClick = Interleaved(
        floor,
        [&] {
            ++round;
            resize(changed, original + static_cast<std::uint64_t>(round));
            Sleep(100);  // the change notice arrives on the system's own time
        },
        [&] { ClickRow(form, form->files->Count() * (round % 7 + 1) / 8); });
    resize(changed, original);
    Row("click, folder changed", n, changedClick);

    const Paired html = Interleaved(floor, nullptr, [&] { ClickButton(form->btgerahtm->Handle()); });
    Row("Gerar html (page in pane)", n, html);

    // "Salvar" as the user runs it: written, list read again, question answered No; and its
    // first part alone: the page from the pane to the file.
    const std::wstring lista = folder + L"\\Lista.htm";
    auto removeLista = [&] { DeleteFileW(lista.c_str()); };
    const Paired written = Interleaved(floor, removeLista, [&] {
        app::WriteListingReplacing(lista, [&](const app::TextSink& sink) { form->result->ReadText(sink); });
    });
    Row("Salvar (file written)", n, written);
    const Paired save = Interleaved(floor, removeLista, [&] {
        form->tfXPButton3Click(form->btsalvar);
        tmb::App().ProcessMessages();
    });
    Row("Salvar (with re-read)", n, save);
    removeLista();

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    quiet.savePath = std::wstring(temp) + L"tombarel-bench.txt";
    const Paired textWritten = Interleaved(floor, nullptr, [&] {
        const app::ListingInput input = form->ListingOfFiles();
        app::WriteListingReplacing(quiet.savePath, [&input](const app::TextSink& sink) {
            app::EmitTextListing(input, sink);
        });
    });
    Row("Salvar em texto (written)", n, textWritten);
    const Paired text = Interleaved(floor, nullptr, [&] { ClickButton(form->tfXPButton2->Handle()); });
    Row("Salvar em texto (+re-read)", n, text);
    DeleteFileW(quiet.savePath.c_str());
    quiet.savePath.clear();

    // The tree's folder-contents window on the same folder, till its first rows are drawn.
    form->dirs->LocatePath(folder);
    const Paired contents = Interleaved(
        floor,
        [&] {
            if (form->dirs->ContentsWindow())
                form->dirs->ContentsWindow()->OkClick();
            tmb::App().ProcessMessages();
        },
        [&] {
            form->dirs->ShowFolderContents();
            UpdateWindow(form->dirs->ContentsWindow()->ListHandle());
            tmb::App().ProcessMessages();
        });
    form->dirs->ContentsWindow()->OkClick();
    Row("tree: contents window", n, contents);

    // The tree size of the same number of files in a tree of folders, against one recursive
    // walk of that tree.
    const std::wstring tree = root + L"\\tree" + std::to_wstring(n) + L"\\files";
    if (GetFileAttributesW((tree + L".ready").c_str()) != INVALID_FILE_ATTRIBUTES) {
        double walked = 0, sized = 0;
        const Paired size = Interleaved(
            [&] {
                walked = 0;
                return Seconds([&] { WalkTree(tree, walked); });
            },
            nullptr, [&] { sized = kv::TKvDirTree21::GetFolderSize(tree); });
        FloorRow("floor: recursive walk", n, size.floor, size.cpuFloor);
        Row("tree: GetFolderSize", n, size);
        if (walked != sized)
            std::printf("  sizes differ: walk %.0f, GetFolderSize %.0f\n", walked, sized);
    }

    gPeakOfTable = static_cast<double>(Memory().PeakWorkingSetSize);
    MainMemory(form, root, folder, n, quiet);
    SplitMainPick(form, root, folder, n, SpreadOf(pick.op).median);
    std::printf("\n");
    tmb::Destroy(form);
}

// The explorer window's file list with its inner work timed: the sort, the row texts made
// when drawn, the icons, the rows the control asks for, its painting and its item-count
// message. A subclass of the product's list hooks the virtual entries; nothing else changes.
// Comparisons are only counted: two clock readings per comparison would cost more than many
// comparisons do.
class TimedList final : public kv::TKvFilelistView28 {
public:
    explicit TimedList(tmb::Component* owner) : kv::TKvFilelistView28(owner) {}

    struct Counters {
        double keys = 0, texts = 0, icons = 0, dispInfo = 0, paint = 0, setCount = 0, otherLvm = 0;
        long long compares = 0, sorts = 0, textRows = 0, iconCalls = 0, dispInfos = 0, paints = 0;
        int lowestRow = -1, highestRow = -1;
    };
    Counters c;

protected:
    int Compare(int a, int b) override {
        ++c.compares;
        return kv::TKvFilelistView28::Compare(a, b);
    }
    void StartSort() override {
        const auto start = Clock::now();
        kv::TKvFilelistView28::StartSort();
        c.keys += std::chrono::duration<double>(Clock::now() - start).count();
        ++c.sorts;
    }
    void MakeItemTexts(int index, std::vector<std::wstring>& texts) override {
        const auto start = Clock::now();
        kv::TKvFilelistView28::MakeItemTexts(index, texts);
        c.texts += std::chrono::duration<double>(Clock::now() - start).count();
        ++c.textRows;
    }
    int ItemImage(int index) override {
        const auto start = Clock::now();
        const int image = kv::TKvFilelistView28::ItemImage(index);
        c.icons += std::chrono::duration<double>(Clock::now() - start).count();
        ++c.iconCalls;
        return image;
    }
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (msg != WM_NOTIFY || hdr->code != LVN_GETDISPINFOW)
            return kv::TKvFilelistView28::Reflected(msg, wParam, lParam, result);
        const int row = reinterpret_cast<const NMLVDISPINFOW*>(lParam)->item.iItem;
        c.lowestRow = c.lowestRow < 0 ? row : std::min(c.lowestRow, row);
        c.highestRow = std::max(c.highestRow, row);
        const auto start = Clock::now();
        const bool handled = kv::TKvFilelistView28::Reflected(msg, wParam, lParam, result);
        c.dispInfo += std::chrono::duration<double>(Clock::now() - start).count();
        ++c.dispInfos;
        return handled;
    }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        const bool paint = msg == WM_PAINT || msg == WM_ERASEBKGND;
        const bool lvm = msg >= LVM_FIRST && msg < LVM_FIRST + 0x100;
        if (!paint && !lvm)
            return kv::TKvFilelistView28::WndProc(msg, wParam, lParam);
        const auto start = Clock::now();
        const LRESULT result = kv::TKvFilelistView28::WndProc(msg, wParam, lParam);
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        if (paint) {
            c.paint += took;
            c.paints += msg == WM_PAINT;
        } else if (msg == LVM_SETITEMCOUNT) {
            c.setCount += took;
        } else {
            c.otherLvm += took;
        }
        return result;
    }
};

// A window the size of the explorer window's list holding the timed list, laid out as there.
class SplitForm final : public tmb::Form {
public:
    explicit SplitForm(tmb::Component* owner) : tmb::Form(owner) {
        SetBounds(40, 40, 0, 0);
        list = new TimedList(this);
        list->SetBounds(0, 0, 570, 490);
        list->SetAlign(tmb::Align::alClient);
        list->SetRowSelect(true);
        list->SetParent(this);
    }
    TimedList* list;
};

void SplitExplorerListing(const std::wstring& root, const std::wstring& folder, int n,
                          kv::TKvFilelistView28* real) {
    auto* form = tmb::CreateForm<SplitForm>(nullptr);
    form->SetClientSize(570, 490);
    form->Show();
    tmb::App().ProcessMessages();
    TimedList* list = form->list;
    const std::wstring empty = EmptyFolder(root);
    std::vector<double> floors, whole, realWhole, enumerate, keys, texts, icons, dispInfo, paint,
        setCount, otherLvm, records, types, platformKeys, resort, resortKeys, heldBytes;
    TimedList::Counters last, lastResort;
    std::printf("\n  explorer window, folder listed + sorted + first rows painted, %d files: "
                "phases (medians of %d)\n",
                n, gRepeats);
    auto listIn = [&](kv::TKvFilelistView28* l) {
        l->SetDirectory(empty);
        tmb::App().ProcessMessages();
        return Seconds([&] {
            l->SetDirectory(folder);
            UpdateWindow(l->Handle());
        });
    };
    for (int r = 0; r < gRepeats; ++r) {
        floors.push_back(Seconds([&] { EnumerateOnce(folder); }));
        // The window's own list and the timed one, one after the other under the same load
        // (never both holding the folder, so the peak memory stays one list's).
        realWhole.push_back(listIn(real));
        real->SetDirectory(empty);
        list->SetDirectory(empty);
        tmb::App().ProcessMessages();
        const double heapBefore = r == 0 ? HeapBytesInUse() : 0;
        list->c = {};
        whole.push_back(listIn(list));
        last = list->c;
        if (r == 0)
            heldBytes.push_back(HeapBytesInUse() - heapBefore);
        keys.push_back(last.keys);
        texts.push_back(last.texts);
        icons.push_back(last.icons);
        dispInfo.push_back(last.dispInfo - last.icons - last.texts);
        paint.push_back(last.paint - last.dispInfo);
        setCount.push_back(last.setCount);
        otherLvm.push_back(last.otherLvm);

        // The steps of the listing, timed alone on the same names.
        Listing l;
        enumerate.push_back(Seconds([&] { l = ReadNames(folder); }));
        std::vector<std::string> k;
        k.reserve(l.names.size());
        platformKeys.push_back(Seconds([&] {
            for (const std::wstring& name : l.names)
                k.push_back(tmb::SortKey(name, true));
        }));
        // Each name's type found by its extension as spelled, as the list finds it.
        std::unordered_map<std::wstring, int> typeOfExt;
        std::vector<int> typeOf(l.names.size());
        types.push_back(Seconds([&] {
            for (std::size_t i = 0; i < l.names.size(); ++i) {
                const wchar_t* dot = std::wcsrchr(l.names[i].c_str(), L'.');
                typeOf[i] = typeOfExt.emplace(dot ? dot : L"", static_cast<int>(typeOfExt.size())).first->second;
            }
        }));
        // The list's record of each entry: the item (caption, icon to come) and its keys.
        std::vector<tmb::ListItem> items;
        std::vector<kv::TKvFilelistSort::EntryKeys> entries;
        records.push_back(Seconds([&] {
            for (std::size_t i = 0; i < l.names.size(); ++i) {
                kv::TKvFilelistSort::EntryKeys entry;
                entry.attributes = FILE_ATTRIBUTE_ARCHIVE;
                entry.type = typeOf[i];
                entry.size = static_cast<std::int64_t>(l.sizes[i]);
                entry.written = (static_cast<std::uint64_t>(l.modified[i].dwHighDateTime) << 32) |
                                l.modified[i].dwLowDateTime;
                entries.push_back(std::move(entry));
                tmb::ListItem item;
                item.caption = std::move(l.names[i]);  // the copy is the enumeration's
                item.imageIndex = tmb::ListItem::kImageWhenDrawn;
                items.push_back(std::move(item));
            }
        }));
        list->c = {};
        resort.push_back(Seconds([&] { list->Sort(); }));
        lastResort = list->c;
        resortKeys.push_back(lastResort.keys);
    }
    const double floor = MedianOf(floors);
    const double all = MedianOf(whole);
    // The sort at listing time is the one a re-sort by Name repeats (a key per item made,
    // the names in capitals in one block, then the items ordered by their keys and moved):
    // it is timed as that re-sort.
    const double sorting = MedianOf(resort);
    const double known = MedianOf(enumerate) + sorting + MedianOf(texts) +
                         MedianOf(icons) + MedianOf(dispInfo) + MedianOf(paint) +
                         MedianOf(setCount) + MedianOf(otherLvm);
    PhaseRow("floor: one plain enumeration", floor, all, floor, "FindFirstFile/FindNextFile");
    PhaseRow("whole: listed, sorted, painted (this window)", all, all, floor,
             "TKvFilelistView28::SetDirectory + UpdateWindow");
    PhaseRow("the explorer window's own list, same rounds", MedianOf(realWhole), all, floor,
             "linked to the tree and the combo");
    PhaseRow("enumeration (FindFirstFileEx, names copied)", MedianOf(enumerate), all, floor,
             "as the list reads");
    PhaseRow("entries recorded (by difference)", all - known, all, floor,
             "caption, keys, type by extension, the rest");
    PhaseRow("  of which records alone (item + keys)", MedianOf(records), all, floor,
             "ListItem with its caption, EntryKeys, per file");
    PhaseRow("  of which type names by extension", MedianOf(types), all, floor,
             "one map look-up per file, timed alone");
    PhaseRow("sorting (a re-sort by Name)", sorting, all, floor,
             (std::to_string(lastResort.sorts) + " sort, " +
              std::to_string(lastResort.compares) + " compares; ListView::Sort after the listing")
                 .c_str());
    PhaseRow("  of which keys made", MedianOf(resortKeys), all, floor,
             "LCMapString UPPERCASE per name into one block");
    PhaseRow("  the same in the listing's sort", MedianOf(keys), all, floor,
             (std::to_string(last.compares) + " compares during the listing").c_str());
    PhaseRow("list control: LVM_SETITEMCOUNT", MedianOf(setCount), all, floor, "");
    PhaseRow("list control: other LVM_ messages", MedianOf(otherLvm), all, floor,
             "columns, states, sort marks");
    PhaseRow("icons (ItemImage)", MedianOf(icons), all, floor,
             (std::to_string(last.iconCalls) + " asked").c_str());
    PhaseRow("row texts made (MakeItemTexts)", MedianOf(texts), all, floor,
             (std::to_string(last.textRows) + " rows, when first drawn").c_str());
    PhaseRow("row texts handed over (LVN_GETDISPINFO)", MedianOf(dispInfo), all, floor,
             (std::to_string(last.dispInfos) + " asked, rows " + std::to_string(last.lowestRow) +
              ".." + std::to_string(last.highestRow))
                 .c_str());
    PhaseRow("painting (WM_PAINT, less the texts)", MedianOf(paint), all, floor,
             (std::to_string(last.paints) + " paints").c_str());
    const int visible = ListView_GetCountPerPage(list->Handle());
    std::printf("  the control shows %d rows a page\n", visible);
    PhaseRow("for comparison: platform sort keys", MedianOf(platformKeys), all, floor,
             "tmb::SortKey per name (LCMapString SORTKEY)");
    if (!heldBytes.empty())
        std::printf("  memory: the list holds %.0f bytes per file (heap blocks in use after the "
                    "listing, less before)\n",
                    heldBytes[0] / std::max(1, n));

    // What a page costs: the rows asked for and the painting of one page scrolled.
    ListView_EnsureVisible(list->Handle(), 0, FALSE);
    UpdateWindow(list->Handle());
    list->c = {};
    const double page = Seconds([&] {
        SendMessageW(list->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(list->Handle());
    });
    std::printf("  one page scrolled: %.1f ms, %lld row texts asked (rows %d..%d), %lld rows' "
                "texts made, %lld icons, %lld paints\n",
                page * 1e3, list->c.dispInfos, list->c.lowestRow, list->c.highestRow,
                list->c.textRows, list->c.iconCalls, list->c.paints);
    list->c = {};
    const double full = Seconds([&] { Repaint(list->Handle()); });
    std::printf("  one full repaint:  %.1f ms, %lld row texts asked (rows %d..%d), %lld rows' "
                "texts made, %lld icons\n",
                full * 1e3, list->c.dispInfos, list->c.lowestRow, list->c.highestRow,
                list->c.textRows, list->c.iconCalls);
    std::fflush(stdout);
    tmb::Destroy(form);
}

// The explorer window's file list on the same folders: listing (sorted, first page painted),
// re-sorting by a header click, one page of scrolling, and the window's peak memory. Run in a
// process of its own, so the peak is the explorer window's alone.
void BenchExplorer(const std::wstring& root, int n) {
    tmb::Registry().DeleteKey(app::kRegistryKey);
    auto* form = tmb::CreateForm<explorador::Tfmexplorador>(nullptr);
    form->Show();
    tmb::App().ProcessMessages();
    kv::TKvFilelistView28* files = form->files;
    HWND list = files->Handle();
    const std::wstring folder = BenchFolder(root, n);
    const std::wstring empty = EmptyFolder(root);
    const auto floor = FloorOf(folder);
    if (gSplitOnly) {
        SplitExplorerListing(root, folder, n, files);
        tmb::Destroy(form);
        return;
    }

    const Paired load = Interleaved(
        floor,
        [&] {
            files->SetDirectory(empty);
            tmb::App().ProcessMessages();
        },
        [&] {
            files->SetDirectory(folder);
            UpdateWindow(list);
        });
    FloorRow("floor: one enumeration", n, load.floor, load.cpuFloor);
    Row("list: folder listed+sorted", n, load);

    const struct {
        const char* name;
        int column;
    } columns[] = {{"list: sort by Size", 1}, {"list: sort by Modified", 3},
                   {"list: sort by Type", 2}, {"list: sort by Name", 0}};
    for (const auto& c : columns)
        Row(c.name, n, Interleaved(floor, nullptr, [&] { ClickHeader(list, c.column); }));

    // Pages from the top, ten to a sample: a page is a few milliseconds.
    auto top = [&] {
        SendMessageW(list, WM_VSCROLL, SB_TOP, 0);
        UpdateWindow(list);
    };
    Row("list: one page scrolled", n, Interleaved(floor, top, [&] {
            SendMessageW(list, WM_VSCROLL, SB_PAGEDOWN, 0);
            UpdateWindow(list);
        }, 10));
    Row("list: one full repaint", n, Interleaved(floor, nullptr, [&] { Repaint(list); }, 10));
    gPeakOfTable = static_cast<double>(Memory().PeakWorkingSetSize);
    SplitExplorerListing(root, folder, n, files);
    tmb::Destroy(form);
    std::printf("\n");
}

// The tree of `count` files in count/10 folders that scripts/bench.sh made for the catalogue.
std::wstring CatalogFolder(const std::wstring& root, int count) {
    return root + L"\\catalog" + std::to_wstring(count) + L"\\files";
}

// The catalogue's floor: the fastest plain recursive walk the platform offers (the basic
// information only, large fetches, extended-length paths). Untimed, it also counts what the
// page's size is measured against: the entries and the UTF-8 bytes of their names.
struct WalkCount {
    std::uint64_t entries = 0;
    std::uint64_t nameBytes = 0;
};

void FastWalk(const std::wstring& dir, WalkCount* count) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const wchar_t* name = fd.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
            continue;
        if (count) {
            ++count->entries;
            count->nameBytes += static_cast<std::uint64_t>(
                WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr) - 1);
        }
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            FastWalk(dir + L"\\" + name, count);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

// The catalogue of a whole tree, written beside the tree (so the page is not part of it),
// against the recursive walk; its peak working set, and the page's size against its budget:
// 1.2 times the names' UTF-8 bytes and 20 bytes an entry.
void BenchCatalog(const std::wstring& root, int n) {
    const std::wstring folder = CatalogFolder(root, n);
    const std::wstring page = root + L"\\catalog" + std::to_wstring(n) + L"\\Catalogo.htm";
    WalkCount count;
    FastWalk(L"\\\\?\\" + folder, &count);
    const auto floor = [&] { return Seconds([&] { FastWalk(L"\\\\?\\" + folder, nullptr); }); };
    double peak = 0;
    catalog::Totals totals;
    const Paired written = Interleaved(floor, nullptr, [&] {
        PeakSampler sampler;
        totals = catalog::WriteCatalog({folder, page});
        peak = std::max(peak, sampler.Stop());
    });
    FloorRow("floor: recursive walk", n, written.floor, written.cpuFloor);
    Row("catalog: written", n, written);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(page.c_str(), GetFileExInfoStandard, &data);
    const double size = static_cast<double>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
    const double budget = 1.2 * static_cast<double>(count.nameBytes) + 20.0 * static_cast<double>(count.entries + 1);
    std::printf("catalog: %llu files, %llu folders; peak working set while written %.1f MB (target 200 MB)\n",
                static_cast<unsigned long long>(totals.files), static_cast<unsigned long long>(totals.folders),
                Megabytes(peak));
    std::printf("catalog: page %.1f MB, %.3fx its budget of %.1f MB (1.2 x %.1f MB of names + 20 B x %llu entries)\n",
                Megabytes(size), size / budget, Megabytes(budget), Megabytes(static_cast<double>(count.nameBytes)),
                static_cast<unsigned long long>(count.entries + 1));
    std::printf("catalog: page written to %ls\n", page.c_str());
    const std::wstring csv = root + L"\\catalog" + std::to_wstring(n) + L"\\Catalogo.csv";
    Row("catalog: /csv written", n, Interleaved(floor, nullptr, [&] { catalog::WriteCsv({folder, csv}); }));
    std::printf("\n");
    std::fflush(stdout);
}

// A file the comparison bench takes away or changes, and how to put it back.
struct Saved {
    std::wstring path;
    std::uint64_t size = 0;
    FILETIME written{};
};

// Every file of the tree, in walk order, to `visit`.
void EachFile(const std::wstring& dir, const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const wchar_t* name = fd.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            EachFile(dir + L"\\" + name, visit);
        else
            visit(dir + L"\\" + name, fd);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

void SetFile(const std::wstring& path, std::uint64_t size, const FILETIME* written, DWORD disposition) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    if (written)
        SetFileTime(h, nullptr, nullptr, written);
    CloseHandle(h);
}

// A volume of the catalogue's tree added to a collection that already holds nine volumes of
// the same size (made once, each the same tree under another name), against one recursive
// walk of that volume: what is carried over must cost little beside the walk; and the peak
// working set, which must not grow with the volumes carried over.
void BenchCollection(const std::wstring& root, int n) {
    const std::wstring base = root + L"\\catalog" + std::to_wstring(n);
    const std::wstring folder = CatalogFolder(root, n), nine = base + L"\\Colecao-9.htm",
                       page = base + L"\\Colecao.htm";
    if (GetFileAttributesW(nine.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const double made = Seconds([&] {
            for (int k = 1; k <= 9; ++k)
                catalog::WriteCollection({nine + L".tmp", {folder}, L"volume " + std::to_wstring(k)});
        });
        MoveFileExW((nine + L".tmp").c_str(), nine.c_str(), MOVEFILE_REPLACE_EXISTING);
        std::printf("collection: nine volumes of %d files made in %.1f s\n", n, made);
    }
    const auto floor = [&] { return Seconds([&] { FastWalk(L"\\\\?\\" + folder, nullptr); }); };
    double peak = 0;
    catalog::CollectionTotals totals;
    const Paired added = Interleaved(
        floor, [&] { CopyFileW(nine.c_str(), page.c_str(), FALSE); },
        [&] {
            PeakSampler sampler;
            totals = catalog::WriteCollection({page, {folder}, L"novo"});
            peak = std::max(peak, sampler.Stop());
        });
    FloorRow("floor: recursive walk", n, added.floor, added.cpuFloor);
    Row("collection: volume added", n, added);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(page.c_str(), GetFileExInfoStandard, &data);
    std::printf("collection: %zu volumes, %llu files; page %.1f MB; peak working set while added %.1f MB "
                "(target 200 MB)\n",
                totals.volumes, static_cast<unsigned long long>(totals.totals.files),
                static_cast<double>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) / (1 << 20),
                peak / (1 << 20));
    std::printf("collection: page written to %ls\n\n", page.c_str());
}

// The catalogue compared with an earlier one of the same tree after 1 % of its files were
// added, 1 % removed and 1 % changed (spread over the tree), against a plain catalogue of the
// same tree in the same run; and the earlier catalogue read back, against the walk. The tree
// is put back as it was afterwards.
void BenchCompare(const std::wstring& root, int n) {
    const std::wstring base = root + L"\\catalog" + std::to_wstring(n);
    const std::wstring folder = CatalogFolder(root, n), earlier = base + L"\\Catalogo-anterior.htm";
    catalog::WriteCatalog({folder, earlier});
    std::vector<Saved> removed, changed;
    std::vector<std::wstring> added;
    std::size_t k = 0;
    EachFile(L"\\\\?\\" + folder, [&](const std::wstring& path, const WIN32_FIND_DATAW& fd) {
        const Saved saved{path, (std::uint64_t{fd.nFileSizeHigh} << 32) | fd.nFileSizeLow, fd.ftLastWriteTime};
        if (k % 100 == 0)
            removed.push_back(saved);
        else if (k % 100 == 33)
            changed.push_back(saved);
        else if (k % 100 == 66)
            added.push_back(path + L" novo.dat");
        ++k;
    });
    for (const Saved& f : removed)
        DeleteFileW(f.path.c_str());
    for (const Saved& f : changed)
        SetFile(f.path, f.size + 1, nullptr, OPEN_EXISTING);
    for (const std::wstring& path : added)
        SetFile(path, 100, nullptr, CREATE_NEW);

    double peak = 0;
    catalog::Totals totals;
    const Paired compared = Interleaved(
        [&] { return Seconds([&] { catalog::WriteCatalog({folder, base + L"\\Catalogo.htm"}); }); }, nullptr, [&] {
            PeakSampler sampler;
            totals = catalog::WriteCatalog({folder, base + L"\\Catalogo-comparado.htm", true, earlier});
            peak = std::max(peak, sampler.Stop());
        });
    FloorRow("floor: catalog written", n, compared.floor, compared.cpuFloor);
    Row("catalog: compared", n, compared);
    const Paired read = Interleaved([&] { return Seconds([&] { FastWalk(L"\\\\?\\" + folder, nullptr); }); },
                                    nullptr, [&] { catalog::ReadCatalogPage(earlier); });
    FloorRow("floor: recursive walk", n, read.floor, read.cpuFloor);
    Row("catalog: earlier one read back", n, read);
    std::printf("catalog: compared, %llu added, %llu removed, %llu changed; peak working set %.1f MB (target 300 MB)\n",
                static_cast<unsigned long long>(totals.added), static_cast<unsigned long long>(totals.removed),
                static_cast<unsigned long long>(totals.changed), Megabytes(peak));
    std::printf("catalog: compared page written to %ls\n\n", (base + L"\\Catalogo-comparado.htm").c_str());
    std::fflush(stdout);

    for (const std::wstring& path : added)
        DeleteFileW(path.c_str());
    for (const Saved& f : changed)
        SetFile(f.path, f.size, &f.written, OPEN_EXISTING);
    for (const Saved& f : removed)
        SetFile(f.path, f.size, &f.written, CREATE_NEW);
}

// What the address space allows: the free space now, and the folder that fills it at the
// process's peak bytes per file (the growth of its peak working set over the operations of
// the largest folder measured, from before that folder's first listing).
void AddressSpaceReport(double workingSetBefore, int largest) {
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    double free = 0, piece = 0, reserved = 0;
    FreeAddressSpace(free, piece, reserved);
    const double peak = gPeakOfTable;
    const double perFile = (peak - workingSetBefore) / std::max(1, largest);
    const double reservable = ReservableBytes();
    std::printf("address space: up to %p (%s), %.0f MB free, largest free piece %.0f MB, "
                "%.0f MB reserved but not committed, %.0f MB can be reserved now\n",
                si.lpMaximumApplicationAddress,
                reinterpret_cast<std::uintptr_t>(si.lpMaximumApplicationAddress) > 0x80000000u
                    ? "large-address-aware"
                    : "2 GB only",
                Megabytes(free), Megabytes(piece), Megabytes(reserved), Megabytes(reservable));
    if (gSplitOnly)
        std::printf("(no estimate of the largest folder from the splits alone)\n");
    else if (largest < 100000)
        std::printf("(the largest folder that fits is estimated from runs of 100,000 files or "
                    "more)\n");
    else if (perFile > 0)
        std::printf("peak %.0f bytes per file at %d files: the largest folder that fits is "
                    "about %.1f million files\n",
                    perFile, largest, reservable / perFile / 1e6);
    std::fflush(stdout);
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

    // tombarel_bench ROOT [files|all] [main|explorer|main-split|explorer-split|main-memory|
    //                catalog] [repeats]
    const std::wstring root = argc > 1 ? argv[1] : L"C:\\tombarel-bench";
    std::vector<int> sizes = {1000, 10000, 100000};
    if (argc > 2 && _wtoi(argv[2]) > 0)
        sizes = {_wtoi(argv[2])};
    const std::wstring mode = argc > 3 ? argv[3] : L"main";
    const bool explorer = mode.rfind(L"explorer", 0) == 0;
    const bool collectionMode = mode == L"collection";
    const bool catalogMode = mode == L"catalog" || collectionMode;
    gSplitOnly = mode.size() > 6 && mode.compare(mode.size() - 6, 6, L"-split") == 0;
    gMemoryOnly = mode == L"main-memory";
    if (argc > 4 && _wtoi(argv[4]) > 0)
        gRepeats = _wtoi(argv[4]);

    for (int n : sizes) {
        const std::wstring made = catalogMode ? CatalogFolder(root, n) : BenchFolder(root, n);
        if (GetFileAttributesW((made + L".ready").c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::printf("%ls is missing: run scripts/bench.sh\n", made.c_str());
            return 1;
        }
    }
    if (catalogMode) {
        std::printf("catalogue of a whole tree, %d runs, each beside a walk of its own\n", gRepeats);
        Header();
        for (int n : sizes) {
            if (collectionMode) {
                BenchCollection(root, n);
                continue;
            }
            BenchCatalog(root, n);
            BenchCompare(root, n);
        }
        tmb::SetModalHost(nullptr);
        CoUninitialize();
        return 0;
    }
    std::printf("%s window, %d runs of each operation, each run beside a floor run of its own\n",
                explorer ? "explorer" : "main", gRepeats);
    Header();
    double workingSetBefore = 0;
    for (int n : sizes) {
        workingSetBefore = static_cast<double>(Memory().WorkingSetSize);
        if (explorer)
            BenchExplorer(root, n);
        else
            BenchMain(root, n, quiet);
    }
    AddressSpaceReport(workingSetBefore, sizes.back());
    tmb::SetModalHost(nullptr);
    CoUninitialize();
    return 0;
}
