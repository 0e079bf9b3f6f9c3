#include "course/history_screen.hpp"

#include <algorithm>

#include "core/own_songs.hpp"
#include "core/screen_reset.hpp"
#include "course/history_slots.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {

constexpr int kTab = 9;

}  // namespace

Step HistoryScreen::Start(Game& game) {
    AllEnable(game);
    game.form.BackColor = colors::Black;
    plays_ = ReadPlayHistory(game);
    charts_ = ChartHistories(plays_);
    for (const ChartHistory& c : charts_)
        if (songs_.empty() || songs_.back() != c.song) songs_.push_back(c.song);
    if (start_) {
        const OwnSong* own = FindOwnSong(game, start_->song);
        startSong_ = own ? own->id : std::to_string(start_->song);
        difficulty_ = start_->difficulty;
        const auto at = std::find(songs_.begin(), songs_.end(), startSong_);
        // Song select's chart is shown even before it was ever played: it says so.
        song_ = size_t(at - songs_.begin());
        if (at == songs_.end()) {
            const auto after = std::find_if(songs_.begin(), songs_.end(), [&](const auto& s) {
                return HistorySongBefore(startSong_, s);
            });
            song_ = size_t(after - songs_.begin());
            songs_.insert(after, startSong_);
        }
    } else if (!plays_.empty()) {
        song_ =
            size_t(std::find(songs_.begin(), songs_.end(), plays_.back().song) - songs_.begin());
        difficulty_ = plays_.back().difficulty;
    }
    keys_.emplace(game, kSongSelectKeys);
    Draw(game);
    return Step::Stay();
}

std::vector<int> HistoryScreen::Difficulties() const {
    std::vector<int> d;
    for (const ChartHistory& c : charts_)
        if (c.song == songs_[song_]) d.push_back(c.difficulty);
    if (start_ && songs_[song_] == startSong_ &&
        std::find(d.begin(), d.end(), start_->difficulty) == d.end()) {
        d.push_back(start_->difficulty);
        std::sort(d.begin(), d.end());
    }
    return d;
}

void HistoryScreen::Draw(Game& game) {
    PictureBox& box = game.form.Picture1[history_slots::kPlotPicture];
    LayHistoryBox(box);
    if (plays_.empty()) {
        drawn_ =
            DrawNoHistory(box, "記録", "まだ記録がありません。曲を演奏すると、ここに残ります。");
        return;
    }
    if (allSongs_) {
        std::vector<std::pair<std::string, SongPlays>> most;
        for (const SongPlays& s : MostPlayed(plays_))
            most.push_back({HistorySongName(game, s.song), s});
        drawn_ = DrawAllSongs(box, MinutesPerDay(plays_, game.platform.clock.LocalDate()), most);
        return;
    }
    const std::string& song = songs_[song_];
    const std::string heading =
        "記録　" + HistorySongName(game, song) + "　" + DifficultyName(difficulty_);
    const auto c = std::find_if(charts_.begin(), charts_.end(), [&](const ChartHistory& h) {
        return h.song == song && h.difficulty == difficulty_;
    });
    drawn_ = c == charts_.end()
                 ? DrawNoHistory(box, heading, "この曲のこのむずかしさは、まだ記録がありません。")
                 : DrawChartHistory(box, heading, *c);
}

Step HistoryScreen::Pass(Game& game) {
    if (keys_->Tapped(vk::Escape) || keys_->Tapped(pad::MenuCode(pad::kBack))) return Step::Pop();
    if (keys_->Tapped(kTab)) {
        allSongs_ = !allSongs_;
        Draw(game);
        return Step::Stay();
    }
    const MenuPress press = keys_->Pass({vk::Right, vk::Left, vk::Up, vk::Down});
    if (!press.acts || allSongs_ || songs_.empty()) return Step::Stay();
    if (press.key == vk::Right || press.key == vk::Left) {
        const size_t n = songs_.size();
        song_ = (song_ + (press.key == vk::Right ? 1 : n - 1)) % n;
        // The new song opens on the same difficulty when it was played there, else its first.
        const std::vector<int> d = Difficulties();
        if (std::find(d.begin(), d.end(), difficulty_) == d.end()) difficulty_ = d.front();
    } else {
        const std::vector<int> d = Difficulties();
        const size_t at = size_t(std::find(d.begin(), d.end(), difficulty_) - d.begin());
        difficulty_ = d[(at + (press.key == vk::Down ? 1 : d.size() - 1)) % d.size()];
    }
    Draw(game);
    return Step::Stay();
}

}  // namespace zb
