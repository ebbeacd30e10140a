// The read-only source view: line index, window, geometry, drawing of the lines in view and
// the clipboard (scrolling, the caret and the selection by keys and mouse: SourceViewInput).
#include "framework/SourceView.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>

#include "framework/Clipboard.h"
#include "framework/Exception.h"

namespace tmb {
namespace {

constexpr UINT kDragTimerMs = 50;
// Characters measured per GDI call; a long line is measured only as far as it is needed.
constexpr std::size_t kMeasureChunk = 256;

// The x of every character boundary of text[start, start + n) (first entry 0), tabs going to
// the next multiple of tabWidth. Stops at the first boundary beyond `limit`, so a long line
// costs only what lies in view. The widths come from the DC's font.
std::vector<int> CharBoundaries(HDC dc, const CompactText& text, std::size_t start, std::size_t n,
                                int tabWidth, int limit) {
    std::vector<int> xs;
    xs.reserve(std::min(n, kMeasureChunk) + 1);
    xs.push_back(0);
    std::vector<int> extents;
    std::wstring scratch;
    int x = 0;
    std::size_t i = 0;
    while (i < n && x <= limit) {
        if (text[start + i] == L'\t') {
            x = (x / tabWidth + 1) * tabWidth;
            xs.push_back(x);
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && text[start + j] != L'\t' && j - i < kMeasureChunk)
            ++j;
        const int count = static_cast<int>(j - i);
        extents.resize(static_cast<std::size_t>(count));
        SIZE size{};
        const wchar_t* s = text.Range(start + i, j - i, scratch);
        if (!GetTextExtentExPointW(dc, s, count, 0, nullptr, extents.data(), &size))
            std::fill(extents.begin(), extents.end(), 0);
        for (int e : extents)
            xs.push_back(x + e);
        x = xs.back();
        i = j;
    }
    return xs;
}

// Where a text's lines start (the first at 0), and the line with the most characters.
struct LineIndex {
    std::vector<std::size_t> starts;
    std::size_t longest = 0;
};

LineIndex IndexLines(const std::wstring& text) {
    LineIndex index;
    std::vector<std::size_t>& starts = index.starts;
    starts.push_back(0);
    const wchar_t* p = text.data();
    const std::size_t n = text.size();
    std::size_t longestLength = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const wchar_t c = p[i];
        if (c != L'\n' && c != L'\r')
            continue;
        const std::size_t length = i - starts.back();
        if (length > longestLength) {
            longestLength = length;
            index.longest = starts.size() - 1;
        }
        if (c == L'\r' && i + 1 < n && p[i + 1] == L'\n')
            ++i;
        starts.push_back(i + 1);
    }
    if (n - starts.back() > longestLength)
        index.longest = starts.size() - 1;
    return index;
}

// A DC with the view's font selected, for measuring outside WM_PAINT.
class FontDC {
public:
    FontDC(HWND hwnd, HFONT font) : dc_(hwnd), select_(dc_.get(), font) {}
    HDC get() const { return dc_.get(); }

private:
    WindowDC dc_;
    SelectGuard select_;
};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

} // namespace

SourceView::SourceView(Component* owner) : WinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetCursor(CursorKind::crIBeam);
    SetBounds(0, 0, 185, 89);
}

// ---- text and line index --------------------------------------------------------------

std::wstring SourceView::Text() const { return text_.Wide(); }

void SourceView::ReadText(const std::function<void(std::wstring_view)>& sink) const {
    text_.ForEachChunk(sink);
}

std::size_t SourceView::Bytes() const {
    return text_.Bytes() + lineStarts_.capacity() * sizeof(std::size_t);
}

void SourceView::SetText(const std::wstring& text) {
    if (text_.Equals(text))
        return;
    LineIndex index = IndexLines(text);
    Replace(CompactText(text), std::move(index.starts), index.longest);
}

