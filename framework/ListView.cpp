// The owner-data list view: the items live in a vector, the control asks for what it draws.
#include "framework/ListView.h"

#include <algorithm>
#include <functional>
#include <numeric>

#include "framework/Dpi.h"
#include "framework/InPlaceEdit.h"
#include "framework/TextConv.h"

namespace tmb {
namespace {

DWORD ViewStyleBits(ViewStyle style) {
    switch (style) {
    case ViewStyle::vsIcon: return LVS_ICON;
    case ViewStyle::vsSmallIcon: return LVS_SMALLICON;
    case ViewStyle::vsList: return LVS_LIST;
    case ViewStyle::vsReport: return LVS_REPORT;
    }
    return LVS_ICON;
}

int ColumnFormat(ColumnAlign align) {
    switch (align) {
    case ColumnAlign::taRightJustify: return LVCFMT_RIGHT;
    case ColumnAlign::taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
    }
}

const std::wstring kNoText;

} // namespace

const std::wstring& ListItem::SubItem(std::size_t i) const {
    return i < subItems.size() ? subItems[i] : kNoText;
}

const ListItem& ListView::Item(int index) const {
    // Texts made on first reading are a cache of what the subclass would say: making them
    // changes nothing the caller can see.
    return const_cast<ListView*>(this)->WithTexts(static_cast<std::size_t>(index));
}

ListItem& ListView::WithTexts(std::size_t index) {
    ListItem& item = items_[index];
    if (item.classMark.textsLater_) {
        // Making them may read other items (their texts too), never add or remove one, so
        // the reference stays good.
        std::vector<std::wstring> texts;
        MakeItemTexts(static_cast<int>(index), texts);
        item.subItems = std::move(texts);
        item.classMark.textsLater_ = false;
    }
    return item;
}

void ListView::MakeItemTexts(int, std::vector<std::wstring>&) {}

ListView::ListView(Component* owner) : WinControl(owner) {
    SetColor(clWindow);
    SetTabStop(true);
}

// ---- the window ---------------------------------------------------------------------------

void ListView::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.className = WC_LISTVIEWW;
    // The image lists belong to their ImageList holders (the system's lists to nobody), so
    // the control must never destroy them.
    args.style |= LVS_OWNERDATA | LVS_SHAREIMAGELISTS | ViewStyleBits(viewStyle_);
    if (!multiSelect_)
        args.style |= LVS_SINGLESEL;
    if (!readOnly_)
        args.style |= LVS_EDITLABELS;
    if (!hideSelection_)
        args.style |= LVS_SHOWSELALWAYS;
    if (!showColumnHeaders_)
        args.style |= LVS_NOCOLUMNHEADER;
    args.exStyle |= WS_EX_CLIENTEDGE;
}

void ListView::HandleCreated() {
    WinControl::HandleCreated();
    HWND h = HandleIfAllocated();
    // The notifications this object reads are the UTF-16 ones.
    SendMessageW(h, CCM_SETUNICODEFORMAT, TRUE, 0);
    ApplyExtendedStyle();
    if (largeImages_)
        ListView_SetImageList(h, largeImages_.get(), LVSIL_NORMAL);
    if (smallImages_)
        ListView_SetImageList(h, smallImages_.get(), LVSIL_SMALL);
    ColorChanged();
    ApplyColumns();
    ApplyItemCount();
}

void ListView::ColorChanged() {
    if (HWND h = HandleIfAllocated()) {
        const COLORREF c = ColorToRGB(Color());
        ListView_SetBkColor(h, c);
        ListView_SetTextBkColor(h, c);
        InvalidateRect(h, nullptr, TRUE);
    }
}

void ListView::ApplyExtendedStyle() {
    if (HWND h = HandleIfAllocated()) {
        const DWORD mask = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP;
        DWORD bits = 0;
        if (rowSelect_)
            bits |= LVS_EX_FULLROWSELECT;
        if (gridLines_)
            bits |= LVS_EX_GRIDLINES;
        ListView_SetExtendedListViewStyleEx(h, mask, bits);
    }
}

void ListView::SetViewStyle(ViewStyle style) {
    viewStyle_ = style;
    if (HWND h = HandleIfAllocated()) {
        const LONG_PTR old = GetWindowLongPtrW(h, GWL_STYLE);
        SetWindowLongPtrW(h, GWL_STYLE, (old & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) |
                                            ViewStyleBits(style));
        InvalidateRect(h, nullptr, TRUE);
    }
}

