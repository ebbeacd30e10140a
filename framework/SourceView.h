// A read-only view of a long text: the text stays in C++ with an index of its line starts,
// and only the lines in view are measured and drawn, so a page of 100,000 lines is taken in
// one piece at once (the multi-line EDIT needs seconds for a few megabytes under Wine).
// The user scrolls, selects with keys and mouse, and copies; nobody types into it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CompactText.h"
#include "framework/WinControl.h"

namespace tmb {

class SourceView : public WinControl {
public:
    explicit SourceView(Component* owner);

    // The text exactly as set: line breaks (CR LF, lone CR, lone LF) are kept as given.
    std::wstring Text() const override;
    // Takes the text in one piece; OnChange runs once when it differs from the current one.
    void SetText(const std::wstring& text) override;
    // The same, taking over the text given instead of copying it (a page of a million lines
    // is then never held twice).
    void SetText(std::wstring&& text);
    // Hands the text to `sink` in order, in pieces, without a whole wide copy of it: a page
    // of a million lines is written out from here as it is held.
    void ReadText(const std::function<void(std::wstring_view)>& sink) const;
    void Clear() { SetText(L""); }
    // The length of the text in characters, without copying it.
    std::size_t TextLength() const { return text_.size(); }
    // The memory the text and its line index take: a text whose characters are all below
    // 256 is held in one byte per character, any other in two.
    std::size_t Bytes() const;
    NotifyEvent OnChange;

    // Kept as a property; the view never lets the user change the text either way.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    void SetScrollBars(bool horizontal, bool vertical);

    // Lines as the view shows them: an empty text is one empty line, and a text that ends
    // with a line break has an empty last line after it. Line(i) has no line break.
    int LineCount() const { return static_cast<int>(lineStarts_.size()); }
    std::wstring Line(int index) const;

    // The selection, as character offsets into Text(). Setting the start collapses the
    // selection there (and puts the caret there); setting the length extends it.
    std::size_t SelStart() const;
    std::size_t SelLength() const;
    void SetSelStart(std::size_t start);
    void SetSelLength(std::size_t length);
    std::wstring SelText() const;
    void SelectAll();
    // Puts the selected text on the clipboard as Unicode text; nothing when none is selected.
    void CopyToClipboard();

    // The first line in view, and scrolling to one (kept within the text).
    int TopLine() const { return topLine_; }
    void SetTopLine(int line);

protected:
    void CreateParams(CreateArgs& args) override;
    void HandleCreated() override;
    void HandleDestroying() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool EraseBackground(HDC dc) override;
    void PaintWindow(HDC dc, const RECT& area) override;
    void EnabledChanged() override;
    virtual void Change();

private:
    // Text and its line index.
    void Replace(CompactText&& text, std::vector<std::size_t>&& starts, std::size_t longest);
    std::size_t LineStart(int line) const { return lineStarts_[static_cast<std::size_t>(line)]; }
    std::size_t LineEnd(int line) const;
    int LineOf(std::size_t offset) const;
    std::size_t ValidPosition(std::size_t offset) const;
    std::size_t CharLeft(std::size_t pos) const;
    std::size_t CharRight(std::size_t pos) const;
    std::size_t WordLeft(std::size_t pos) const;
    std::size_t WordRight(std::size_t pos) const;

    // Geometry; x is measured from the start of a line's text, before scrolling.
    void ApplyFont(HFONT font);
    std::vector<int> Boundaries(HDC dc, int line, int limit) const;
    int XOf(std::size_t pos);
    std::size_t PositionAtX(int line, int x);
    std::size_t PositionAtPoint(int x, int y);
    int VisibleLines() const;
    int MaxTopLine() const;
    int MaxScrollX() const;
    void EstimateWidth();
    void NoteLineWidth(int width);

    // Scrolling, caret and selection.
    void ScrollTo(int topLine, int scrollX);
    void UpdateScrollBars();
    void OnScroll(int bar, WORD request);
    void OnWheel(short delta);
    void MoveCaret(std::size_t pos, bool extend, bool keepX = false);
    void MoveCaretByLines(int lines, bool extend);
    void EnsureCaretVisible();
    void PlaceCaret();
    bool HandleKey(WORD key, unsigned shift);
    void MouseSelect(int x, int y, bool extend);
    void SelectWordAt(int x, int y);
    void EndDrag();
    int DrawLine(HDC dc, int line, int y, int clientWidth) const;

    // Room left of the text and after the longest line, so the caret at either end shows.
    static constexpr int kMargin = 2;
    static constexpr UINT_PTR kDragTimer = 1;

    CompactText text_;
    std::vector<std::size_t> lineStarts_{0};
    int longestLine_ = 0;        // the line with the most characters, measured for the range
    bool widthKnown_ = false;    // false until the longest line has been measured

    bool readOnly_ = true;
    bool hScroll_ = false;
    bool vScroll_ = false;

    HFONT font_ = nullptr;       // the control's font, owned by its Font
    int lineHeight_ = 13;
    int charWidth_ = 5;
    int tabWidth_ = 40;
    int maxWidth_ = 0;           // the widest line seen so far, in pixels

    int topLine_ = 0;
    int scrollX_ = 0;
    std::size_t anchor_ = 0;     // the fixed end of the selection
    std::size_t caret_ = 0;      // the moving end, where the caret is
    int preferredX_ = 0;         // the column Up and Down keep to
    bool dragging_ = false;
    int wheelRest_ = 0;          // wheel movement short of one notch
};

} // namespace tmb