void SourceView::SetText(std::wstring&& text) {
    if (text_.Equals(text))
        return;
    LineIndex index = IndexLines(text);
    Replace(CompactText(std::move(text)), std::move(index.starts), index.longest);
}

void SourceView::Replace(CompactText&& text, std::vector<std::size_t>&& starts,
                         std::size_t longest) {
    // The fresh containers are moved in, so that a long text once shown leaves no oversized
    // buffers behind, and the old text goes at once.
    text_ = std::move(text);
    lineStarts_ = std::move(starts);
    longestLine_ = static_cast<int>(longest);

    widthKnown_ = false;
    maxWidth_ = 0;
    topLine_ = 0;
    scrollX_ = 0;
    anchor_ = caret_ = 0;
    preferredX_ = 0;
    wheelRest_ = 0;
    if (HWND h = HandleIfAllocated()) {
        UpdateScrollBars();
        InvalidateRect(h, nullptr, FALSE);
        PlaceCaret();
    }
    Change();
}

void SourceView::Change() {
    if (OnChange)
        OnChange(this);
}

std::wstring SourceView::Line(int index) const {
    if (index < 0 || index >= LineCount())
        throw Exception(L"List index out of bounds (" + std::to_wstring(index) + L")");
    return text_.Substr(LineStart(index), LineEnd(index) - LineStart(index));
}

std::size_t SourceView::LineEnd(int line) const {
    if (line + 1 >= LineCount())
        return text_.size();
    const std::size_t start = LineStart(line);
    std::size_t end = LineStart(line + 1) - 1;  // the break's last character
    if (text_[end] == L'\n' && end > start && text_[end - 1] == L'\r')
        --end;
    return end;
}

int SourceView::LineOf(std::size_t offset) const {
    auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    return static_cast<int>(it - lineStarts_.begin()) - 1;
}

std::size_t SourceView::ValidPosition(std::size_t offset) const {
    // Never inside a line break nor between the halves of a surrogate pair.
    if (offset >= text_.size())
        return text_.size();
    offset = std::min(offset, LineEnd(LineOf(offset)));
    if (offset > 0 && IS_LOW_SURROGATE(text_[offset]) && IS_HIGH_SURROGATE(text_[offset - 1]))
        --offset;
    return offset;
}

std::size_t SourceView::CharLeft(std::size_t pos) const {
    const int line = LineOf(pos);
    if (pos > LineStart(line)) {
        --pos;
        if (pos > LineStart(line) && IS_LOW_SURROGATE(text_[pos]) &&
            IS_HIGH_SURROGATE(text_[pos - 1]))
            --pos;
        return pos;
    }
    return line > 0 ? LineEnd(line - 1) : pos;
}

std::size_t SourceView::CharRight(std::size_t pos) const {
    const int line = LineOf(pos);
    if (pos < LineEnd(line)) {
        ++pos;
        if (pos < LineEnd(line) && IS_LOW_SURROGATE(text_[pos]))
            ++pos;
        return pos;
    }
    return line + 1 < LineCount() ? LineStart(line + 1) : pos;
}

// ---- selection --------------------------------------------------------------------------

std::size_t SourceView::SelStart() const { return std::min(anchor_, caret_); }
std::size_t SourceView::SelLength() const { return std::max(anchor_, caret_) - SelStart(); }
std::wstring SourceView::SelText() const { return text_.Substr(SelStart(), SelLength()); }

void SourceView::SetSelStart(std::size_t start) { MoveCaret(ValidPosition(start), false); }

void SourceView::SetSelLength(std::size_t length) {
    const std::size_t start = SelStart();
    anchor_ = start;
    const std::size_t end = length > text_.size() - start ? text_.size() : start + length;
    MoveCaret(ValidPosition(end), true);
}

void SourceView::SelectAll() {
    // The view stays where it is: select all is usually followed by a copy, not reading.
    anchor_ = 0;
    caret_ = text_.size();
    if (HWND h = HandleIfAllocated()) {
        InvalidateRect(h, nullptr, FALSE);
        PlaceCaret();
    }
}