void ListView::SetMultiSelect(bool value) {
    multiSelect_ = value;
    SetStyleBit(LVS_SINGLESEL, !value);
}

void ListView::SetReadOnly(bool value) {
    readOnly_ = value;
    SetStyleBit(LVS_EDITLABELS, !value);
}

void ListView::SetHideSelection(bool value) {
    hideSelection_ = value;
    SetStyleBit(LVS_SHOWSELALWAYS, !value);
}

void ListView::SetShowColumnHeaders(bool value) {
    showColumnHeaders_ = value;
    SetStyleBit(LVS_NOCOLUMNHEADER, !value);
}

void ListView::SetRowSelect(bool value) {
    rowSelect_ = value;
    ApplyExtendedStyle();
}

void ListView::SetGridLines(bool value) {
    gridLines_ = value;
    ApplyExtendedStyle();
}

void ListView::SetLargeImages(ImageList list) {
    largeImages_ = std::move(list);
    if (HWND h = HandleIfAllocated())
        ListView_SetImageList(h, largeImages_.get(), LVSIL_NORMAL);
}

void ListView::SetSmallImages(ImageList list) {
    smallImages_ = std::move(list);
    if (HWND h = HandleIfAllocated())
        ListView_SetImageList(h, smallImages_.get(), LVSIL_SMALL);
}

// ---- columns ------------------------------------------------------------------------------

int ListView::ColumnWidth(int index) const {
    if (HWND h = HandleIfAllocated())
        return ListView_GetColumnWidth(h, index);
    return Scaled(Column(index).width);
}

void ListView::ChangeScale(int to, int from) {
    WinControl::ChangeScale(to, from);
    // The widths as shown: a column the user dragged keeps its share of the new size.
    if (HWND h = HandleIfAllocated())
        for (int i = 0; i < ColumnCount(); ++i)
            ListView_SetColumnWidth(h, i, ScaleLength(ListView_GetColumnWidth(h, i), to, from));
}

HWND ListView::HeaderHandle() const {
    HWND h = HandleIfAllocated();
    return h ? ListView_GetHeader(h) : nullptr;
}

void ListView::ClearColumns() {
    columns_.clear();
    if (HWND h = HandleIfAllocated())
        while (ListView_DeleteColumn(h, 0)) {
        }
}

int ListView::AddColumn(const ListColumn& column) {
    columns_.push_back(column);
    const int index = ColumnCount() - 1;
    if (HWND h = HandleIfAllocated()) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        c.pszText = const_cast<wchar_t*>(column.caption.c_str());
        c.cx = Scaled(column.width);  // written for 96 DPI
        c.fmt = ColumnFormat(column.align);
        c.iSubItem = index;
        ListView_InsertColumn(h, index, &c);
    }
    return index;
}

void ListView::ApplyColumns() {
    HWND h = HandleIfAllocated();
    if (!h)
        return;
    while (ListView_DeleteColumn(h, 0)) {
    }
    const std::vector<ListColumn> columns = std::move(columns_);
    columns_.clear();
    for (const ListColumn& c : columns)
        AddColumn(c);
}

// ---- items --------------------------------------------------------------------------------

void ListView::ApplyItemCount() {
    if (HWND h = HandleIfAllocated())
        ListView_SetItemCountEx(h, ItemCount(), LVSICF_NOSCROLL);
}

void ListView::BeginItemsUpdate() {
    if (itemsUpdate_++ == 0)
        BeginUpdate();
}

void ListView::EndItemsUpdate() {
    if (itemsUpdate_ == 0)
        return;
    if (--itemsUpdate_ == 0) {
        ApplyItemCount();
        EndUpdate();
    }
}

int ListView::AddItem(ListItem item) {
    items_.push_back(std::move(item));
    if (itemsUpdate_ == 0)
        ApplyItemCount();
    return ItemCount() - 1;
}

void ListView::SetItem(int index, ListItem item) {
    if (index < 0 || index >= ItemCount())
        return;
    items_[static_cast<std::size_t>(index)] = std::move(item);
    if (HWND h = HandleIfAllocated())
        ListView_RedrawItems(h, index, index);
}

void ListView::SetItemCaption(int index, const std::wstring& caption) {
    if (index < 0 || index >= ItemCount())
        return;
    // The texts left for later may be made from the caption: they are made from the old one.
    WithTexts(static_cast<std::size_t>(index)).caption = caption;
    if (HWND h = HandleIfAllocated())
        ListView_RedrawItems(h, index, index);
}

