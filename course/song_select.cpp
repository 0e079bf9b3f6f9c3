#include "course/song_select.hpp"

#include <optional>
#include <string>
#include <vector>

#include "core/chart_loader.hpp"
#include "core/helpers.hpp"
#include "core/menu_keys.hpp"
#include "core/own_songs.hpp"
#include "core/screen_reset.hpp"
#include "course/challenge_menu.hpp"
#include "course/course_progress.hpp"
#include "course/setumei_strikes.hpp"
#include "course/song_hyoji.hpp"
#include "course/song_list.hpp"
#include "course/song_select_finder.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_song.hpp"

namespace zb {

namespace {

struct Pick {
    ChartId chart;
    bool autoPlay = false;
};

void Show(Game& game, const SongList& list, int index, int32_t count) {
    const ChartId chart = list.ChartAt(index);
    const int column = list.challenge ? chart.difficulty + 3 : chart.difficulty;
    const int32_t best = IsOwnSong(chart.song) ? OwnHighScore(game, chart.song, column)
                                               : game.scores.HighScores.at(column).at(chart.song);
    SongHyoji(game, chart, list.LevelAt(index), best, count, list.Position(index));
}

// The song select screen and its key loop, up to the key that confirms a song.
Pick ChooseSong(Game& game, Course course) {
    game.ScreenState = Screen::SongSelect;
    AllEnable(game);
    PictureBox& gamen = game.form.pGamen;
    gamen.BackColor = colors::Black;
    gamen.SetHeightTwips(kFormHeightTwips);
    gamen.SetWidthTwips(kFormWidthTwips);
    gamen.Left = 0;
    gamen.Top = 0;
    gamen.Visible = true;

    const CourseState& c = game.course;
    // Own songs are offered in the local courses only: other players of the ranking lack them.
    if (!course.ranking) EnsureOwnSongs(game);
    SongList list = BuildSongList(course.difficulty, c.ChallengeCourse,
                                  course.ranking ? std::vector<OwnSong>{} : game.ownSongs.songs);
    game.form.BackColor = colors::Black;
    // The ranking course's second song must differ from the first.
    if (course.ranking && c.OnSecondSong) list.Withdraw(c.FirstSongNo, 2);
    int index = list.FirstIndex();
    // Search, sort and paging over the own songs, which join as the folder is read.
    SongSelectFinder finder(
        game, list,
        [&] { return BuildSongList(course.difficulty, c.ChallengeCourse, game.ownSongs.songs); },
        !course.ranking);
    const auto show = [&] {
        Show(game, list, index, list.Count());
        finder.Draw();
    };
    show();

    MenuKeys keys(game.platform, kSongSelectKeys);
    keys.ForgetEarlierPresses({vk::Right, vk::Left, vk::Enter, vk::Space});
    uint64_t padsShown = game.platform.keyboard.PadChanges();
    for (;;) {
        // A pad plugged in or pulled out: the instructions show what strikes now.
        if (const uint64_t pads = game.platform.keyboard.PadChanges(); pads != padsShown) {
            padsShown = pads;
            DrawBoundStrikes(game, SongScreenX0() + 30, SongScreenY0() + 350);
        }
        if (const int redraw = finder.Pass(keys, index)) {
            if (redraw & SongSelectFinder::kSong)
                show();
            else
                finder.Draw();
        }
        if (finder.Searching()) {
            WaitForInput(game, 1000);
            continue;
        }
        // Space starts an auto play, except in the ranking course. A listed song the game cannot
        // play starts nothing.
        const MenuPress press = course.ranking
                                    ? keys.Pass({vk::Right, vk::Left, vk::Enter})
                                    : keys.Pass({vk::Right, vk::Left, vk::Enter, vk::Space});
        if (press.key == vk::Enter && list.Playable(index)) return {list.ChartAt(index), false};
        if (press.key == vk::Space && list.Playable(index)) return {list.ChartAt(index), true};
        if (press.acts && (press.key == vk::Right || press.key == vk::Left)) {
            index = finder.Step(index, press.key == vk::Right ? +1 : -1,
                                [&] { game.platform.window.DoEvents(); });
            show();
        }
        WaitForInput(game, 1000);  // until a key or a click comes; it sleeps, it does not spin
    }
}

// Starts a song the way every course does: preview off, play screen, chart (which starts the
// music), then the play loop with its results.
SongResult PlayPicked(Game& game, Course course, ChartId chart, bool autoPlay) {
    game.platform.music.SetFileName("");
    game.ScreenState = Screen::Playing;
    PlayScreenSetup(game, chart, autoPlay, game.course.OnSecondSong, course.ranking);
    LoadChart(game, chart, 0);
    return PlaySong(game, autoPlay, chart);
}

std::optional<CourseEnd> PlayAndProgress(Game& game, Course course, ChartId chart, bool autoPlay) {
    const SongResult r = PlayPicked(game, course, chart, autoPlay);
    return CourseProgress(game, autoPlay, chart, r.ShownScore, course.ranking);
}

// Picks and plays until the course ends; in the challenge course until the menu is up.
CourseEnd RunCourse(Game& game, Course course) {
    for (;;) {
        const Pick pick = ChooseSong(game, course);
        if (game.course.ChallengeCourse) {
            ChallengeMenu(game, pick.chart, pick.autoPlay);
            return CourseEnd{CourseEnd::Kind::ChallengeMenu};
        }
        if (auto end = PlayAndProgress(game, course, pick.chart, pick.autoPlay)) return *end;
    }
}

}  // namespace

CourseEnd SongSelect(Game& game, Course course) {
    return RunCourse(game, course);
}

CourseEnd StartChallengeSong(Game& game, Modifier mode) {
    ChallengeState& c = game.challenge;
    c.ChallengeMode = mode;
    const ChartId chart{.song = c.ChallengeSong, .difficulty = c.ChallengeDifficulty};
    const Course course{.difficulty = chart.difficulty};
    if (auto end = PlayAndProgress(game, course, chart, c.ChallengeAuto)) return *end;
    return RunCourse(game, course);
}

}  // namespace zb