void SourceView::CopyToClipboard() {
    if (SelLength() == 0)
        return;
    Clipboard clipboard(HandleIfAllocated(), Clipboard::toWrite);
    if (clipboard.Open() && !clipboard.PutText(SelText()))
        throw Exception(L"Out of memory while copying");
}

// ---- window ------------------------------------------------------------------------------

void SourceView::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.exStyle |= WS_EX_CLIENTEDGE;
    if (hScroll_)
        args.style |= WS_HSCROLL;
    if (vScroll_)
        args.style |= WS_VSCROLL;
}

void SourceView::HandleCreated() {
    WinControl::HandleCreated();  // WM_SETFONT: metrics and scroll ranges follow
    UpdateScrollBars();
}

void SourceView::HandleDestroying() {
    // The base keeps the window's text across a re-creation; here the text never lived in
    // the window, so that copy of a possibly large text is dropped again.
    StoreText(L"");
    dragging_ = false;
}

void SourceView::SetScrollBars(bool horizontal, bool vertical) {
    hScroll_ = horizontal;
    vScroll_ = vertical;
    if (HWND h = HandleIfAllocated()) {
        ShowScrollBar(h, SB_HORZ, horizontal);
        ShowScrollBar(h, SB_VERT, vertical);
        UpdateScrollBars();
        InvalidateRect(h, nullptr, FALSE);
    }
}

void SourceView::EnabledChanged() {
    WinControl::EnabledChanged();
    Invalidate();  // the text turns grey or back
}

void SourceView::ApplyFont(HFONT font) {
    font_ = font;
    FontDC dc(HandleIfAllocated(), font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    lineHeight_ = std::max(1, static_cast<int>(tm.tmHeight));
    charWidth_ = std::max(1, static_cast<int>(tm.tmAveCharWidth));
    // Tab stops every eight average characters, as TabbedTextOut places them by default.
    tabWidth_ = 8 * charWidth_;
    widthKnown_ = false;
    maxWidth_ = 0;
    if (HWND h = HandleIfAllocated()) {
        if (GetFocus() == h) {
            CreateCaret(h, nullptr, 1, lineHeight_);
            ShowCaret(h);
        }
        ScrollTo(topLine_, scrollX_);
        UpdateScrollBars();
        PlaceCaret();
    }
}

LRESULT SourceView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND h = HandleIfAllocated();
    switch (msg) {
    case WM_GETDLGCODE:
        // Arrows and characters stay here; Tab and Enter go on to the dialog manager.
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
        ApplyFont(reinterpret_cast<HFONT>(wParam));
        if (LOWORD(lParam))
            InvalidateRect(h, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT:
        SetText(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam)
            return 0;
        const std::size_t n = std::min(text_.size(), static_cast<std::size_t>(wParam) - 1);
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        text_.CopyTo(0, n, buffer);
        buffer[n] = L'\0';
        return static_cast<LRESULT>(n);
    }
    case WM_SIZE: {
        const LRESULT r = WinControl::WndProc(msg, wParam, lParam);
        ScrollTo(topLine_, scrollX_);
        UpdateScrollBars();
        InvalidateRect(h, nullptr, FALSE);
        PlaceCaret();
        return r;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (lParam != 0)  // a scroll bar control's: the base reflects it
            break;
        OnScroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_SETFOCUS:
        CreateCaret(h, nullptr, 1, lineHeight_);
        PlaceCaret();
        ShowCaret(h);
        InvalidateRect(h, nullptr, FALSE);  // the selection shows only while focused
        break;
    case WM_KILLFOCUS:
        DestroyCaret();
        InvalidateRect(h, nullptr, FALSE);
        break;
    case WM_KEYDOWN: {
        WORD key = static_cast<WORD>(wParam);
        const unsigned shift = KeyboardShiftState();
        KeyDown(key, shift);  // OnKeyDown may take the key
        if (key == 0 || HandleKey(key, shift))
            return 0;
        return DefaultHandler(msg, key, lParam);
    }
    case WM_CHAR:
        return 0;  // nothing is typed into the view
    case WM_LBUTTONDOWN:
        if (GetFocus() != h)
            ::SetFocus(h);
        MouseSelect(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_SHIFT) != 0);
        // Keep the mouse while the button is down, and scroll while it is held outside.
        SetCapture(h);
        dragging_ = true;
        SetTimer(h, kDragTimer, kDragTimerMs, nullptr);
        break;
    case WM_MOUSEMOVE:
        if (dragging_)
            MouseSelect(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), true);
        break;
    case WM_LBUTTONUP:
        EndDrag();
        break;
    case WM_LBUTTONDBLCLK:
        SelectWordAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != h && dragging_) {
            dragging_ = false;
            KillTimer(h, kDragTimer);
        }
        break;
    case WM_TIMER:
        if (wParam != kDragTimer)
            break;
        if (dragging_) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(h, &p);
            RECT client;
            GetClientRect(h, &client);
            if (!PtInRect(&client, p))
                MouseSelect(p.x, p.y, true);
        }
        return 0;
    default:
        break;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---- geometry ----------------------------------------------------------------------------