void ListView::SetItemImage(int index, int image) {
    if (index < 0 || index >= ItemCount())
        return;
    items_[static_cast<std::size_t>(index)].imageIndex = image;
    if (HWND h = HandleIfAllocated())
        ListView_RedrawItems(h, index, index);
}

void ListView::DeleteItem(int index) {
    if (index < 0 || index >= ItemCount())
        return;
    // The control moves the selection of the rows after it up by one.
    if (HWND h = HandleIfAllocated())
        ListView_DeleteItem(h, index);
    items_.erase(items_.begin() + index);
    if (itemsUpdate_ == 0)
        ApplyItemCount();
}

void ListView::ClearItems() {
    items_.clear();
    if (HWND h = HandleIfAllocated())
        ListView_DeleteAllItems(h);
}

void ListView::Sort() {
    if (items_.size() < 2)
        return;
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    {
        struct Bracket {
            ListView& list;
            ~Bracket() { list.EndSort(); }
        } bracket{*this};
        StartSort();
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return Compare(a, b) < 0;
        });
    }
    // The control knows selection by row: carry it, and the focus mark, to the new rows.
    HWND h = HandleIfAllocated();
    const std::vector<int> oldSelected = SelectedIndices();
    const int oldFocus = FocusedIndex();
    std::vector<ListItem> sorted;
    sorted.reserve(items_.size());
    for (int i : order)
        sorted.push_back(std::move(items_[static_cast<std::size_t>(i)]));
    items_ = std::move(sorted);
    if (!h)
        return;
    // Only the rows whose state changes are touched: setting a state on every row at once
    // (item -1) costs one notification per row in an owner-data list.
    std::vector<int> newRowOf(order.size());
    for (std::size_t row = 0; row < order.size(); ++row)
        newRowOf[static_cast<std::size_t>(order[row])] = static_cast<int>(row);
    {
        // Each row put back still sends its own change notice: with many rows selected, a
        // handler doing any work per notice would turn one sort into quadratic work. The
        // handlers hear once, after the last row.
        FlagScope quiet(quietSelection_);
        // A row selected before and after (every row, after Ctrl+A) is left alone.
        std::vector<char> before(order.size(), 0), after(order.size(), 0);
        for (int i : oldSelected) {
            before[static_cast<std::size_t>(i)] = 1;
            after[static_cast<std::size_t>(newRowOf[static_cast<std::size_t>(i)])] = 1;
        }
        for (std::size_t row = 0; row < order.size(); ++row)
            if (before[row] && !after[row])
                ListView_SetItemState(h, static_cast<int>(row), 0, LVIS_SELECTED);
        for (std::size_t row = 0; row < order.size(); ++row)
            if (after[row] && !before[row])
                ListView_SetItemState(h, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
        if (oldFocus >= 0)
            ListView_SetItemState(h, newRowOf[static_cast<std::size_t>(oldFocus)], LVIS_FOCUSED, LVIS_FOCUSED);
    }
    if (!oldSelected.empty())
        SelectionChanged();
    InvalidateRect(h, nullptr, TRUE);
}

void ListView::StartSort() {
    // Captions compared as the locale orders them are compared by their sort keys, made
    // once per item rather than twice per comparison.
    if (OnCompare)
        return;
    sortKeys_.reserve(items_.size());
    for (const ListItem& item : items_)
        sortKeys_.push_back(SortKey(item.caption, false));
}

void ListView::EndSort() { sortKeys_.clear(); }

int ListView::Compare(int a, int b) {
    if (OnCompare) {
        int compare = 0;
        OnCompare(this, Item(a), Item(b), compare);
        return compare;
    }
    const ListItem& x = HeldItem(a);
    const ListItem& y = HeldItem(b);
    // During Sort the rows keep their places and every caption's key is ready.
    if (sortKeys_.size() == items_.size())
        return sortKeys_[static_cast<std::size_t>(a)].compare(sortKeys_[static_cast<std::size_t>(b)]);  // bytes compared as unsigned
    return CompareStringW(LOCALE_USER_DEFAULT, 0, x.caption.c_str(),
                          static_cast<int>(x.caption.size()), y.caption.c_str(),
                          static_cast<int>(y.caption.size())) - CSTR_EQUAL;
}

// ---- selection ----------------------------------------------------------------------------

