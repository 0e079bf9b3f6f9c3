#include "course/song_select_finder.hpp"

#include <algorithm>

#include "core/own_songs.hpp"
#include "core/picture_sets.hpp"
#include "course/song_hyoji.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {

constexpr int kBackspace = 8, kTab = 9, kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36;
constexpr int kSortKey = 'S';
// Songs joining are taken at most this often: a list of thousands is rebuilt for them.
constexpr double kTakeEverySeconds = 0.5;
// The lines' stripes on the song select picture: over the sky, and over the ground.
constexpr int kTopY = 2, kTopH = 22, kFootY = 452, kFootH = 44;
constexpr Color kShadow = Color::Rgb(0x2A, 0x1A, 0x3E);

std::string Root(const Game& game) {
    return game.SaveDir() + kOwnSongFolder + "/";
}

void Line(TextRenderer& text, Surface& dc, int x, int y, int w, int h, const std::string& s,
          double points, Color c, Align align) {
    text.DrawText(dc, x + 1, y + 1, w, h, s, points, kShadow, align);
    text.DrawText(dc, x, y, w, h, s, points, c, align);
}

// Whether a pad plays a strike with a shoulder button: then the shoulders do not page.
bool ShouldersStrike(const Game& game) {
    for (const auto& [guid, inputs] : game.settings.PadInputs)
        for (int16_t input : inputs)
            if (input == pad::LeftShoulder || input == pad::RightShoulder) return true;
    return false;
}

}  // namespace

SongSelectFinder::SongSelectFinder(Game& game, SongList& list, std::function<SongList()> rebuild,
                                   bool active)
    : game_(game),
      list_(list),
      rebuild_(std::move(rebuild)),
      active_(active && game.ownSongs.hasFolder),
      pages_(game, kSongSelectKeys) {
    if (active_) finder_.Build(list_, game_.ownSongs.songs, Root(game_));
}

SongSelectFinder::~SongSelectFinder() {
    if (search_) game_.platform.window.SetTextInput(false);
}

int SongSelectFinder::Pass(MenuKeys& keys, int& index) {
    if (!active_) return 0;
    int redraw = 0;
    const double now = game_.platform.clock.Now();
    if (game_.ownSongs.reading && now - lastTaken_ >= kTakeEverySeconds) {
        lastTaken_ = now;
        if (TakeOwnSongNews(game_)) {
            const ChartId at = list_.ChartAt(index);
            const size_t before = list_.own.size();
            list_ = rebuild_();
            finder_.Build(list_, game_.ownSongs.songs, Root(game_));
            index = std::max(0, finder_.IndexOf(at));
            redraw |= kLines | (list_.own.size() != before ? kSong : 0);
        }
    }
    if (releasing_) {  // the Enter that closed the search line starts nothing
        if (!game_.input.Down(vk::Enter) && !game_.input.Down(pad::MenuCode(vk::Enter))) {
            releasing_ = false;
            // What was typed on the line was text, not the screen's keys.
            keys.ReadFrom(now);
            pages_.ReadFrom(now);
        }
        return redraw;
    }
    return redraw | (search_ ? Typing(keys, index) : Keys(keys, index));
}

int SongSelectFinder::Keys(MenuKeys& keys, int& index) {
    if (keys.Tapped(kTab)) {
        search_ = "";
        game_.platform.window.SetTextInput(true);
        game_.platform.window.TakeText();
        return kLines;
    }
    int to = -1;
    const MenuPress page = ShouldersStrike(game_) ? pages_.Pass({kPageUp, kPageDown}, {})
                                                  : pages_.Pass({kPageUp, kPageDown});
    if (page.acts) to = finder_.Move(index, page.key == kPageUp ? -10 : +10);
    if (keys.Tapped(kHome)) to = finder_.First();
    if (keys.Tapped(kEnd)) to = finder_.Last();
    if (keys.Tapped(kSortKey)) {
        finder_.SetSort(SongSort((int(finder_.Sort()) + 1) % kSongSorts));
        return kLines;
    }
    if (to < 0 || to == index) return 0;
    index = to;
    return kSong;
}

