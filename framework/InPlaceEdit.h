// What the list and the tree share about in-place caption editing.
#pragma once

#include <windows.h>

#include <string>

namespace tmb {

// Sets a flag for a scope and clears it when the scope ends, also by an error.
class FlagScope {
public:
    FlagScope(bool& flag, bool value = true) : flag_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

// The end of an in-place edit as the control reports it: `typed` is the caption typed, or null
// when the edit was cancelled, and `end` is handed it as a string (or null). A box shown
// while the edit ends takes the focus from the edit box, and the control then ends the same
// edit a second time from inside the first: `ending` marks the first, and the second is
// ignored.
template <class End>
void EndInPlaceEdit(bool& ending, const wchar_t* typed, End end) {
    if (ending)
        return;
    FlagScope scope(ending);
    if (!typed) {
        end(nullptr);
        return;
    }
    const std::wstring text(typed);
    end(&text);
}

// A label-edit notice of a list or a tree, the beginning or the end of an edit. At the
// beginning the answer refuses the edit (TRUE) unless `canEdit()` allows it; at the end the
// typed caption goes to `edit` as EndInPlaceEdit hands it, and the answer is FALSE: the
// control never takes a caption itself, `edit` sets it.
template <class CanEdit, class Edit>
LRESULT LabelEditNotice(bool begin, bool& ending, const wchar_t* typed, CanEdit canEdit, Edit edit) {
    if (begin)
        return canEdit() ? FALSE : TRUE;
    EndInPlaceEdit(ending, typed, edit);
    return FALSE;
}

} // namespace tmb