int ListView::SelectedIndex() const {
    HWND h = HandleIfAllocated();
    return h ? ListView_GetNextItem(h, -1, LVNI_SELECTED) : -1;
}

std::vector<int> ListView::SelectedIndices() const {
    std::vector<int> result;
    HWND h = HandleIfAllocated();
    if (!h)
        return result;
    for (int i = ListView_GetNextItem(h, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(h, i, LVNI_SELECTED))
        result.push_back(i);
    return result;
}

int ListView::SelectedCount() const {
    HWND h = HandleIfAllocated();
    return h ? static_cast<int>(ListView_GetSelectedCount(h)) : 0;
}

bool ListView::IsSelected(int index) const {
    HWND h = HandleIfAllocated();
    return h && (ListView_GetItemState(h, index, LVIS_SELECTED) & LVIS_SELECTED);
}

void ListView::SetSelected(int index, bool selected) {
    if (index < 0 || index >= ItemCount())
        return;
    ListView_SetItemState(Handle(), index, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void ListView::SelectAll() {
    if (multiSelect_ && ItemCount() > 0)
        ListView_SetItemState(Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
}

void ListView::ClearSelection() {
    HWND h = HandleIfAllocated();
    if (!h)
        return;
    // Row by row while few are selected: the whole list at once costs a notification per row.
    const std::vector<int> selected = SelectedIndices();
    if (selected.size() > 64) {
        ListView_SetItemState(h, -1, 0, LVIS_SELECTED);
        return;
    }
    for (int i : selected)
        ListView_SetItemState(h, i, 0, LVIS_SELECTED);
}

int ListView::FocusedIndex() const {
    HWND h = HandleIfAllocated();
    return h ? ListView_GetNextItem(h, -1, LVNI_FOCUSED) : -1;
}

void ListView::SetFocusedIndex(int index) {
    if (index < 0 || index >= ItemCount())
        return;
    ListView_SetItemState(Handle(), index, LVIS_FOCUSED, LVIS_FOCUSED);
}

void ListView::MakeVisible(int index) {
    if (index >= 0 && index < ItemCount())
        ListView_EnsureVisible(Handle(), index, FALSE);
}

RECT ListView::ItemRect(int index, bool captionOnly) const {
    RECT r{};
    if (HWND h = HandleIfAllocated())
        ListView_GetItemRect(h, index, &r, captionOnly ? LVIR_LABEL : LVIR_BOUNDS);
    return r;
}

HWND ListView::EditCaption(int index) {
    if (index < 0 || index >= ItemCount())
        return nullptr;
    HWND h = Handle();
    SetFocus();
    return ListView_EditLabel(h, index);
}

bool ListView::IsEditing() const {
    HWND h = HandleIfAllocated();
    return h && ListView_GetEditControl(h) != nullptr;
}

bool ListView::SelectedItemRect(RECT& item) {
    int i = FocusedIndex();
    if (i < 0 || !IsSelected(i))
        i = SelectedIndex();
    return i >= 0 && ListView_GetItemRect(Handle(), i, &item, LVIR_LABEL);
}

// The control draws the part to repaint into a bitmap, copied to the window in one piece.
// Under Wine a row drawn straight on the window costs three round trips to the server more
// (the scratch bitmap for its icon asks the display for its colour depth), about a tenth of
// a scrolled page's time; drawn in memory, only the bitmap itself asks.
void ListView::PaintBuffered() {
    PaintDC screen(Handle());
    const RECT area = screen.PaintRect();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return;
    MemoryDC memory(CreateCompatibleDC(screen.get()));
    BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const COLORREF background = ListView_GetBkColor(Handle());
    if (!memory || !bitmap || background == CLR_NONE) {
        DefaultHandler(WM_PAINT, reinterpret_cast<WPARAM>(screen.get()), 0);
        return;
    }
    SelectGuard target(memory.get(), bitmap.get());
    SetViewportOrgEx(memory.get(), -area.left, -area.top, nullptr);
    IntersectClipRect(memory.get(), area.left, area.top, area.right, area.bottom);
    const BrushHandle fill(CreateSolidBrush(background));
    FillRect(memory.get(), &area, fill.get());
    DefaultHandler(WM_PAINT, reinterpret_cast<WPARAM>(memory.get()), 0);
    // The header and a name being edited keep what they drew themselves.
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        if (IsWindowVisible(child) && GetWindowRect(child, &r)) {
            MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
            ExcludeClipRect(screen.get(), r.left, r.top, r.right, r.bottom);
        }
    }
    BitBlt(screen.get(), area.left, area.top, width, height, memory.get(), area.left, area.top,
           SRCCOPY);
}

LRESULT ListView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT && wParam == 0) {
        PaintBuffered();
        return 0;
    }
    if (msg == WM_GETDLGCODE) {
        // Enter and Esc are the list's keys (open, close), not the window's default and
        // cancel buttons: the dialog manager of the form must hand them over.
        LRESULT code = WinControl::WndProc(msg, wParam, lParam);
        const auto* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---- notifications ------------------------------------------------------------------------

void ListView::FillDisplayInfo(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (item.iItem < 0 || item.iItem >= ItemCount())
        return;
    // A row's texts are made the first time it is drawn and kept for every later paint.
    ListItem& data = WithTexts(static_cast<std::size_t>(item.iItem));
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::wstring& text =
            item.iSubItem == 0 ? data.caption : data.SubItem(static_cast<std::size_t>(item.iSubItem - 1));
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        text.copy(item.pszText, n);
        item.pszText[n] = L'\0';
    }
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
        if (data.imageIndex == ListItem::kImageWhenDrawn)
            data.imageIndex = ItemImage(item.iItem);
        item.iImage = data.imageIndex;
    }
}

int ListView::FindCaption(const NMLVFINDITEMW& find) const {
    // Type-ahead: the first caption from the start item on that begins with the typed text.
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz)
        return -1;
    const std::wstring typed = find.lvfi.psz;
    const int count = ItemCount();
    if (count == 0 || typed.empty())
        return -1;
    const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
    int start = find.iStart;
    if (start < 0 || start >= count)
        start = 0;
    for (int n = 0; n < count; ++n) {
        const int i = (start + n) % count;
        if (!(find.lvfi.flags & LVFI_WRAP) && i < start)
            break;
        const std::wstring& caption = HeldItem(i).caption;  // no texts made for a caption
        const std::wstring head = partial ? caption.substr(0, typed.size()) : caption;
        if (SameText(head, typed))
            return i;
    }
    return -1;
}

