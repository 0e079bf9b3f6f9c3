// The one reader of the menu screens' keys (song select, settings, the ranking display). Each
// pass of a screen's key loop looks at its keys in a fixed order and acts on the first that
// counts as down: down now, or went down since the previous look, so that a tap shorter than a
// pass (a quick player, a loaded machine) still acts once. Presses made before the screen came on
// top are not its own (the game's input queue leaves them out). The cursor keys (the arrows, Page
// Up and Page Down) step through ArrowRepeat, so a tap steps once and a held key repeats. Every
// screen reads its keys this way; what differs between them is how a held key repeats, named in its
// MenuKeyRule below with the reason. A pad's menu inputs count as the keys they stand for (the
// d-pad as the arrows, OK as Enter, X as Space: pad::MenuCode), down while either is.
#pragma once

#include <initializer_list>
#include <limits>

#include "core/arrow_repeat.hpp"
#include "core/game.hpp"

namespace zb {

// How a held cursor key repeats on one screen.
struct MenuKeyRule {
    double firstRepeat;  // seconds from a press to the first repeat
    double repeat;       // seconds between later repeats; 0: every pass (the loop sets the rate)
};

// Song select: passes of about 1 ms; a held arrow repeats like a keyboard's own repeat.
inline constexpr MenuKeyRule kSongSelectKeys{ArrowRepeat::kFirstRepeat, ArrowRepeat::kRepeat};
// Settings: passes of 40 ms; a held arrow repeats on every pass once its first repeat is due.
inline constexpr MenuKeyRule kSettingsKeys{ArrowRepeat::kFirstRepeat, 0};
// The ranking display: a held key pages on every pass; the display waits 200 ms before each
// page turn, and that wait sets the rate.
inline constexpr MenuKeyRule kRankingDisplayKeys{0, 0};

// What one pass found: the first key that counts as down (0 for none) and whether it acts now.
// Any other key acts whenever it is down; a cursor key (an arrow) acts when ArrowRepeat steps.
struct MenuPress {
    int key = 0;
    bool acts = false;
};

// A key or its pad twin went down since the previous look (clears both press bits).
bool TappedWithPad(InputQueue& input, int key);
// A menu highlight moved by an arrow over `count` choices, wrapping; the first arrow shows it
// on the first choice (-1: none shown yet).
int StepHighlight(int cursor, int count, int dir);

class MenuKeys {
  public:
    MenuKeys(Game& game, MenuKeyRule rule);

    // From `at` on: presses stamped earlier are not this reader's (what was typed into a text
    // line that just closed was text, not keys of the screen).
    void ReadFrom(double at) { from_ = at; }
    double From() const { return from_; }

    // One pass: looks at `keys` in this order and takes the first that counts as down; the keys
    // after it are not looked at, so their presses wait for a later pass. A fresh press of a
    // cursor key steps at once, even of the key held before.
    MenuPress Pass(std::initializer_list<int> keys);
    // The same, where only `padKeys` also come from a pad (the others are the keyboard's alone).
    MenuPress Pass(std::initializer_list<int> keys, std::initializer_list<int> padKeys);

    // Whether `key` went down since the previous look (a key to bind, whatever its state now).
    bool Tapped(int key);

  private:
    // The key's state and its pad twin's as one key: down while either is, pressed since when
    // either was.
    uint16_t Look(int key, bool withPad);

    Game& game_;
    ArrowRepeat repeat_;
    double from_ = -std::numeric_limits<double>::infinity();
};

}  // namespace zb
