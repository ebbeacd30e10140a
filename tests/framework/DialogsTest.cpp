// The platform's own message dialog and the default error report, shown for real and
// answered the way a user does: Enter, Escape or the close box.
#include "framework/Dialogs.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/SaveDialog.h"
#include "framework/StdControls.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using tmb::MsgDlgType;

// What a box showed when it was up.
struct SeenBox {
    std::wstring caption;
    std::wstring text;                  // its static texts, joined by "\n"
    std::vector<std::wstring> buttons;  // visible buttons, left to right
    std::vector<int> ids;
    std::vector<std::wstring> defaults;  // buttons drawn as the default one
    int defId = 0;                       // DM_GETDEFID
    std::wstring focused;                // the button with the focus
    HICON icon = nullptr;
};

// While it lives, every dialog box this thread shows is looked at once it runs its modal
// loop, then answered with a key sent to the focused control or with the close box.
class RealBoxes {
public:
    enum class Answer { Enter, Escape, CloseBox };

    explicit RealBoxes(Answer answer) : answer_(answer) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, &RealBoxes::Cbt, nullptr, GetCurrentThreadId());
    }
    ~RealBoxes() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    RealBoxes(const RealBoxes&) = delete;
    RealBoxes& operator=(const RealBoxes&) = delete;

    const std::vector<SeenBox>& Seen() const { return seen_; }
    // A box nobody could close was ended by force with this result.
    static constexpr int kForced = 999;

private:
    static constexpr UINT_PTR kLookTimer = 1;
    static constexpr UINT_PTR kRescueTimer = 2;

    static LRESULT CALLBACK Cbt(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current_) {
            HWND box = reinterpret_cast<HWND>(wParam);
            wchar_t cls[16] = {};
            GetClassNameW(box, cls, 16);
            auto& known = current_->boxes_;
            if (lstrcmpW(cls, L"#32770") == 0 &&
                std::find(known.begin(), known.end(), box) == known.end()) {
                known.push_back(box);
                // Timers run inside the box's own modal loop, after its focus is settled.
                SetTimer(box, kLookTimer, 20, &RealBoxes::Tick);
                SetTimer(box, kRescueTimer, 5000, &RealBoxes::Tick);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static void CALLBACK Tick(HWND box, UINT, UINT_PTR id, DWORD) {
        KillTimer(box, id);
        if (id == kRescueTimer) {
            EndDialog(box, kForced);
            return;
        }
        if (!current_)
            return;
        // On a loaded machine the first look can come before the box is shown (its controls
        // then all read as hidden): look again a little later.
        if (!IsWindowVisible(box)) {
            SetTimer(box, kLookTimer, 20, &RealBoxes::Tick);
            return;
        }
        current_->seen_.push_back(Look(box));
        switch (current_->answer_) {
        case Answer::Enter:
        case Answer::Escape: {
            HWND target = GetFocus();
            if (!target || !IsChild(box, target))
                target = box;
            const WORD vk = current_->answer_ == Answer::Enter ? VK_RETURN : VK_ESCAPE;
            PostMessageW(target, WM_KEYDOWN, vk,
                         1 | (static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16));
            break;
        }
        case Answer::CloseBox:
            PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
    }

    static std::wstring TextOf(HWND h) {
        wchar_t buffer[512] = {};
        GetWindowTextW(h, buffer, 512);
        return buffer;
    }

    static SeenBox Look(HWND box) {
        SeenBox seen;
        seen.caption = TextOf(box);
        struct Button {
            int left;
            std::wstring text;
            int id;
        };
        std::vector<Button> buttons;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!IsWindowVisible(c))
                continue;
            wchar_t cls[32] = {};
            GetClassNameW(c, cls, 32);
            const LONG style = GetWindowLongW(c, GWL_STYLE);
            if (lstrcmpiW(cls, L"Button") == 0) {
                RECT r;
                GetWindowRect(c, &r);
                buttons.push_back(Button{r.left, TextOf(c), GetDlgCtrlID(c)});
                if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                    seen.defaults.push_back(TextOf(c));
                if (GetFocus() == c)
                    seen.focused = TextOf(c);
            } else if (lstrcmpiW(cls, L"Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON) {
                    seen.icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
                } else if (!TextOf(c).empty()) {
                    seen.text += (seen.text.empty() ? L"" : L"\n") + TextOf(c);
                }
            }
        }
        std::sort(buttons.begin(), buttons.end(),
                  [](const Button& a, const Button& b) { return a.left < b.left; });
        for (const Button& b : buttons) {
            seen.buttons.push_back(b.text);
            seen.ids.push_back(b.id);
        }
        const LRESULT def = SendMessageW(box, DM_GETDEFID, 0, 0);
        if (HIWORD(def) == DC_HASDEFID)
            seen.defId = LOWORD(def);
        return seen;
    }

    static inline RealBoxes* current_ = nullptr;
    Answer answer_;
    HHOOK hook_ = nullptr;
    std::vector<HWND> boxes_;
    std::vector<SeenBox> seen_;
};

