#include "course/replay_list_screen.hpp"

#include <algorithm>

#include "core/screen_reset.hpp"
#include "course/history_drawing.hpp"
#include "course/history_slots.hpp"
#include "platform/pad_inputs.hpp"
#include "play/history_summary.hpp"
#include "play/play_screen.hpp"

namespace zb {

namespace {

constexpr Color kBack = Color::Rgb(8, 12, 32), kText = Color::Rgb(230, 230, 240),
                kChosen = Color::Rgb(255, 220, 60), kRefused = Color::Rgb(120, 120, 140);
constexpr int kTop = 48, kRow = 24, kRows = 17;
constexpr const char* kKeys = "↑ ↓ 選ぶ　Enter 見る　Esc もどる";

void Print(PictureBox& b, int y, const std::string& text, double points, Color c) {
    b.Printed.push_back({16, y, 640, PointsToPixels(points) + 6, text, points, c, Align::Left});
}

}  // namespace

ReplayListScreen::~ReplayListScreen() = default;

Step ReplayListScreen::Start(Game& game) {
    entries_ = ReplaysOf(game, chart_);
    keys_.emplace(game, kSongSelectKeys);
    Draw(game);
    return Step::Stay();
}

void ReplayListScreen::Draw(Game& game) {
    AllEnable(game);
    game.form.BackColor = colors::Black;
    PictureBox& box = game.form.Picture1[history_slots::kPlotPicture];
    LayHistoryBox(box);
    box.BackColor = kBack;
    box.Cls();
    const OwnSong* own = FindOwnSong(game, chart_.song);
    Print(box, 10,
          "リプレイ　" + HistorySongName(game, own ? own->id : std::to_string(chart_.song)) + "　" +
              DifficultyName(chart_.difficulty),
          13, kText);
    Print(box, 476, kKeys, 9, kRefused);
    if (entries_.empty()) {
        Print(box, 230, "この曲のこのむずかしさのリプレイはまだありません。", 12, kText);
        return;
    }
    // The page that holds the cursor.
    const int first = cursor_ / kRows * kRows;
    for (int i = first; i < std::min<int>(first + kRows, int(entries_.size())); ++i) {
        const ReplayEntry& e = entries_[size_t(i)];
        const Color c = i == cursor_ ? kChosen : e.replay ? kText : kRefused;
        Print(box, kTop + (i - first) * kRow, (i == cursor_ ? "▶ " : "　") + ReplayLine(e), 10, c);
    }
}

Step ReplayListScreen::Pass(Game& game) {
    if (keys_->Tapped(vk::Escape) || keys_->Tapped(pad::MenuCode(pad::kBack))) return Step::Pop();
    const MenuPress press = keys_->Pass({vk::Up, vk::Down, vk::Enter});
    if (!press.acts || entries_.empty()) return Step::Stay();
    if (press.key == vk::Enter) {
        const ReplayEntry& e = entries_[size_t(cursor_)];
        if (!e.replay) return Step::Stay();
        const Replay& r = *e.replay;
        watched_ = std::make_unique<WatchedSettings>(game, r);
        PlayOptions o;
        o.FramesPerSecond = r.framesPerSecond;
        o.replay = &r;
        o.keepReplay = false;
        o.watch = true;
        return Step::Push(std::make_unique<PlayScreen>(WatchRequest(r, chart_.song), o));
    }
    const int n = int(entries_.size());
    cursor_ = (cursor_ + (press.key == vk::Down ? 1 : n - 1)) % n;
    Draw(game);
    return Step::Stay();
}

Step ReplayListScreen::Resumed(Game& game, GameScreen&) {
    watched_.reset();  // the player's settings again
    Draw(game);
    return Step::Stay();
}

}  // namespace zb
