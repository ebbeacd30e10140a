// The platform's standard controls as components: edit box, memo, push button.
#pragma once

#include "framework/WinControl.h"

namespace tmb {

// A single-line edit box. OnChange runs on every change of its text.
class Edit : public WinControl {
public:
    explicit Edit(Component* owner);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    NotifyEvent OnChange;

protected:
    void CreateParams(CreateArgs& args) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void TextChanged() override;
    virtual void Change();

private:
    bool readOnly_ = false;
    bool settingText_ = false;
};

// A multi-line edit box. Its text is set in one piece (never line by line) and is not
// limited to the edit control's default 30,000 characters.
class Memo : public Edit {
public:
    explicit Memo(Component* owner);

    void Clear() { SetText(L""); }
    void SetScrollBars(bool horizontal, bool vertical);

protected:
    void CreateParams(CreateArgs& args) override;
    void HandleCreated() override;

private:
    bool hScroll_ = false;
    bool vScroll_ = false;
};

// A standard push button; Click runs its OnClick.
class Button : public WinControl {
public:
    explicit Button(Component* owner);

protected:
    void CreateParams(CreateArgs& args) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace tmb
