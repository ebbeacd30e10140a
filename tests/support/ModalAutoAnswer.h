// Answers real modal windows of the platform and the shell (message boxes, the shell's
// confirmations, the folder picker, the save dialog) by pressing a chosen button, and records
// what each showed. For boxes the program raises itself through its modal seam, a test
// installs a ModalHost instead; this is for the windows only the system shows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tmbtest {

// How to answer one box: optionally type `editText` into the control `editId`, then press
// `button` (IDYES 6, IDNO 7, IDCANCEL 2, IDOK 1, 12807 "Yes to all"...). A box without that
// button gets Cancel, or OK when it has no Cancel either.
// `look`, when given, is handed the box first, as it is activated, to read what it shows.
struct ModalAnswer {
    ModalAnswer(int button = IDOK, int editId = 0, std::wstring editText = {},
                std::function<void(HWND box)> look = {})
        : button(button), editId(editId), editText(std::move(editText)), look(std::move(look)) {}
    int button;
    int editId;
    std::wstring editText;
    std::function<void(HWND box)> look;
};

// The texts of a box's static controls, joined by "\n".
std::wstring StaticTexts(HWND box);

// While it lives, every dialog-class window ("#32770") this thread activates is answered: the
// first with the first answer, the next with the second, ..., the rest with the last one.
// Nesting is allowed; the innermost object answers.
class ModalAutoAnswer {
public:
    struct Box {
        std::wstring caption;
        std::wstring text;  // the texts of its static controls, joined by "\n"
        int pressed = 0;
    };

    explicit ModalAutoAnswer(int button);
    explicit ModalAutoAnswer(std::vector<ModalAnswer> answers);
    ~ModalAutoAnswer();
    ModalAutoAnswer(const ModalAutoAnswer&) = delete;
    ModalAutoAnswer& operator=(const ModalAutoAnswer&) = delete;

    // The boxes answered so far, in order. Caption and text are read as the box closes.
    const std::vector<Box>& Boxes() const { return boxes_; }
    int Count() const { return static_cast<int>(boxes_.size()); }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void Answer(HWND box);
    void Closing(HWND box);

    std::vector<ModalAnswer> answers_;
    std::vector<Box> boxes_;
    std::vector<HWND> open_;        // answered and not yet destroyed
    std::vector<std::size_t> slot_; // index into boxes_ of each entry of open_
    HHOOK hook_ = nullptr;
    ModalAutoAnswer* outer_ = nullptr;
};

} // namespace tmbtest