int SongSelectFinder::Typing(MenuKeys& keys, int& index) {
    Window& window = game_.platform.window;
    int redraw = 0;
    if (std::string typed = window.TakeText(); !typed.empty()) {
        *search_ += typed;
        redraw = kLines;
    }
    // While the input method composes (or has just committed), Enter, Esc and Backspace are its
    // own keys, not the search line's.
    const std::string composing = window.Composition();
    const bool imeKeys = !composing.empty() || !composing_.empty();
    if (composing != composing_) {
        composing_ = composing;
        redraw = kLines;
    }
    if (imeKeys) {
        for (int key : {kBackspace, vk::Escape, kTab, vk::Enter}) keys.Tapped(key);
        return redraw;
    }
    if (keys.Tapped(kBackspace) && !search_->empty()) {
        size_t n = search_->size() - 1;  // the last character's first byte
        while (n > 0 && (static_cast<unsigned char>((*search_)[n]) & 0xC0) == 0x80) --n;
        search_->erase(n);
        redraw = kLines;
    }
    if (keys.Tapped(vk::Escape) || keys.Tapped(kTab)) {
        Close();
        return kLines;
    }
    if (keys.Tapped(vk::Enter)) {
        const std::vector<int> found = finder_.Find(*search_);
        Close();
        releasing_ = true;
        if (found.empty() || found.front() == index) return kLines;
        index = found.front();
        return kSong;
    }
    return redraw;
}

void SongSelectFinder::Close() {
    search_.reset();
    composing_.clear();
    game_.platform.window.SetTextInput(false);
    game_.platform.window.TakeText();
}

int SongSelectFinder::Step(int index, int dir, const std::function<void()>& onStep) const {
    if (!active_ || list_.own.empty()) return list_.Step(index, dir, onStep);
    return finder_.Move(index, dir);
}

void SongSelectFinder::Draw() {
    if (!active_) return;
    const int x0 = SongScreenX0(), y0 = SongScreenY0();
    Surface& dc = game_.form.pGamen.Dc();
    const Surface& ura = Gamen(game_).pGamenUra.Dc();
    BlitCopy(ura, 0, y0 + kTopY, kFormWidthPx, kTopH, dc, 0, y0 + kTopY);
    BlitCopy(ura, 0, y0 + kFootY, kFormWidthPx, kFootH, dc, 0, y0 + kFootY);
    TextRenderer& text = game_.platform.window.Text();
    const OwnSongLibrary& lib = game_.ownSongs;
    const int left = std::max(0, x0 + 24), width = kFormWidthPx - 2 * left;

    if (lib.reading)
        Line(text, dc, left, y0 + kTopY, width, kTopH,
             lib.walking ? std::string("曲を探しています…")
                         : "読み込み中 " + std::to_string(lib.readDone) + "/" +
                               std::to_string(lib.readTotal),
             11, colors::White, Align::Left);
    const std::string sort = std::string("S 並べ替え：") + SongSortName(finder_.Sort());
    const int sortW = text.Measure(sort, 11, 1 << 20).width + 4;
    Line(text, dc, left + width - sortW, y0 + kTopY, sortW, kTopH, sort, 11, colors::White,
         Align::Left);

    std::string foot;
    if (search_) {
        const size_t found = finder_.Find(*search_).size();
        foot = "検索：" + *search_ + composing_ + "_　" +
               (search_->empty() ? std::string("Enterで決定、Escでやめる")
                                 : std::to_string(found) + "曲");
    } else if (lib.leftOut > 0) {
        foot = "多すぎて入らなかった曲：" + std::to_string(lib.leftOut) + "曲";
    } else {
        foot = "Tab 検索　PageUp/PageDown 10曲ずつ　Home/End 最初と最後";
    }
    const Color footColor = search_ ? Color::Rgb(0xFF, 0xE0, 0x6A) : colors::White;
    Line(text, dc, left, y0 + kFootY + 10, width, kFootH - 10, foot, search_ ? 14 : 11, footColor,
         Align::Left);
    if (search_ && !composing_.empty()) {  // the composition underlined, as in an input box
        const std::string typed = "検索：" + *search_;
        const int from = text.Measure(typed, 14, 1 << 20).width;
        const TextExtent all = text.Measure(typed + composing_, 14, 1 << 20);
        dc.FillRect(left + from, y0 + kFootY + 10 + all.height - 1, all.width - from, 1, footColor);
    }
}

}  // namespace zb