using Answer = RealBoxes::Answer;
using Strings = std::vector<std::wstring>;

int ShowReal(const std::wstring& text, MsgDlgType type, tmb::MsgDlgButtons buttons) {
    return tmb::PlatformModalHost().MessageDlg(nullptr, text, type, buttons);
}

TEST(MessageDialog, CaptionAndIconFollowTheType) {
    struct Case {
        MsgDlgType type;
        const wchar_t* caption;
        const wchar_t* icon;
    };
    const Case cases[] = {
        {MsgDlgType::Warning, L"Warning", IDI_WARNING},
        {MsgDlgType::Error, L"Error", IDI_ERROR},
        {MsgDlgType::Information, L"Information", IDI_INFORMATION},
        {MsgDlgType::Confirmation, L"Confirm", IDI_QUESTION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.type));
        RealBoxes boxes(Answer::Enter);
        EXPECT_EQ(tmb::mrOk, ShowReal(L"Something happened & more", c.type, tmb::mbOK));
        ASSERT_EQ(1u, boxes.Seen().size());
        const SeenBox& seen = boxes.Seen()[0];
        EXPECT_EQ(c.caption, seen.caption);
        EXPECT_EQ(L"Something happened & more", seen.text);  // "&" is no accelerator here
        EXPECT_EQ(LoadIconW(nullptr, c.icon), seen.icon);
        EXPECT_EQ(Strings{L"OK"}, seen.buttons);
    }
}

TEST(MessageDialog, ButtonsStandInTheirFixedOrderWithThePlatformsCaptions) {
    RealBoxes boxes(Answer::Enter);
    // Asked for in another order than they are shown.
    ShowReal(L"All four", MsgDlgType::Confirmation,
             tmb::mbCancel | tmb::mbOK | tmb::mbNo | tmb::mbYes);
    ASSERT_EQ(1u, boxes.Seen().size());
    const SeenBox& seen = boxes.Seen()[0];
    EXPECT_EQ((Strings{L"&Yes", L"&No", L"OK", L"Cancel"}), seen.buttons);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO, IDOK, IDCANCEL}), seen.ids);
    EXPECT_EQ(Strings{L"OK"}, seen.defaults);
    EXPECT_EQ(IDOK, seen.defId);
    EXPECT_EQ(L"OK", seen.focused);
}

TEST(MessageDialog, EnterEscapeAndTheCloseBoxAnswerAsTheButtonsPresentDecide) {
    using namespace tmb;
    struct Case {
        MsgDlgButtons buttons;
        Answer answer;
        int result;
        const wchar_t* defaultButton;
    };
    const Case cases[] = {
        {mbYes | mbNo, Answer::Enter, mrYes, L"&Yes"},
        {mbYes | mbNo, Answer::Escape, mrNo, L"&Yes"},
        {mbYes | mbNo, Answer::CloseBox, mrNo, L"&Yes"},
        {mbYes | mbNo | mbOK, Answer::Enter, mrOk, L"OK"},
        {mbYes | mbNo | mbOK, Answer::Escape, mrNo, L"OK"},
        {mbYes | mbNo | mbOK | mbCancel, Answer::Escape, mrCancel, L"OK"},
        {mbOK, Answer::Escape, mrOk, L"OK"},
        {mbOK | mbCancel, Answer::Enter, mrOk, L"OK"},
        {mbOK | mbCancel, Answer::CloseBox, mrCancel, L"OK"},
        {mbNo | mbCancel, Answer::Enter, mrNo, L"&No"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "buttons " << c.buttons << ", answer "
                                        << static_cast<int>(c.answer));
        RealBoxes boxes(c.answer);
        EXPECT_EQ(c.result, ShowReal(L"Go on?", MsgDlgType::Confirmation, c.buttons));
        ASSERT_EQ(1u, boxes.Seen().size());
        EXPECT_EQ(Strings{c.defaultButton}, boxes.Seen()[0].defaults);
    }
}

