// The captions of both tray menus and the words of the tray hints, as plain data: the menus are
// built from a copy of this record, and every reading of the user options translates it anew from
// the user's language file. Captions stay UTF-16 from the file to the menu items.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kxp {

struct MenuItemCaption {
    std::string Name;  // "miExit", "mi2D_Graph_PF"...
    std::u16string Caption;
    friend bool operator==(const MenuItemCaption&, const MenuItemCaption&) = default;
};

struct TMenuCaptions {
    // The re-captioned items of tray menu 1 ("mi") and tray menu 2 ("mi2"), in menu order; a
    // display kind's 13 metric items follow the kind's own item.
    std::vector<MenuItemCaption> Menu1;
    std::vector<MenuItemCaption> Menu2;
    // The hint words: a blank, "MB", a blank and "free"; "MB" alone; "paging file in use".
    std::u16string FreeHint;
    std::u16string MegabyteHint;
    std::u16string PageFileHint;

    // The caption of an item of either menu; empty for a name neither menu has.
    std::u16string Caption(std::string_view name) const;
    friend bool operator==(const TMenuCaptions&, const TMenuCaptions&) = default;
};

// The built-in English captions, shown until a language file says otherwise.
TMenuCaptions DefaultMenuCaptions();

// A language string by number; empty when the loaded file has none.
using CaptionLookup = std::function<std::u16string(std::int64_t number)>;

// Every item and hint from the language strings. An item whose string is missing keeps the
// caption it has in current; the interval items are their figure and a blank followed by string
// 33, with no fallback; the items of cores 3 and 4 take string 58 or 59 (or their own caption)
// with every "2" replaced by the core's digit.
TMenuCaptions TranslateMenuCaptions(const TMenuCaptions& current, const CaptionLookup& lookup);

}  // namespace kxp
