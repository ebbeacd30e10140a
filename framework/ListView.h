// A list view control in report, list or icon style whose items are kept in C++ and shown
// through the control's owner-data mode: the control asks for a row's texts and image only
// when it draws the row, so a list of 100,000 items fills and sorts as fast as a vector
// does. The control still keeps the selection and the focus mark, draws the header and runs
// in-place caption editing; its notifications come back as the hooks and events below.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/ImageList.h"
#include "framework/WinControl.h"

namespace tmb {

enum class ViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum class ColumnAlign { taLeftJustify, taRightJustify, taCenter };

struct ListColumn {
    std::wstring caption;
    int width = 50;  // at 96 DPI: the list shows it at its own
    ColumnAlign align = ColumnAlign::taLeftJustify;
};

struct ListItem {
    // An image index that is asked for (ItemImage) the first time the row is drawn.
    static constexpr int kImageWhenDrawn = -1000;

    std::wstring caption;
    int imageIndex = -1;  // -1: no image
    // The texts of the columns after the first, in column order; more than the columns is
    // allowed (hidden data of the item).
    std::vector<std::wstring> subItems;
    // Free for the list's user.
    std::uint64_t data = 0;
    // The control class's own mark on the item: a subclass that keeps data of its own beside
    // the items finds it by this. The list's user can neither read nor set it, so `data`
    // stays wholly the user's; a copy of the item carries it.
    class ClassMark {
        std::uint32_t value_ = 0;
        bool textsLater_ = false;  // subItems still to be made (see ListView::MakeItemTexts)
        friend class ListView;
    };
    ClassMark classMark;

    // The text of sub-item `i`, or the empty text when the item has fewer.
    const std::wstring& SubItem(std::size_t i) const;
};

using ListColumnClickEvent = std::function<void(Component* sender, int column)>;
// Sets `compare` negative when `a` goes before `b`, positive when after, 0 when equal.
using ListCompareEvent =
    std::function<void(Component* sender, const ListItem& a, const ListItem& b, int& compare)>;
using ListEditingEvent = std::function<void(Component* sender, int index, bool& allow)>;
// Fired with the typed caption before it becomes the item's; the handler may change it.
using ListEditedEvent = std::function<void(Component* sender, int index, std::wstring& text)>;

class ListView : public WinControl {
public:
    explicit ListView(Component* owner);

    // --- the look -----------------------------------------------------------------------
    ViewStyle GetViewStyle() const { return viewStyle_; }
    void SetViewStyle(ViewStyle style);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    // No caption can be edited in place while set.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool value);
    // The whole row is highlighted, not only the caption.
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool value);

    // The image lists for the icon view and for the other views; owned lists are destroyed
    // with the control (or when replaced), shared ones never.
    HIMAGELIST LargeImages() const { return largeImages_.get(); }
    void SetLargeImages(ImageList list);
    HIMAGELIST SmallImages() const { return smallImages_.get(); }
    void SetSmallImages(ImageList list);

    // --- columns (kept across re-creations of the window) -------------------------------
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const ListColumn& Column(int index) const { return columns_[static_cast<std::size_t>(index)]; }
    // The width as shown (the user may have dragged it).
    int ColumnWidth(int index) const;
    void ClearColumns();
    int AddColumn(const ListColumn& column);
    HWND HeaderHandle() const;

    // --- items -----------------------------------------------------------------------------
    int ItemCount() const { return static_cast<int>(items_.size()); }
    // The item with all its texts (a subclass's item whose texts were left for later gets
    // them now, once).
    const ListItem& Item(int index) const;
    // Adds an item at the end; returns its index.
    int AddItem(ListItem item);
    // Replaces an item's texts and image and redraws its row.
    void SetItem(int index, ListItem item);
    void SetItemCaption(int index, const std::wstring& caption);
    void SetItemImage(int index, int image);
    void DeleteItem(int index);
    void ClearItems();
    // Brackets a batch of item changes: the control is told the new count and redraws once
    // when the outermost bracket closes. Brackets nest.
    void BeginItemsUpdate();
    void EndItemsUpdate();

    // Sorts the items once with Compare, stable, keeping each item's selection and the focus
    // mark with the item.
    void Sort();

    // --- selection and focus ------------------------------------------------------------
    // The first selected item, or -1.
    int SelectedIndex() const;
    std::vector<int> SelectedIndices() const;
    int SelectedCount() const;
    bool IsSelected(int index) const;
    void SetSelected(int index, bool selected);
    void SelectAll();
    void ClearSelection();
    // The item with the focus mark, or -1.
    int FocusedIndex() const;
    // Gives the focus mark to an item without selecting it.
    void SetFocusedIndex(int index);
    void MakeVisible(int index);
    // The item's row (LVIR_BOUNDS) or its caption (LVIR_LABEL) in client coordinates.
    RECT ItemRect(int index, bool captionOnly) const;

