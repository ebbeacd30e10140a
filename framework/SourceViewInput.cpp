// The source view's input: scrolling, and the caret and the selection moved by keys and mouse.
#include "framework/SourceView.h"

#include <algorithm>

namespace tmb {
namespace {

// Words for double click and Ctrl+arrows: letters and digits, blanks, and anything else.
enum class CharClass { Word, Blank, Other };

CharClass ClassOf(wchar_t c) {
    if (c == L' ' || c == L'\t')
        return CharClass::Blank;
    if (c == L'_' || IsCharAlphaNumericW(c))
        return CharClass::Word;
    return CharClass::Other;
}

} // namespace

std::size_t SourceView::WordLeft(std::size_t pos) const {
    const int line = LineOf(pos);
    const std::size_t start = LineStart(line);
    if (pos == start)
        return CharLeft(pos);
    while (pos > start && ClassOf(text_[pos - 1]) == CharClass::Blank)
        --pos;
    if (pos > start) {
        const CharClass c = ClassOf(text_[pos - 1]);
        while (pos > start && ClassOf(text_[pos - 1]) == c)
            --pos;
    }
    return pos;
}

std::size_t SourceView::WordRight(std::size_t pos) const {
    const int line = LineOf(pos);
    const std::size_t end = LineEnd(line);
    if (pos == end)
        return CharRight(pos);
    const CharClass c = ClassOf(text_[pos]);
    while (pos < end && ClassOf(text_[pos]) == c)
        ++pos;
    while (pos < end && ClassOf(text_[pos]) == CharClass::Blank)
        ++pos;
    return pos;
}

// ---- scrolling ---------------------------------------------------------------------------

void SourceView::SetTopLine(int line) { ScrollTo(line, scrollX_); }

void SourceView::ScrollTo(int topLine, int scrollX) {
    topLine = std::clamp(topLine, 0, MaxTopLine());
    scrollX = std::clamp(scrollX, 0, MaxScrollX());
    if (topLine == topLine_ && scrollX == scrollX_)
        return;
    topLine_ = topLine;
    scrollX_ = scrollX;
    if (HWND h = HandleIfAllocated()) {
        UpdateScrollBars();
        InvalidateRect(h, nullptr, FALSE);
        PlaceCaret();
    }
}

void SourceView::UpdateScrollBars() {
    HWND h = HandleIfAllocated();
    if (!h)
        return;
    if (!widthKnown_)
        EstimateWidth();
    // The bars stay in place, disabled when all fits: the client area then never changes
    // size with the text, which would re-layout the lines under the user's eyes.
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    if (vScroll_) {
        si.nMin = 0;
        si.nMax = LineCount() - 1;
        si.nPage = static_cast<UINT>(VisibleLines());
        si.nPos = topLine_;
        SetScrollInfo(h, SB_VERT, &si, TRUE);
    }
    if (hScroll_) {
        si.nMin = 0;
        si.nMax = maxWidth_ + 2 * kMargin - 1;
        si.nPage = static_cast<UINT>(std::max(0, ClientWidth()));
        si.nPos = scrollX_;
        SetScrollInfo(h, SB_HORZ, &si, TRUE);
    }
}

void SourceView::OnScroll(int bar, WORD request) {
    const bool vertical = bar == SB_VERT;
    const int pos = vertical ? topLine_ : scrollX_;
    const int line = vertical ? 1 : charWidth_;
    const int page = vertical ? VisibleLines() : std::max(1, ClientWidth() - charWidth_);
    int target = pos;
    switch (request) {
    case SB_LINEUP: target = pos - line; break;
    case SB_LINEDOWN: target = pos + line; break;
    case SB_PAGEUP: target = pos - page; break;
    case SB_PAGEDOWN: target = pos + page; break;
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = INT_MAX; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(HandleIfAllocated(), bar, &si);
        target = si.nTrackPos;
        break;
    }
    default: return;
    }
    if (vertical)
        ScrollTo(target, scrollX_);
    else
        ScrollTo(topLine_, target);
}

void SourceView::OnWheel(short delta) {
    // Fine-grained wheels send less than a notch at a time: keep the rest for the next.
    if (wheelRest_ != 0 && (wheelRest_ > 0) != (delta > 0))
        wheelRest_ = 0;
    wheelRest_ += delta;
    const int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ %= WHEEL_DELTA;
    if (notches == 0)
        return;
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int step = lines == WHEEL_PAGESCROLL ? VisibleLines() : static_cast<int>(lines);
    ScrollTo(topLine_ - notches * step, scrollX_);
}

// ---- caret and selection by keys and mouse -----------------------------------------------

