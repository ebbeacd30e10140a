// Controls with a window of their own, and the one message-routing path of the layer.
//
// Windows of classes the layer registers receive `this` through lpCreateParams at
// WM_NCCREATE (kept in GWLP_USERDATA); common controls are hooked with SetWindowSubclass
// and get `this` from the subclass reference data. A parent reflects WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR* and scroll messages back to the child's
// object, so a tree handles its own TVN_* and a list box its own drawing. Every entry from
// Windows is guarded: an error never unwinds through user32.
//
// A new control, the way TreeView and TKvDirTree21 are made:
//  1. Derive from WinControl (or from the control it extends). Properties are plain members
//     with a getter and a Set setter; a setter stores the value and, when the window
//     exists, applies it (a style bit, a message) or calls RecreateWnd().
//  2. CreateParams: call the base, then name the common control's class (WC_TREEVIEWW) and
//     add the styles the properties ask for. The window is made on demand by Handle().
//  3. HandleCreated: call the base (font), then push into the new window what the members
//     hold; it runs again after every re-creation. What only the window knows (items,
//     selection) is saved in HandleDestroying and put back here.
//  4. Reflected: the notifications the parent sends back (WM_NOTIFY, WM_COMMAND, drawing).
//     Decode one, call a protected virtual hook for it (CanExpand, Edit), set `result` and
//     return true; return false for the rest, so the base or Windows handles them.
//  5. Each hook's default raises the public std::function event (OnExpanding, sender
//     first); a component of the family overrides the hook, the form listens to the event.
//  6. WndProc only for the control's own messages (keys, WM_CONTEXTMENU); pass the rest
//     on. Handles it owns are members from Handles.h; modal boxes go through Dialogs.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Control.h"
#include "framework/Handles.h"
#include "framework/ScopedHourglass.h"

namespace tmb {

// How a control's window is made.
struct CreateArgs {
    const wchar_t* className = nullptr;  // a common control's class, or null for the layer's own
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    UINT classStyle = CS_DBLCLKS;        // for the layer's own class only
    HWND parent = nullptr;
};

class WinControl : public Control {
public:
    explicit WinControl(Component* owner);
    ~WinControl() override;

    // The window, created on demand (with the parent's first).
    HWND Handle();
    HWND HandleIfAllocated() const { return hwnd_; }
    bool HandleAllocated() const { return hwnd_ != nullptr; }
    // Destroys the window and makes it again with the current properties and children.
    void RecreateWnd();
    // Destroys the window (and so its children's); the objects stay.
    void DestroyHandle();

    // The object behind a window the layer made, or null for any other window.
    static WinControl* FromHandle(HWND hwnd);

    const std::vector<Control*>& Controls() const { return controls_; }

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    // Position among the parent's windowed controls in the Tab sequence.
    int TabOrder() const;
    void SetTabOrder(int order);

    bool Focused() const;
    virtual void SetFocus();
    bool CanFocus() const;

    // Nesting redraw-off brackets: the window redraws once when the outermost one closes.
    void BeginUpdate();
    void EndUpdate();

    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    std::wstring Text() const override;
    void SetText(const std::wstring& text) override;
    void Invalidate() override;
    void Repaint() override;

    // Sends a message to the window (creating it first).
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // The layer's window procedure entry for this object; public so that the static entry
    // points and the parent's reflection can reach it.
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Fills in how the window is made; overrides call the base first.
    virtual void CreateParams(CreateArgs& args);
    // Runs right after the window exists (fonts, texts and state are applied here).
    virtual void HandleCreated();
    // Runs while the window is still alive, before it is destroyed or re-created; keep
    // what must survive a re-creation here.
    virtual void HandleDestroying() {}

    // The control's messages. Unhandled ones go to DefaultHandler.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // The user asked for the control's context menu at screen point `screen`: where the
    // mouse was, or from the keyboard (Shift+F10, the menu key) KeyboardMenuPoint. The
    // default shows PopupMenu; true when the request was taken.
    virtual bool ContextMenu(POINT screen, bool fromKeyboard);
    // The client rectangle of the selected item, for a control that has items; a menu
    // asked for from the keyboard opens there while it shows, as Windows places it, else
    // at the control's top-left corner.
    virtual bool SelectedItemRect(RECT&) { return false; }
    // A message the parent reflected back (the original message number). Return true
    // when handled; `result` is then what the parent returns.
    virtual bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Fills the background of a window of the layer's own class with Color; a control that
    // paints every pixel itself returns true without drawing, so nothing flickers.
    virtual bool EraseBackground(HDC dc);
    // Paints a window of the layer's own class over its erased background. The default
    // paints the windowless children.
    virtual void PaintWindow(HDC dc, const RECT& area);
    void PaintGraphicControls(HDC dc, const RECT& area);

    // Scales the control, then its children: those that follow its font have followed it.
    void ChangeScale(int to, int from) override;

    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;

    // Lays out the aligned children inside the client area.
    void AlignControls();

    // Sets or clears a window style bit of the live window and repaints it when it changed;
    // before the window exists the control's CreateParams will apply the property.
    void SetStyleBit(DWORD bit, bool on);
    BrushHandle& BackgroundBrush();

private:
    friend class Control;
    void CreateHandle();
    void KeepWindowState();
    void InsertControl(Control* control);
    void RemoveControl(Control* control);
    void ApplyTabOrder();
    GraphicControl* GraphicControlAt(int x, int y) const;
    bool HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetMouseControl(GraphicControl* control);
    bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    POINT KeyboardMenuPoint();
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR ref);
    static const wchar_t* RegisterOwnClass(UINT classStyle);

    HWND hwnd_ = nullptr;
    bool subclassed_ = false;
    bool tabStop_ = false;
    bool mouseTracked_ = false;
    bool clickPending_ = false;
    int updateCount_ = 0;
    UINT id_;
    std::vector<Control*> controls_;
    GraphicControl* mouseControl_ = nullptr;
    GraphicControl* captureControl_ = nullptr;
    BrushHandle brush_;
    TColor brushColor_ = clNone;
};

// BeginUpdate/EndUpdate for a scope: always closed, also when an error leaves the scope.
class UpdateBracket {
public:
    explicit UpdateBracket(WinControl& control) : control_(control) { control_.BeginUpdate(); }
    ~UpdateBracket() { control_.EndUpdate(); }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
    WinControl& control_;
};

} // namespace tmb