    // Starts in-place editing of an item's caption; the edit box, or null when refused.
    HWND EditCaption(int index);
    bool IsEditing() const;

    // --- events -------------------------------------------------------------------------
    ListColumnClickEvent OnColumnClick;
    ListCompareEvent OnCompare;
    ListEditingEvent OnEditing;
    ListEditedEvent OnEdited;
    // The set of selected items changed (by the user or by the program).
    NotifyEvent OnSelectionChange;

protected:
    void CreateParams(CreateArgs& args) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool SelectedItemRect(RECT& item) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void ColorChanged() override;
    void ChangeScale(int to, int from) override;

    // A header was clicked; the default fires OnColumnClick.
    virtual void ColumnClicked(int column);
    // Sort brackets its comparisons: StartSort runs once before the first Compare and
    // EndSort after the last (also when a comparison throws). The rows keep their places in
    // between, so a subclass can make one key per row at the start and compare rows by their
    // keys, as WTL's sortable list view does. The defaults make and drop the captions' sort
    // keys when no OnCompare is set.
    virtual void StartSort();
    virtual void EndSort();
    // The comparison Sort uses, of rows `a` and `b` as they stand when the sort starts; the
    // default asks OnCompare with the two items, and without it compares the captions as the
    // user's locale orders them.
    virtual int Compare(int a, int b);
    // Asked before a caption may be edited; the default refuses in ReadOnly and asks
    // OnEditing.
    virtual bool CanEdit(int index);
    // The end of in-place editing: `text` is the typed caption, or null when cancelled. The
    // default fires OnEdited and takes the caption into the item.
    virtual void Edit(int index, const std::wstring* text);
    // The image of an item added with kImageWhenDrawn, asked once when its row is first
    // drawn; the answer is kept in the item.
    virtual int ItemImage(int index);
    // The selection changed; the default fires OnSelectionChange.
    virtual void SelectionChanged();

    // The class's own mark on an item (see ListItem::classMark); 0 on an item made elsewhere.
    static std::uint32_t MarkOf(const ListItem& item) { return item.classMark.value_; }
    static void SetMark(ListItem& item, std::uint32_t mark) { item.classMark.value_ = mark; }

    // An item added with its sub-item texts left out: MakeItemTexts makes them the first time
    // anything reads them (Item, or the control drawing the row), and they are kept from then
    // on. A folder of 100,000 entries then costs the texts of the rows shown, not of all.
    static void SetTextsLater(ListItem& item) { item.classMark.textsLater_ = true; }
    // The sub-item texts of item `index`, marked with SetTextsLater; the default makes none.
    virtual void MakeItemTexts(int index, std::vector<std::wstring>& subItems);
    bool TextsLater(int index) const { return items_[static_cast<std::size_t>(index)].classMark.textsLater_; }
    // The item as it is held: its texts may still be to come (TextsLater).
    const ListItem& HeldItem(int index) const { return items_[static_cast<std::size_t>(index)]; }

private:
    void PaintBuffered();
    void ApplyColumns();
    void ApplyItemCount();
    void ApplyExtendedStyle();
    void FillDisplayInfo(NMLVDISPINFOW& info);
    ListItem& WithTexts(std::size_t index);
    int FindCaption(const NMLVFINDITEMW& find) const;

    ViewStyle viewStyle_ = ViewStyle::vsIcon;
    bool multiSelect_ = false;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool showColumnHeaders_ = true;
    bool rowSelect_ = false;
    bool gridLines_ = false;
    bool endingEdit_ = false;
    bool quietSelection_ = false;  // Sort is putting the selection back row by row
    int itemsUpdate_ = 0;
    ImageList largeImages_;
    ImageList smallImages_;
    std::vector<ListColumn> columns_;
    std::vector<ListItem> items_;
    std::vector<std::string> sortKeys_;  // the captions' sort keys, while Sort runs
};

// BeginItemsUpdate/EndItemsUpdate for a scope, closed also when an error leaves it.
class ItemsUpdate {
public:
    explicit ItemsUpdate(ListView& list) : list_(list) { list_.BeginItemsUpdate(); }
    ~ItemsUpdate() { list_.EndItemsUpdate(); }
    ItemsUpdate(const ItemsUpdate&) = delete;
    ItemsUpdate& operator=(const ItemsUpdate&) = delete;

private:
    ListView& list_;
};

} // namespace tmb