bool ListView::Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_NOTIFY)
        return false;
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    switch (hdr->code) {
    case LVN_GETDISPINFOW:
        FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        result = 0;
        return true;
    case LVN_ODFINDITEMW:
        result = FindCaption(*reinterpret_cast<const NMLVFINDITEMW*>(lParam));
        return true;
    case LVN_COLUMNCLICK:
        ColumnClicked(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        result = 0;
        return true;
    case LVN_BEGINLABELEDITW:
    case LVN_ENDLABELEDITW: {
        const LVITEMW& item = reinterpret_cast<const NMLVDISPINFOW*>(lParam)->item;
        result = LabelEditNotice(hdr->code == LVN_BEGINLABELEDITW, endingEdit_, item.pszText,
                                 [&] { return CanEdit(item.iItem); },
                                 [&](const std::wstring* text) { Edit(item.iItem, text); });
        return true;
    }
    case LVN_ITEMCHANGED: {
        // One notice for a single item, or one with item -1 for all of them.
        const auto* nm = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (!quietSelection_ && (nm->uChanged & LVIF_STATE) &&
            ((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED))
            SelectionChanged();
        result = 0;
        return true;
    }
    case LVN_ODSTATECHANGED: {
        // A range selected with Shift in an owner-data list.
        const auto* nm = reinterpret_cast<const NMLVODSTATECHANGE*>(lParam);
        if (!quietSelection_ && ((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED))
            SelectionChanged();
        result = 0;
        return true;
    }
    case NM_CLICK:
        Click();
        result = 0;
        return true;
    default:
        return false;
    }
}

void ListView::ColumnClicked(int column) {
    if (OnColumnClick)
        OnColumnClick(this, column);
}

bool ListView::CanEdit(int index) {
    bool allow = !readOnly_ && index >= 0 && index < ItemCount();
    if (allow && OnEditing)
        OnEditing(this, index, allow);
    return allow;
}

void ListView::Edit(int index, const std::wstring* text) {
    if (!text || index < 0 || index >= ItemCount())
        return;
    std::wstring caption = *text;
    if (OnEdited)
        OnEdited(this, index, caption);
    SetItemCaption(index, caption);
}

int ListView::ItemImage(int) { return -1; }

void ListView::SelectionChanged() {
    if (OnSelectionChange)
        OnSelectionChange(this);
}

} // namespace tmb
