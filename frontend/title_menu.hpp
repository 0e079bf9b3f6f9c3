// The title screen's menu and form slots: one table that the drawing (TitleHyoji) and the
// dispatcher both read, so an item's label, caption, place and meaning are written once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zb {

enum class TitleItem { Easy, Hard, Settings, Wonderful, Challenge, Network };

struct TitleMenuEntry {
    TitleItem item;
    size_t label;  // the item's slot
    const char* caption;
    int shortTop;  // 0: only in the full menu
    int fullTop;
};

// In label order; the full menu puts せってい last.
inline constexpr TitleMenuEntry kTitleMenu[] = {
    {TitleItem::Easy, 0, "かんたん", 2500, 2400},
    {TitleItem::Hard, 1, "むずかしい", 3500, 2950},
    {TitleItem::Settings, 2, "せってい", 4500, 5150},
    {TitleItem::Wonderful, 3, "ワンだフル！", 0, 3500},
    {TitleItem::Challenge, 4, "チャレンジ", 0, 4050},
    {TitleItem::Network, 5, "ネットワーク", 0, 4600},
};

inline constexpr size_t kLogoImage = 0;  // the logo at the top left

// The item shown on a label, if that label is one of the menu's.
constexpr std::optional<TitleItem> TitleItemOnLabel(int label) {
    for (const TitleMenuEntry& e : kTitleMenu)
        if (int(e.label) == label) return e.item;
    return std::nullopt;
}

}  // namespace zb
