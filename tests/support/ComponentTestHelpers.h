// Small steps the component tests repeat: a control put on a form as a layout puts it,
// several folders made at once, and a recorded message dialog compared in one expectation.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "framework/Form.h"
#include "tests/support/DialogScript.h"
#include "tests/support/TestFolders.h"

namespace tmbtest {

// A new `C` owned by `form`, given its bounds first and then placed on the form (so it is
// scaled as it is placed).
template <class C>
C* PlaceOn(tmb::Form& form, int left, int top, int width, int height) {
    auto* control = new C(&form);
    control->SetBounds(left, top, width, height);
    control->SetParent(&form);
    return control;
}

// Makes each folder of `names` (relative paths, parents before their children) in `folder`.
inline void AddFolders(TempFolder& folder, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names)
        folder.AddFolder(name);
}

// Whether a recorded call is a message dialog of `type` with `buttons` showing `text`.
inline testing::AssertionResult IsMessage(const ModalCall& call, const std::wstring& text,
                                          tmb::MsgDlgType type,
                                          tmb::MsgDlgButtons buttons = tmb::mbOK) {
    if (call.kind == ModalCall::Kind::MessageDlg && call.text == text && call.type == type &&
        call.flags == buttons)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "shown: kind " << int(call.kind) << ", type " << int(call.type) << ", buttons "
           << call.flags << ", \"" << U8(call.text) << "\"";
}

} // namespace tmbtest

namespace tmbtest {

// "line 0" ... "line n-1", each ended by CR LF.
inline std::wstring NumberedLines(int n) {
    std::wstring text;
    for (int i = 0; i < n; ++i)
        text += L"line " + std::to_wstring(i) + L"\r\n";
    return text;
}

// Whether two long texts are equal; a failure gives both lengths and the text around the
// first difference instead of both texts.
inline testing::AssertionResult SameLongText(const std::wstring& expected, const std::wstring& actual) {
    std::size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i])
        ++i;
    if (expected == actual)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "expected " << expected.size() << " characters, got "
                                       << actual.size() << "; first difference at " << i << " near \""
                                       << U8(actual.substr(i > 10 ? i - 10 : 0, 20)) << "\"";
}

// The rectangle of a child window in its parent's client coordinates.
inline RECT RectInParent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace tmbtest