TEST(MessageDialog, ALoneCarriageReturnStartsANewLine) {
    RealBoxes boxes(Answer::Enter);
    ShowReal(L"Error - Invalid Directory Name\rnew*name", MsgDlgType::Error, tmb::mbOK);
    ShowReal(L"first\r\nsecond", MsgDlgType::Error, tmb::mbOK);
    ASSERT_EQ(2u, boxes.Seen().size());
    EXPECT_EQ(L"Error - Invalid Directory Name\r\nnew*name", boxes.Seen()[0].text);
    EXPECT_EQ(L"first\r\nsecond", boxes.Seen()[1].text);
}

// ---- the save dialog ---------------------------------------------------------------------

TEST(SaveDialogBox, TheChosenNameGetsTheDefaultExtensionAndCancelKeepsTheLastName) {
    // The dialog makes the chosen folder the current one; put it back so the folder can go.
    struct KeepCurrentFolder {
        wchar_t path[MAX_PATH] = {};
        KeepCurrentFolder() { GetCurrentDirectoryW(MAX_PATH, path); }
        ~KeepCurrentFolder() { SetCurrentDirectoryW(path); }
    };
    tmbtest::TempFolder folder;
    KeepCurrentFolder keep;
    tmb::SaveDialog dialog(nullptr);
    dialog.Filter = L"Text files (*.txt)|*.txt|All files|*.*";
    dialog.DefaultExt = L"txt";
    dialog.InitialDir = folder.Path();
    dialog.FileName = L"proposed";
    dialog.Title = L"Salvar listagem";
    {
        tmbtest::ModalAutoAnswer answer({tmbtest::ModalAnswer{IDOK, 0x47C, L"listing"}});
        ASSERT_TRUE(dialog.Execute());
        ASSERT_EQ(1, answer.Count());
        EXPECT_EQ(L"Salvar listagem", answer.Boxes()[0].caption);
    }
    EXPECT_EQ(folder / L"listing.txt", dialog.FileName);
    {
        tmbtest::ModalAutoAnswer answer(IDCANCEL);
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(1, answer.Count());
    }
    EXPECT_EQ(folder / L"listing.txt", dialog.FileName);
}

// Presses OK in the picker once its tree shows a selection, or after a second: Wine selects
// the requested folder a moment after the picker is up.
struct PickerWatch {
    std::wstring selected;
    int ticks = 0;
    bool pressed = false;
};
PickerWatch* g_picker = nullptr;

