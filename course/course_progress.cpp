#include "course/course_progress.hpp"

#include <string>

#include "core/checked.hpp"
#include "core/own_songs.hpp"
#include "core/score_file.hpp"
#include "play/results_panel.hpp"

namespace zb {

namespace {
constexpr const char* kThanks = "Thanks to your playing!";
}  // namespace

CourseStep CourseProgress(Game& game, CourseState& c, const Course& course, bool autoPlay,
                          ChartId chart, int32_t score) {
    const int16_t song = chart.song;
    if (autoPlay) return {};  // an auto play is never a course song
    if (!c.OnSecondSong) {
        c.OnSecondSong = true;
        c.FirstSongScore = score;
        c.FirstSongNo = song;
        return {};
    }

    ResultsPanel panel(game.form);
    CourseEnd end;
    end.firstScore = c.FirstSongScore;
    end.firstSong = c.FirstSongNo;
    end.secondSong = song;

    if (song == c.FirstSongNo) {
        // The same song twice (at any difficulty) earns no course total.
        panel.Append(std::string(kThanks) + kBreak + "※選択曲が重複しているので総合点は無効");
        end.secondScore = score;
        return {end, 2.0};
    }

    const int32_t total = Add<int32_t>(c.FirstSongScore, score);
    std::string text = "総合" + std::to_string(total) + "点" + kBreak;
    const int index = course.challenge ? 3 : chart.difficulty;
    int32_t& best = game.scores.CourseHighScores.at(index);
    // A course with an own song shows its total but never enters score.dat, which other
    // players' programs read.
    const bool builtIn = !IsOwnSong(song) && !IsOwnSong(c.FirstSongNo);
    if (builtIn && best < total) {
        text += std::string("ハイスコア達成！") + kBreak;
        best = total;
        SaveScores(game);
    }
    panel.ShowCourseTotal(text + kThanks);

    end.secondScore = Sub<int32_t>(total, c.FirstSongScore);
    if (course.ranking) end.kind = CourseEnd::Kind::NetRank;
    return {end, 6.0};
}

}  // namespace zb
