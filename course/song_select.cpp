#include "course/song_select.hpp"

#include <optional>

#include "core/chart_loader.hpp"
#include "core/screen_reset.hpp"
#include "course/arrow_repeat.hpp"
#include "course/challenge_menu.hpp"
#include "course/course_progress.hpp"
#include "course/play_screen_setup.hpp"
#include "course/song_hyoji.hpp"
#include "course/song_list.hpp"
#include "play/play_song.hpp"

namespace zb {

namespace {

constexpr uint16_t kDownNow = 0x8000;  // down, with no press recorded since the last query

struct Pick {
    int16_t difficulty = 0;
    int16_t song = 0;
    bool autoPlay = false;
};

// One yield of the key loop, and a breath of about a millisecond so it does not spin a core.
void Breathe(Game& game) {
    game.platform.window.DoEvents();
    game.platform.window.WaitUntil(game.platform.clock.Now() + 0.001);
}

void Show(Game& game, const SongList& list, int index, int16_t count) {
    const int16_t song = list.SongAt(index), difficulty = list.DifficultyAt(index);
    const int column = list.challenge ? difficulty + 3 : difficulty;
    SongHyoji(game, difficulty, song, list.LevelAt(index),
              game.scores.HighScores.at(column).at(song), count, list.Position(index));
}

// The song select screen and its key loop, up to the key that confirms a song.
Pick ChooseSong(Game& game, int16_t course) {
    game.ScreenState = Screen::SongSelect;
    AllEnable(game);
    PictureBox& gamen = game.form.pGamen;
    gamen.BackColor = colors::Black;
    gamen.SetHeightTwips(kFormHeightTwips);
    gamen.SetWidthTwips(kFormWidthTwips);
    gamen.Left = 0;
    gamen.Top = 0;
    gamen.Visible = true;

    game.chart.SongPart = 0;
    const CourseState& c = game.course;
    SongList list = BuildSongList(course, c.ChallengeCourse);
    game.form.BackColor = colors::Black;
    // The ranking course's second song must differ from the first.
    if (c.NetRankCourse && c.OnSecondSong) list.Withdraw(c.FirstSongNo, 2);
    int index = list.FirstIndex();
    const int16_t count = list.Count();
    Show(game, list, index, count);

    Keyboard& keys = game.platform.keyboard;
    ArrowRepeat arrows;
    for (;;) {
        int arrow = 0;
        if (keys.GetAsyncKeyState(vk::Right) == kDownNow) {
            arrow = +1;
        } else if (keys.GetAsyncKeyState(vk::Left) == kDownNow) {
            arrow = -1;
        } else if (keys.GetAsyncKeyState(vk::Enter) == kDownNow) {
            return {list.DifficultyAt(index), list.SongAt(index), false};
        } else if (!c.NetRankCourse && keys.GetAsyncKeyState(vk::Space) == kDownNow) {
            return {list.DifficultyAt(index), list.SongAt(index), true};
        }
        if (arrows.Step(arrow, game.platform.clock.Now())) {
            index = list.Step(index, arrow, [&] { game.platform.window.DoEvents(); });
            Show(game, list, index, count);
        }
        Breathe(game);
    }
}

// Starts a song the way every course does: preview off, play screen, chart (which starts the
// music), then the play loop with its results.
SongResult PlayPicked(Game& game, int16_t difficulty, int16_t song, bool autoPlay) {
    game.platform.music.SetFileName("");
    game.ScreenState = Screen::Playing;
    PlayScreenSetup(game, difficulty, song, autoPlay, game.course.OnSecondSong);
    LoadChart(game, difficulty, song);
    return PlaySong(game, autoPlay, song, difficulty);
}

std::optional<CourseEnd> PlayAndProgress(Game& game, int16_t difficulty, int16_t song,
                                         bool autoPlay) {
    const SongResult r = PlayPicked(game, difficulty, song, autoPlay);
    return CourseProgress(game, autoPlay, song, difficulty, r.ShownScore);
}

// Picks and plays until the course ends; in the challenge course until the menu is up.
CourseEnd RunCourse(Game& game, int16_t course) {
    for (;;) {
        const Pick pick = ChooseSong(game, course);
        if (game.course.ChallengeCourse) {
            ChallengeMenu(game, pick.difficulty, pick.song, pick.autoPlay);
            return CourseEnd{CourseEnd::Kind::ChallengeMenu};
        }
        if (auto end = PlayAndProgress(game, pick.difficulty, pick.song, pick.autoPlay))
            return *end;
    }
}

}  // namespace

CourseEnd SongSelect(Game& game, int16_t course) {
    return RunCourse(game, course);
}

CourseEnd StartChallengeSong(Game& game, int16_t mode) {
    ChallengeState& c = game.challenge;
    c.ChallengeMode = mode;
    const int16_t difficulty = c.ChallengeDifficulty, song = c.ChallengeSong;
    if (auto end = PlayAndProgress(game, difficulty, song, c.ChallengeAuto)) return *end;
    return RunCourse(game, difficulty);
}

}  // namespace zb