int SourceView::VisibleLines() const { return std::max(1, ClientHeight() / lineHeight_); }

int SourceView::MaxTopLine() const { return std::max(0, LineCount() - VisibleLines()); }

int SourceView::MaxScrollX() const { return std::max(0, maxWidth_ + 2 * kMargin - ClientWidth()); }

void SourceView::EstimateWidth() {
    // The line with the most characters stands for the widest; lines wider than it widen
    // the range as they come into view. Measuring every line here would cost seconds.
    widthKnown_ = true;
    const std::size_t start = LineStart(longestLine_);
    FontDC dc(HandleIfAllocated(), font_);
    const auto xs =
        CharBoundaries(dc.get(), text_, start, LineEnd(longestLine_) - start, tabWidth_, INT_MAX);
    maxWidth_ = std::max(maxWidth_, xs.back());
}

void SourceView::NoteLineWidth(int width) {
    if (width <= maxWidth_)
        return;
    maxWidth_ = width;
    UpdateScrollBars();
}

std::vector<int> SourceView::Boundaries(HDC dc, int line, int limit) const {
    const std::size_t start = LineStart(line);
    return CharBoundaries(dc, text_, start, LineEnd(line) - start, tabWidth_, limit);
}

int SourceView::XOf(std::size_t pos) {
    const int line = LineOf(pos);
    const std::size_t start = LineStart(line);
    FontDC dc(HandleIfAllocated(), font_);
    const int x = CharBoundaries(dc.get(), text_, start, pos - start, tabWidth_, INT_MAX).back();
    NoteLineWidth(x);
    return x;
}

std::size_t SourceView::PositionAtX(int line, int x) {
    const std::size_t start = LineStart(line);
    if (x <= 0)
        return start;
    FontDC dc(HandleIfAllocated(), font_);
    const auto xs = Boundaries(dc.get(), line, x);
    // The nearest boundary: past the middle of a character means after it.
    std::size_t j = 0;
    while (j + 1 < xs.size() && x >= (xs[j] + xs[j + 1]) / 2)
        ++j;
    return ValidPosition(start + j);
}

std::size_t SourceView::PositionAtPoint(int x, int y) {
    const int line = std::clamp(topLine_ + FloorDiv(y, lineHeight_), 0, LineCount() - 1);
    return PositionAtX(line, x - kMargin + scrollX_);
}

// ---- painting ----------------------------------------------------------------------------

bool SourceView::EraseBackground(HDC) {
    return true;  // PaintWindow fills every pixel, off screen, so nothing flickers
}

