// Drives a course on the headless platform the way a player would: taps keys on each song select
// screen from a script, and plays each manually started song by pressing the matching drum key
// when each note reaches the judgement frame. It watches the game on every yield.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/screen_stack.hpp"
#include "platform/headless/headless.hpp"

namespace zb::testing {

class CourseDriver {
  public:
    CourseDriver(headless::HeadlessPlatform& hp, Game& game) : hp_(hp), game_(game) {
        hp_.window.onYield = [this] { Tick(); };
    }
    ~CourseDriver() { hp_.window.onYield = nullptr; }

    // Keys to tap, one after another, each time a song select screen comes up (one list per
    // screen, in order). A screen without a list waits for the test.
    std::deque<std::vector<int>> picks;
    // Play the notes of manually started songs (false leaves them all to pass by).
    bool playNotes = true;
    // Jump this many seconds ahead on every yield while a song plays (0: play in real time).
    double fastForward = 0;
    // Called on every yield, after the driver's own work.
    std::function<void()> onYield;

    // What was seen. A pick screen is a song select drawn (not the course's wait after its
    // total, which the course screen holds under the song select's name).
    int pickScreens = 0;
    int songsStarted = 0;
    std::vector<std::string> resultTexts;  // label 5 whenever its text changed during a song
    std::vector<std::string> states;       // every ScreenState entered, in order

    // Taps a key now (down for 60 ms).
    void Tap(int vk, double delay = 0.05);
    // Runs the game's stack until the window's queued events are handled and the title is back
    // (or `seconds` of the game's clock have passed).
    void RunToTitle(ScreenStack& stack, double seconds = 3600);
    // Strikes each note of the song that plays now on time, from the music's position now on
    // (a song that went on after a pause is struck from there).
    void ScheduleNotes();

  private:
    void Tick();

    headless::HeadlessPlatform& hp_;
    Game& game_;
    Screen state_ = Screen::None;
    size_t musicFiles_ = 0;
    std::string label5_;
    double tapAt_ = 0;
};

}  // namespace zb::testing
