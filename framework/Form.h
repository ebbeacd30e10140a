// A top-level window holding controls. Building a form: construct it (its constructor
// creates the controls with the form loading), then CreateForm ends the loading — every
// component's Loaded() runs — and fires OnCreate. Destroy() fires OnDestroy while the whole
// form still exists, destroys the windows, then the components.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/WinControl.h"

namespace tmb {

enum class BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum BorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum class FormPosition { poDesigned, poScreenCenter, poDesktopCenter };

class Form : public WinControl {
public:
    explicit Form(Component* owner);
    ~Form() override;

    BorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(BorderStyle style) { borderStyle_ = style; }
    unsigned BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(unsigned icons) { borderIcons_ = icons; }
    FormPosition Position() const { return position_; }
    void SetPosition(FormPosition position) { position_ = position; }

    // The client area's size; the window is sized around it.
    void SetClientSize(int width, int height);
    int ClientWidth() const override;
    int ClientHeight() const override;

    void Show();
    // Asks the form to close: the main form's close ends the application.
    void Close();

    NotifyEvent OnCreate;
    NotifyEvent OnDestroy;

    // Ends loading (every component's Loaded) and fires OnCreate, whose errors go to the
    // default error report; CreateForm calls it.
    void AfterConstruction();
    void BeforeDestruction() override;

protected:
    void CreateParams(CreateArgs& args) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The client area and the controls scale; the window keeps its place on the screen and
    // gets the frame the system draws at the new DPI.
    void ChangeScale(int to, int from) override;
    // Runs OnDestroy once, whichever way the form ends.
    void DoDestroy();

private:
    void Center();

    BorderStyle borderStyle_ = BorderStyle::bsSizeable;
    unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    FormPosition position_ = FormPosition::poDesigned;
    int clientWidth_ = 0, clientHeight_ = 0;
    bool destroyDone_ = false;
    bool centred_ = false;
};

// Makes a form of type F as the program does: the layout is applied in the constructor
// with the form loading, then Loaded() and OnCreate run.
template <class F, class... Args>
F* CreateForm(Component* owner, Args&&... args) {
    F* form = new F(owner, std::forward<Args>(args)...);
    try {
        form->AfterConstruction();
    } catch (...) {
        Destroy(form);
        throw;
    }
    return form;
}

} // namespace tmb