void SourceView::PaintWindow(HDC dc, const RECT& area) {
    HWND h = HandleIfAllocated();
    RECT client;
    GetClientRect(h, &client);
    RECT r;
    if (!IntersectRect(&r, &area, &client))
        return;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    MemoryDC mem(CreateCompatibleDC(dc));
    BitmapHandle bitmap(CreateCompatibleBitmap(dc, width, height));
    int widest = 0;
    {
        SelectGuard selectBitmap(mem.get(), bitmap.get());
        SelectGuard selectFont(mem.get(), font_);
        SetViewportOrgEx(mem.get(), -r.left, -r.top, nullptr);
        FillRect(mem.get(), &r, BackgroundBrush().get());
        SetBkMode(mem.get(), TRANSPARENT);
        const int first = topLine_ + static_cast<int>(r.top) / lineHeight_;
        const int last =
            std::min(LineCount() - 1, topLine_ + static_cast<int>(r.bottom - 1) / lineHeight_);
        for (int line = first; line <= last; ++line)
            widest = std::max(widest, DrawLine(mem.get(), line, (line - topLine_) * lineHeight_,
                                               static_cast<int>(client.right)));
        BitBlt(dc, r.left, r.top, width, height, mem.get(), r.left, r.top, SRCCOPY);
    }
    // Lines first seen now may be wider than any before: the range grows to take them.
    NoteLineWidth(widest);
}

int SourceView::DrawLine(HDC dc, int line, int y, int clientWidth) const {
    const std::size_t start = LineStart(line);
    const std::size_t end = LineEnd(line);
    const std::size_t n = end - start;
    const auto xs = CharBoundaries(dc, text_, start, n, tabWidth_, scrollX_ + clientWidth);
    const std::size_t measured = xs.size() - 1;
    const int originX = kMargin - scrollX_;

    // The part of the selection on this line, in columns, and whether it takes the break.
    std::size_t selFirst = 0, selLast = 0;
    bool selBreak = false;
    const std::size_t a = SelStart();
    const std::size_t b = a + SelLength();
    if (a < b && GetFocus() == HandleIfAllocated() && a <= end && b > start) {
        selFirst = std::max(a, start) - start;
        selLast = std::min(b, end) - start;
        selBreak = b > end;
        const int left = originX + xs[std::min(selFirst, measured)];
        int right = selLast <= measured ? originX + xs[selLast] : clientWidth;
        if (selBreak && measured == n)
            right += charWidth_;
        RECT band{left, y, right, y + lineHeight_};
        FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    }

    const COLORREF normal =
        Enabled() ? ColorToRGB(GetFont().Color()) : GetSysColor(COLOR_GRAYTEXT);
    const COLORREF selected = GetSysColor(COLOR_HIGHLIGHTTEXT);
    // Characters wholly left of the view are not drawn.
    std::size_t j = 0;
    while (j < measured && originX + xs[j + 1] < 0)
        ++j;
    // Only the characters measured are drawn, so only they are taken as UTF-16.
    std::wstring scratch;
    const wchar_t* s = text_.Range(start, measured, scratch);
    std::vector<int> dx;
    while (j < measured) {
        if (s[j] == L'\t') {
            ++j;
            continue;
        }
        const bool inSelection = j >= selFirst && j < selLast;
        std::size_t k = j;
        while (k < measured && s[k] != L'\t' && (k >= selFirst && k < selLast) == inSelection)
            ++k;
        // The advances measured above, so the glyphs land exactly where the caret and the
        // selection think they are.
        dx.resize(k - j);
        for (std::size_t i = j; i < k; ++i)
            dx[i - j] = xs[i + 1] - xs[i];
        SetTextColor(dc, inSelection ? selected : normal);
        ExtTextOutW(dc, originX + xs[j], y, 0, nullptr, s + j, static_cast<UINT>(k - j),
                    dx.data());
        j = k;
    }
    return measured == n ? xs[n] : 0;
}

} // namespace tmb
