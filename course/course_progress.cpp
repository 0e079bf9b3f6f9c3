#include "course/course_progress.hpp"

#include <string>

#include "core/checked.hpp"
#include "core/helpers.hpp"
#include "core/score_file.hpp"

namespace zb {

namespace {
constexpr const char* kThanks = "Thanks to your playing!";
constexpr const char* kBreak = "\r\n";
}  // namespace

std::optional<CourseEnd> CourseProgress(Game& game, bool autoPlay, ChartId chart, int32_t score) {
    const int16_t song = chart.song;
    CourseState& c = game.course;
    if (autoPlay) return std::nullopt;  // an auto play is never a course song
    if (!c.OnSecondSong) {
        c.OnSecondSong = true;
        c.FirstSongScore = score;
        c.FirstSongNo = song;
        return std::nullopt;
    }

    LabelControl& results = game.form.Label[5];
    CourseEnd end;
    end.firstScore = c.FirstSongScore;
    end.firstSong = c.FirstSongNo;
    end.secondSong = song;

    if (song == c.FirstSongNo) {
        // The same song twice (at any difficulty) earns no course total.
        results.Caption += std::string(kThanks) + kBreak + "※選択曲が重複しているので総合点は無効";
        WaitMs(game, 2000);
        end.secondScore = score;
        return end;
    }

    results.Left = 2000;
    const int32_t total = Add<int32_t>(c.FirstSongScore, score);
    results.Caption = "総合" + std::to_string(total) + "点" + kBreak;
    const int index = game.course.ChallengeCourse ? 3 : chart.difficulty;
    int32_t& best = game.scores.CourseHighScores.at(index);
    if (best < total) {
        results.Caption += std::string("ハイスコア達成！") + kBreak;
        best = total;
        SaveScores(game);
    }
    results.Caption += kThanks;
    results.FontSize = 32;
    WaitMs(game, 6000);

    end.secondScore = Sub<int32_t>(total, c.FirstSongScore);
    if (c.NetRankCourse) end.kind = CourseEnd::Kind::NetRank;
    return end;
}

}  // namespace zb