void SourceView::MoveCaret(std::size_t pos, bool extend, bool keepX) {
    const bool changed = pos != caret_ || (!extend && anchor_ != caret_);
    caret_ = pos;
    if (!extend)
        anchor_ = pos;
    HWND h = HandleIfAllocated();
    if (!h)
        return;
    if (!keepX)
        preferredX_ = XOf(pos);
    EnsureCaretVisible();
    if (changed)
        InvalidateRect(h, nullptr, FALSE);
    PlaceCaret();
}

void SourceView::MoveCaretByLines(int lines, bool extend) {
    const int line = std::clamp(LineOf(caret_) + lines, 0, LineCount() - 1);
    MoveCaret(PositionAtX(line, preferredX_), extend, true);
}

void SourceView::EnsureCaretVisible() {
    const int line = LineOf(caret_);
    int top = topLine_;
    if (line < top)
        top = line;
    else if (line >= top + VisibleLines())
        top = line - VisibleLines() + 1;
    // Horizontally the view jumps by a quarter of its width, so that moving along a line
    // does not scroll at every character.
    const int x = XOf(caret_);
    const int width = ClientWidth();
    const int jump = width / 4;
    int left = scrollX_;
    if (x < left)
        left = x - jump;
    else if (kMargin + x - left > width - kMargin)
        left = x + 2 * kMargin - width + jump;
    ScrollTo(top, left);
}

void SourceView::PlaceCaret() {
    HWND h = HandleIfAllocated();
    if (!h || GetFocus() != h)
        return;
    const int line = LineOf(caret_);
    const int x = kMargin + XOf(caret_) - scrollX_;
    const int y = (line - topLine_) * lineHeight_;
    // A caret outside the client area is simply not seen.
    SetCaretPos(x, y);
}

bool SourceView::HandleKey(WORD key, unsigned shift) {
    if (shift & ssAlt)
        return false;
    const bool extend = (shift & ssShift) != 0;
    const bool ctrl = (shift & ssCtrl) != 0;
    const int line = LineOf(caret_);
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT: {
        // A plain arrow on a selection goes to that side of it, as editors do.
        const bool left = key == VK_LEFT;
        if (!extend && !ctrl && SelLength() > 0)
            MoveCaret(left ? SelStart() : SelStart() + SelLength(), false);
        else if (left)
            MoveCaret(ctrl ? WordLeft(caret_) : CharLeft(caret_), extend);
        else
            MoveCaret(ctrl ? WordRight(caret_) : CharRight(caret_), extend);
        return true;
    }
    case VK_UP: MoveCaretByLines(-1, extend); return true;
    case VK_DOWN: MoveCaretByLines(1, extend); return true;
    case VK_PRIOR:
    case VK_NEXT: {
        // The view moves a page and the caret with it, keeping its place on the screen.
        const int page = (key == VK_PRIOR ? -1 : 1) * VisibleLines();
        ScrollTo(topLine_ + page, scrollX_);
        MoveCaretByLines(page, extend);
        return true;
    }
    case VK_HOME: MoveCaret(ctrl ? 0 : LineStart(line), extend); return true;
    case VK_END: MoveCaret(ctrl ? text_.size() : LineEnd(line), extend); return true;
    case 'A':
        if (!ctrl)
            return false;
        SelectAll();
        return true;
    case 'C':
    case VK_INSERT:
        if (!ctrl)
            return false;
        CopyToClipboard();
        return true;
    default:
        return false;
    }
}

void SourceView::MouseSelect(int x, int y, bool extend) {
    MoveCaret(PositionAtPoint(x, y), extend);
}

void SourceView::SelectWordAt(int x, int y) {
    const std::size_t pos = PositionAtPoint(x, y);
    const int line = LineOf(pos);
    const std::size_t start = LineStart(line);
    const std::size_t end = LineEnd(line);
    if (start == end) {
        MoveCaret(pos, false);
        return;
    }
    // The character under the pointer decides; past the end of a line, the last one.
    const std::size_t at = pos < end ? pos : pos - 1;
    const CharClass c = ClassOf(text_[at]);
    std::size_t first = at;
    std::size_t last = at + 1;
    while (first > start && ClassOf(text_[first - 1]) == c)
        --first;
    while (last < end && ClassOf(text_[last]) == c)
        ++last;
    MoveCaret(first, false);
    MoveCaret(last, true);
}

void SourceView::EndDrag() {
    if (!dragging_)
        return;
    dragging_ = false;
    HWND h = HandleIfAllocated();
    KillTimer(h, kDragTimer);
    if (GetCapture() == h)
        ReleaseCapture();
}

} // namespace tmb