void CALLBACK WatchPicker(HWND, UINT, UINT_PTR id, DWORD) {
    HWND picker = tmbtest::VisibleDialogOf(GetCurrentProcessId());
    if (!picker || !g_picker)
        return;
    HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
    wchar_t text[MAX_PATH] = {};
    if (HTREEITEM item = tree ? TreeView_GetSelection(tree) : nullptr) {
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = MAX_PATH;
        TreeView_GetItem(tree, &tv);
    }
    g_picker->selected = text;
    if (g_picker->selected == L"inner & #1" || ++g_picker->ticks > 20) {
        KillTimer(nullptr, id);
        g_picker->pressed = true;
        PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

TEST(FolderPicker, OpensAtTheRequestedFolderAndCancelLeavesThePathAlone) {
    tmbtest::TempFolder folder;
    const std::wstring inner = folder.AddFolder(L"inner & #1");
    tmb::FolderPickerRequest request;
    request.title = L"Choose";
    request.initialDir = inner;
    {
        // Under Wine the first picker of a process does not take its starting folder (its
        // tree stays without a selection); the ones after it do.
        tmbtest::ModalAutoAnswer answer(IDCANCEL);
        tmb::FolderPickerRequest first = request;
        tmb::PlatformModalHost().BrowseForFolder(first);
    }
    {
        // OK without touching the tree takes the folder the picker was opened at.
        PickerWatch watch;
        g_picker = &watch;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, &WatchPicker);
        ASSERT_TRUE(tmb::PlatformModalHost().BrowseForFolder(request));
        KillTimer(nullptr, timer);
        g_picker = nullptr;
        EXPECT_TRUE(watch.pressed);
        EXPECT_EQ(L"inner & #1", watch.selected) << "the picker's selection";
    }
    EXPECT_EQ(inner, request.path);
    request.path = L"kept";
    {
        tmbtest::ModalAutoAnswer answer(IDCANCEL);
        EXPECT_FALSE(tmb::PlatformModalHost().BrowseForFolder(request));
        ASSERT_EQ(1, answer.Count());
        EXPECT_NE(answer.Boxes()[0].text.find(L"Choose"), std::wstring::npos);
    }
    EXPECT_EQ(L"kept", request.path);
}

TEST(NetworkDialogs, TheSystemsResultIsReturnedAsItIs) {
    // Wine has no network provider: its connect dialog answers "no network" at once.
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_NETWORK),
              tmb::PlatformModalHost().NetworkDriveDialog(tmb::NetworkDialog::Connect, nullptr,
                                                          RESOURCETYPE_DISK));
}

// ---- the default error report ------------------------------------------------------------

class DefaultErrorReport : public ::testing::Test {
protected:
    void SetUp() override {
        title_ = tmb::App().Title();
        tmb::App().SetTitle(L"Tombarel");
        tmb::App().OnException = nullptr;
        tmb::SetModalHost(nullptr);
    }
    void TearDown() override { tmb::App().SetTitle(title_); }

private:
    std::wstring title_;
};

TEST_F(DefaultErrorReport, IsABoxWithTheTitleTheErrorIconAndOneOK) {
    RealBoxes boxes(Answer::Enter);
    tmb::App().HandleException(tmb::ERegistryException(L"Failed to set data for 'lastdir'"));
    tmb::App().HandleException(std::runtime_error("Disk full"));
    ASSERT_EQ(2u, boxes.Seen().size());
    for (const SeenBox& seen : boxes.Seen()) {
        EXPECT_EQ(L"Tombarel", seen.caption);
        EXPECT_EQ(LoadIconW(nullptr, IDI_ERROR), seen.icon);
        EXPECT_EQ(Strings{L"OK"}, seen.buttons);
    }
    EXPECT_EQ(L"Failed to set data for 'lastdir'", boxes.Seen()[0].text);
    EXPECT_EQ(L"Disk full.", boxes.Seen()[1].text);
}

TEST_F(DefaultErrorReport, AnErrorInsideAWindowMessageIsShownAndTheWindowKeepsRunning) {
    tmbtest::TestForm form;
    tmb::Button button(&form.Form());
    button.SetParent(&form.Form());
    int clicks = 0;
    button.OnClick = [&](tmb::Component*) {
        if (++clicks == 1)
            throw tmb::Exception(L"Cannot open file");
    };
    {
        RealBoxes boxes(Answer::Enter);
        button.Perform(BM_CLICK);
        ASSERT_EQ(1u, boxes.Seen().size());
        EXPECT_EQ(L"Cannot open file.", boxes.Seen()[0].text);
    }
    button.Perform(BM_CLICK);
    EXPECT_EQ(2, clicks);
    EXPECT_TRUE(IsWindow(button.HandleIfAllocated()));
}

