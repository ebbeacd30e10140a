// Menus written as tables: a row per entry gives its name and tag (what a shared click
// handler goes by), its caption, its picture, the rules that enable and tick it and the
// action it runs. One builder makes a menu's items from a table, one pass applies the rules
// to the state of the moment, one lookup runs the action of a chosen entry.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

#include "framework/PopupMenu.h"

namespace tmb {

// Caption is whatever the owner's texts are looked up by (a text id, or the text itself).
template <class Caption, class State, class Target>
struct MenuRow {
    const wchar_t* name;                      // null: a separator
    long tag;                                 // on a menu bar, the command id too
    Caption caption;
    const wchar_t* picture;                   // bitmap resource name, or null
    bool (*enabled)(const State&, long tag);  // null: always enabled
    void (*action)(Target&, long tag);        // null: nothing to run (a submenu)
    bool (*checked)(const State&, long tag) = nullptr;
    int depth = 0;  // rows deeper than the row above them make that row's submenu
    bool radio = false;
};

// The action of a row that calls a member function of the target with fixed arguments:
// `Call<&Target::Method>`, `Call<&Target::Method, 2>`.
template <auto Method, auto... Arguments, class Target>
void Call(Target& target, long) {
    (target.*Method)(Arguments...);
}

// Appends the items of `rows` (an array or a vector) at `depth` from row `i` on to `out`,
// captioned by captionOf(row.caption), with pictures from `pictures` (none without);
// returns the first row not used.
template <class Rows, class CaptionOf>
std::size_t BuildMenuItems(std::vector<MenuItem>& out, const Rows& rows, CaptionOf captionOf,
                           MenuPictures* pictures = nullptr, std::size_t i = 0, int depth = 0) {
    while (i < std::size(rows) && rows[i].depth == depth) {
        const auto& row = rows[i++];
        MenuItem& item = out.emplace_back();
        item.caption = row.name ? std::wstring(captionOf(row.caption)) : std::wstring(L"-");
        item.name = row.name ? row.name : L"";
        item.tag = row.tag;
        item.bitmap = pictures ? pictures->Get(row.picture) : nullptr;
        item.radio = row.radio;
        i = BuildMenuItems(item.items, rows, captionOf, pictures, i, depth + 1);
    }
    return i;
}

// Enables and ticks the items built from `rows` by the rules, for `state`. Items added after
// a table's own (a submenu's extra entries) are left as they are; the rows of a submenu
// whose items are missing are skipped.
template <class Rows, class State>
std::size_t ApplyMenuRules(std::vector<MenuItem>& items, const Rows& rows, const State& state,
                           std::size_t i = 0, int depth = 0) {
    for (std::size_t k = 0; k < items.size() && i < std::size(rows) && rows[i].depth == depth;
         ++k) {
        const auto& row = rows[i++];
        items[k].enabled = !row.enabled || row.enabled(state, row.tag);
        items[k].checked = row.checked && row.checked(state, row.tag);
        i = ApplyMenuRules(items[k].items, rows, state, i, depth + 1);
    }
    while (i < std::size(rows) && rows[i].depth >= depth)
        ++i;
    return i;
}

// Runs the action of the row with `tag` on `target`; false when no row has one.
template <class Rows, class Target>
bool RunMenuAction(const Rows& rows, long tag, Target& target) {
    for (const auto& row : rows) {
        if (row.name && row.tag == tag && row.action) {
            row.action(target, tag);
            return true;
        }
    }
    return false;
}

} // namespace tmb
