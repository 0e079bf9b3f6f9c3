// The course runner and its song select screen. A course is a screen of its own on the stack:
// it shows song select, then plays the pick (after the challenge menu in the challenge course),
// then goes on after the results until the course is over. Any number of songs keeps the stack
// flat: each screen pops before the next is pushed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "core/game.hpp"
#include "core/menu_keys.hpp"
#include "core/screen_stack.hpp"
#include "core/songs.hpp"
#include "course/song_hyoji.hpp"
#include "course/song_list.hpp"

namespace zb {

class SongSelectFinder;

// How a course ended.
struct CourseEnd {
    enum class Kind {
        Title,    // the course is over: the title screen comes next
        NetRank,  // the ranking course is over: the ranking session comes next
        Left,     // the player left a song of the ranking course: nothing is sent
    } kind = Kind::Title;
    // The two songs of a finished course and their scores (the second score without the first).
    int32_t firstScore = 0, secondScore = 0;
    int16_t firstSong = 0, secondSong = 0;
};

// The course that the runner is given.
struct Course {
    // 0 かんたん, 1 むずかしい, 2 ワンだフル; in the challenge course, 3 offers all 31 charts.
    int16_t difficulty = 0;
    // The internet-ranking course (at difficulty 2): its second song differs from the first, it
    // has no auto play, and the ranking session follows it.
    bool ranking = false;
    // The challenge course: a modifier is chosen before every song.
    bool challenge = false;
};

// The song select screen: pops with the pick (Enter) or an auto play (Space); P (or a pad's
// BACK that strikes nothing) practises the shown song, except in the challenge and ranking
// courses; F5 steps ドラム, except in the ranking course; F8 opens 記録 on the chart shown.
class SongSelectScreen : public GameScreen {
  public:
    SongSelectScreen(Course course, CourseState place);
    ~SongSelectScreen() override;
    Screen Id() const override { return Screen::SongSelect; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    // Practice popped: the screen is drawn again.
    Step Resumed(Game& game, GameScreen& child) override;
    double WakeAt(Game& game) override;

    ChartId pick;
    bool autoPlay = false;

  private:
    void Lay(Game& game);
    void Show(Game& game, Preview preview = Preview::Restart);
    bool Practises() const { return !course_.ranking && !course_.challenge; }

    Course course_;
    CourseState place_;
    std::optional<SongList> list_;
    std::optional<MenuKeys> keys_;
    std::unique_ptr<SongSelectFinder> finder_;  // over *list_, which stays in place
    int index_ = 0;
    ChartId shown_;  // the entry last drawn
    uint64_t padsShown_ = 0;
};

// A course from its first song select to its end.
class CourseScreen : public GameScreen {
  public:
    explicit CourseScreen(Course course) : course_(course) {}
    // On top only while the results panel shows the course's notice or total.
    Screen Id() const override { return Screen::Playing; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Resumed(Game& game, GameScreen& child) override;
    double WakeAt(Game&) override { return endAt_; }

    const Course& Which() const { return course_; }
    // Once the course is over.
    std::optional<CourseEnd> end;

  private:
    Step Pick();
    Step Play(const ChartId& chart, bool autoPlay, Modifier mode, int32_t points);

    Course course_;
    CourseState place_;
    // The song waiting for its modifier on the challenge menu.
    ChartId pending_;
    bool pendingAuto_ = false;
    double endAt_ = kNoWake;  // the course total's wait before the course ends
    // What the song that counted did to the course: it ends after this wait, or goes on.
    std::optional<CourseEnd> countedEnd_;
    double countedWait_ = 0;
};

}  // namespace zb
