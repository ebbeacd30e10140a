// A thread CBT hook that presses a button of each dialog box as it is activated.
#include "tests/support/ModalAutoAnswer.h"

#include <algorithm>

namespace tmbtest {

namespace {

thread_local ModalAutoAnswer* g_current = nullptr;

bool IsDialogBox(HWND window) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return lstrcmpW(className, L"#32770") == 0;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

} // namespace

std::wstring StaticTexts(HWND box) {
    std::wstring joined;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (lstrcmpiW(className, L"Static") != 0) {
            continue;
        }
        const std::wstring text = WindowText(child);
        if (text.empty()) {
            continue;
        }
        if (!joined.empty()) {
            joined += L'\n';
        }
        joined += text;
    }
    return joined;
}

ModalAutoAnswer::ModalAutoAnswer(int button) : ModalAutoAnswer(std::vector<ModalAnswer>(1)) {
    answers_[0].button = button;
}

ModalAutoAnswer::ModalAutoAnswer(std::vector<ModalAnswer> answers) : answers_(std::move(answers)) {
    if (answers_.empty()) {
        answers_.push_back(ModalAnswer{});
    }
    outer_ = g_current;
    g_current = this;
    hook_ = SetWindowsHookExW(WH_CBT, &ModalAutoAnswer::CbtProc, nullptr, GetCurrentThreadId());
}

ModalAutoAnswer::~ModalAutoAnswer() {
    if (hook_) {
        UnhookWindowsHookEx(hook_);
    }
    g_current = outer_;
}

LRESULT CALLBACK ModalAutoAnswer::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    ModalAutoAnswer* self = g_current;
    if (self && code == HCBT_ACTIVATE) {
        self->Answer(reinterpret_cast<HWND>(wParam));
    } else if (self && code == HCBT_DESTROYWND) {
        self->Closing(reinterpret_cast<HWND>(wParam));
    }
    // Every hook of the chain sees the event; an outer object's hook finds g_current pointing
    // at the innermost one, so a box is still answered once.
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ModalAutoAnswer::Answer(HWND box) {
    if (!IsDialogBox(box) || std::find(open_.begin(), open_.end(), box) != open_.end()) {
        return;  // not a dialog, or one answered already and activated again
    }
    const ModalAnswer& answer = answers_[std::min(boxes_.size(), answers_.size() - 1)];
    if (answer.look) {
        answer.look(box);
    }
    if (answer.editId != 0) {
        SetDlgItemTextW(box, answer.editId, answer.editText.c_str());
    }
    int button = answer.button;
    if (!GetDlgItem(box, button)) {
        button = GetDlgItem(box, IDCANCEL) ? IDCANCEL : IDOK;
    }
    // Posted, not sent: the box is activated before its modal loop runs, and the click must
    // arrive through that loop.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    Box record;
    record.caption = WindowText(box);
    record.text = StaticTexts(box);
    record.pressed = button;
    boxes_.push_back(record);
    open_.push_back(box);
    slot_.push_back(boxes_.size() - 1);
}

void ModalAutoAnswer::Closing(HWND box) {
    const auto it = std::find(open_.begin(), open_.end(), box);
    if (it == open_.end()) {
        return;
    }
    const std::size_t i = static_cast<std::size_t>(it - open_.begin());
    // Some boxes fill their texts after they are activated; what they show is there now.
    Box& record = boxes_[slot_[i]];
    record.caption = WindowText(box);
    const std::wstring text = StaticTexts(box);
    if (!text.empty()) {
        record.text = text;
    }
    open_.erase(it);
    slot_.erase(slot_.begin() + static_cast<std::ptrdiff_t>(i));
}

} // namespace tmbtest