// A stand-in for the real box that, while it is "open", lets a window message run whose
// handler fails, as a paint or a timer does in the box's own message loop.
class BoxThatRunsAMessage : public tmb::ModalHost {
public:
    explicit BoxThatRunsAMessage(tmb::Button& failing) : failing_(failing) {}
    int MessageBox(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        shown.push_back(text);
        if (shown.size() == 1)
            failing_.Perform(BM_CLICK);
        return IDOK;
    }
    int MessageDlg(HWND, const std::wstring&, MsgDlgType, tmb::MsgDlgButtons) override {
        return tmb::mrOk;
    }
    bool SaveDialog(tmb::SaveDialogRequest&) override { return false; }

    std::vector<std::wstring> shown;

private:
    tmb::Button& failing_;
};

TEST_F(DefaultErrorReport, AnErrorWhileTheReportIsOpenOpensNoSecondBoxAndLaterOnesAreShown) {
    tmbtest::TestForm form;
    tmb::Button button(&form.Form());
    button.SetParent(&form.Form());
    button.OnClick = [](tmb::Component*) { throw tmb::Exception(L"Second failure"); };
    BoxThatRunsAMessage host(button);
    tmb::SetModalHost(&host);
    tmb::App().HandleException(tmb::Exception(L"First failure"));
    tmb::App().HandleException(tmb::Exception(L"Third failure"));
    tmb::SetModalHost(nullptr);
    EXPECT_EQ((std::vector<std::wstring>{L"First failure.", L"Third failure."}), host.shown);
}

TEST_F(DefaultErrorReport, AnErrorOfTheCreateHandlerIsReportedOnceAndTheFormIsMadeAllTheSame) {
    struct FailingForm : tmb::Form {
        explicit FailingForm(tmb::Component* owner) : tmb::Form(owner) {
            OnCreate = [](tmb::Component*) { throw tmb::EInOutError(L"Access denied", 5); };
        }
    };
    std::vector<std::wstring> reported;
    tmb::App().OnException = [&](const std::wstring& m) { reported.push_back(m); };
    FailingForm* form = tmb::CreateForm<FailingForm>(nullptr);
    tmb::App().OnException = nullptr;
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(IsWindow(form->HandleIfAllocated()));
    EXPECT_FALSE(form->Loading());
    EXPECT_EQ(std::vector<std::wstring>{L"Access denied"}, reported);
    tmb::Destroy(form);
}

TEST(ErrorReportText, APeriodIsAddedWhenTheLastCharacterSortsAfterThePeriod) {
    // The message as given, then as reported. "/", ":" and "?" sort after "." in the
    // character table; so do letters beyond ASCII.
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"abc", L"abc."}, {L"Error 5", L"Error 5."},
        {L"Invalid data type for 'x'", L"Invalid data type for 'x'"}, {L"x.", L"x."}, {L"x!", L"x!"},
        {L"(x)", L"(x)"}, {L"x-", L"x-"}, {L"x\"", L"x\""}, {L"line\r\n", L"line\r\n"}, {L"", L""},
        {L"C:\\dir/", L"C:\\dir/."}, {L"Why?", L"Why?."}, {L"C:\\", L"C:\\."}, {L"Caf\u00E9", L"Caf\u00E9."},
    };
    for (const auto& [message, shown] : rows)
        EXPECT_EQ(shown, tmb::Application::ErrorReportText(message)) << U8(message);
}

TEST(ErrorReportText, ReportsTheErrorsOwnTextToAnInstalledObserver) {
    std::vector<std::wstring> got;
    tmb::App().OnException = [&](const std::wstring& m) { got.push_back(m); };
    tmb::App().HandleException(tmb::Exception(L"plain"));
    tmb::App().HandleException(std::runtime_error("na\xC3\xAFve"));
    tmb::App().HandleException(std::make_exception_ptr(tmb::EInOutError(L"I/O error 21", 21)));
    tmb::App().HandleException(std::make_exception_ptr(3.5));
    tmb::Guarded([] { throw std::logic_error("guarded"); });
    tmb::App().OnException = nullptr;
    EXPECT_EQ((std::vector<std::wstring>{L"plain", L"na\u00EFve", L"I/O error 21", L"Unknown error",
                                         L"guarded"}),
              got);
}

} // namespace
