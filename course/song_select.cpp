#include "course/song_select.hpp"

#include <string>
#include <utility>
#include <vector>

#include "core/options_file.hpp"
#include "core/own_songs.hpp"
#include "core/screen_reset.hpp"
#include "course/challenge_menu.hpp"
#include "course/course_progress.hpp"
#include "course/history_screen.hpp"
#include "course/replay_list_screen.hpp"
#include "course/setumei_strikes.hpp"
#include "course/song_hyoji.hpp"
#include "course/song_select_finder.hpp"
#include "play/play_screen.hpp"
#include "play/practice_screen.hpp"

namespace zb {

SongSelectScreen::SongSelectScreen(Course course, CourseState place)
    : course_(course), place_(place) {}

SongSelectScreen::~SongSelectScreen() = default;

void SongSelectScreen::Show(Game& game, Preview preview) {
    const SongList& list = *list_;
    const ChartId chart = list.ChartAt(index_);
    shown_ = chart;
    const int column = HighScoreColumn(chart.difficulty, list.challenge);
    const int32_t best = IsOwnSong(chart.song) ? OwnHighScore(game, chart.song, column)
                                               : game.scores.HighScores.at(column).at(chart.song);
    SongHyoji(game, chart, list.LevelAt(index_), best, list.Count(), list.Position(index_),
              course_.challenge, preview);
    if (Practises()) DrawPracticeKey(game, SongScreenX0() + 30, SongScreenY0() + 350);
    if (!course_.ranking) DrawDrumChoice(game, SongScreenX0(), SongScreenY0());
    if (!course_.ranking) DrawGhostChoice(game, SongScreenX0(), SongScreenY0());
    finder_->Draw();
}

void SongSelectScreen::Lay(Game& game) {
    AllEnable(game);
    PictureBox& gamen = game.form.pGamen;
    gamen.BackColor = colors::Black;
    gamen.SetHeightTwips(kFormHeightTwips);
    gamen.SetWidthTwips(kFormWidthTwips);
    gamen.Left = 0;
    gamen.Top = 0;
    gamen.Visible = true;
}

Step SongSelectScreen::Start(Game& game) {
    Lay(game);
    // Own songs are offered in the local courses only: other players of the ranking lack them.
    if (!course_.ranking) EnsureOwnSongs(game);
    list_ = BuildSongList(course_.difficulty, course_.challenge,
                          course_.ranking ? std::vector<OwnSong>{} : game.ownSongs.songs);
    game.form.BackColor = colors::Black;
    // The ranking course's second song must differ from the first.
    if (course_.ranking && place_.OnSecondSong) list_->Withdraw(place_.FirstSongNo, 2);
    index_ = list_->FirstIndex();
    // Search, sort and paging over the own songs, which join as the folder is read.
    finder_ = std::make_unique<SongSelectFinder>(
        game, *list_,
        [this, &game] {
            return BuildSongList(course_.difficulty, course_.challenge, game.ownSongs.songs);
        },
        !course_.ranking);
    Show(game);

    keys_.emplace(game, kSongSelectKeys);
    padsShown_ = game.platform.keyboard.PadChanges();
    return Step::Stay();
}

Step SongSelectScreen::Resumed(Game& game, GameScreen& child) {
    // Practice may have found the song's file gone: it is offered no more.
    if (list_->OwnAt(index_)) {
        const OwnSong* s = FindOwnSong(game, list_->SongAt(index_));
        if (s && !s->playable)
            list_->own.at(size_t(index_ - list_->BuiltInLength())).playable = false;
    }
    Lay(game);
    // 記録 left the preview playing.
    Show(game, dynamic_cast<HistoryScreen*>(&child) ? Preview::Keep : Preview::Restart);
    return Step::Stay();
}

Step SongSelectScreen::Pass(Game& game) {
    SongList& list = *list_;
    // A pad plugged in or pulled out: the instructions show what strikes now.
    if (const uint64_t pads = game.platform.keyboard.PadChanges(); pads != padsShown_) {
        padsShown_ = pads;
        DrawBoundStrikes(game, SongScreenX0() + 30, SongScreenY0() + 350);
        if (Practises()) DrawPracticeKey(game, SongScreenX0() + 30, SongScreenY0() + 350);
        if (!course_.ranking) DrawDrumChoice(game, SongScreenX0(), SongScreenY0());
        if (!course_.ranking) DrawGhostChoice(game, SongScreenX0(), SongScreenY0());
    }
    if (const int redraw = finder_->Pass(*keys_, index_)) {
        // Songs joining redraw the place and count about twice a second: the preview goes on
        // unless the entry shown is another.
        const ChartId at = list.ChartAt(index_);
        const bool same = at.song == shown_.song && at.difficulty == shown_.difficulty;
        if (redraw & SongSelectFinder::kSong)
            Show(game, same ? Preview::Keep : Preview::Restart);
        else
            finder_->Draw();
    }
    if (finder_->Searching()) return Step::Stay();
    // F5 steps ドラム for play and practice; the ranking course plays the music as it is.
    if (!course_.ranking && (game.input.GetAsyncKeyState(vk::F5) & kKeyPressedSince)) {
        game.options.Drums = NextDrumPart(game.options.Drums);
        SaveOptions(game);
        Show(game, Preview::Keep);
    }
    // F6 switches ゴースト: a hand play races the chart's best replay (not in the ranking course).
    if (!course_.ranking && (game.input.GetAsyncKeyState(vk::F6) & kKeyPressedSince)) {
        game.options.Ghost = !game.options.Ghost;
        SaveOptions(game);
        Show(game, Preview::Keep);
    }
    if (game.input.GetAsyncKeyState(vk::F8) & kKeyPressedSince)
        return Step::Push(std::make_unique<HistoryScreen>(list.ChartAt(index_)));
    if (game.input.GetAsyncKeyState(vk::F7) & kKeyPressedSince)
        return Step::Push(std::make_unique<ReplayListScreen>(list.ChartAt(index_)));
    // Space starts an auto play, except in the ranking course. A listed song the game cannot
    // play starts nothing.
    const MenuPress press = course_.ranking
                                ? keys_->Pass({vk::Right, vk::Left, vk::Enter})
                                : keys_->Pass({vk::Right, vk::Left, vk::Enter, vk::Space});
    if ((press.key == vk::Enter || press.key == vk::Space) && list.Playable(index_)) {
        pick = list.ChartAt(index_);
        autoPlay = press.key == vk::Space;
        return Step::Pop();
    }
    if (Practises() && PracticeAsked(game, keys_->From()) && list.Playable(index_))
        return Step::Push(std::make_unique<PracticeScreen>(list.ChartAt(index_)));
    if (press.acts && (press.key == vk::Right || press.key == vk::Left)) {
        index_ = finder_->Step(index_, press.key == vk::Right ? +1 : -1,
                               [&] { game.platform.window.DoEvents(); });
        Show(game);
    }
    return Step::Stay();
}

double SongSelectScreen::WakeAt(Game& game) {
    return MenuWakeAt(game);
}

Step CourseScreen::Start(Game&) {
    return Pick();
}

Step CourseScreen::Pick() {
    return Step::Push(std::make_unique<SongSelectScreen>(course_, place_));
}

Step CourseScreen::Play(const ChartId& chart, bool autoPlay, Modifier mode, int32_t points) {
    PlayRequest q;
    q.chart = chart;
    q.autoPlay = autoPlay;
    q.modifier = mode;
    q.challenge = course_.challenge;
    q.challengePoints = points;
    q.ranking = course_.ranking;
    q.secondSong = place_.OnSecondSong;
    auto play = std::make_unique<PlayScreen>(q);
    play->course = [this](Game& game, const PlayOutcome& o) {
        const CourseStep step = CourseProgress(game, place_, course_, o.request.autoPlay,
                                               o.request.chart, o.result->ShownScore);
        countedEnd_ = step.end, countedWait_ = step.waitSeconds;
    };
    return Step::Push(std::move(play));
}

Step CourseScreen::Resumed(Game& game, GameScreen& child) {
    if (auto* select = dynamic_cast<SongSelectScreen*>(&child)) {
        if (!course_.challenge) return Play(select->pick, select->autoPlay, Modifier::None, 0);
        pending_ = select->pick;
        pendingAuto_ = select->autoPlay;
        return Step::Push(std::make_unique<ChallengeMenuScreen>(pending_));
    }
    if (dynamic_cast<PracticeScreen*>(&child)) return Pick();
    if (auto* menu = dynamic_cast<ChallengeMenuScreen*>(&child))
        return Play(pending_, pendingAuto_, menu->chosen, menu->points);
    if (auto* play = dynamic_cast<PlayScreen*>(&child)) {
        if (play->left) {
            // A song that was left counts for nothing. The ranking course ends without sending.
            if (course_.ranking) {
                end = CourseEnd{.kind = CourseEnd::Kind::Left};
                return Step::Pop();
            }
            // 練習 from the pause menu: the bar being played, then back to song select.
            if (play->practiceFrom)
                return Step::Push(
                    std::make_unique<PracticeScreen>(play->Request().chart, *play->practiceFrom));
            return Pick();
        }
        // A play that counts was taken for the course as its outcome was kept; an auto play
        // only shows the pick again.
        if (!countedEnd_) return Pick();
        end = std::exchange(countedEnd_, std::nullopt);
        endAt_ = game.platform.clock.Now() + countedWait_;
        return Step::Stay();
    }
    return Step::Stay();
}

Step CourseScreen::Pass(Game& game) {
    if (end && game.platform.clock.Now() >= endAt_) return Step::Pop();
    return Step::Stay();
}

}  // namespace zb
