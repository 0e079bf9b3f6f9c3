#include "course_driver.hpp"

namespace zb::testing {

void CourseDriver::Tap(int vk, double delay) {
    const double at = std::max(hp_.clock.Now(), tapAt_) + delay;
    hp_.keyboard.At(at, vk, true);
    hp_.keyboard.At(at + 0.06, vk, false);
    tapAt_ = at + 0.06;
}

void CourseDriver::RunToTitle(ScreenStack& stack, double seconds) {
    const double end = hp_.clock.Now() + seconds;
    stack.RunWhile([&] {
        return (hp_.window.Pending() || game_.ScreenState != Screen::Title) &&
               hp_.clock.Now() < end;
    });
}

void CourseDriver::Tick() {
    if (game_.ScreenState != state_) {
        state_ = game_.ScreenState;
        states.emplace_back(ScreenName(state_));
        if (state_ == Screen::SongSelect && game_.form.pGamen.Visible) {
            ++pickScreens;
            if (!picks.empty()) {
                for (int vk : picks.front()) Tap(vk, 0.2);
                picks.pop_front();
            }
        }
    }
    const auto& files = hp_.music.History();
    if (state_ == Screen::Playing && files.size() != musicFiles_ && !files.back().empty()) {
        ++songsStarted;
        if (playNotes) ScheduleNotes();
    }
    musicFiles_ = files.size();
    // The results, and the course's notice or total after them (shown by the course screen,
    // under the song select's name, before its song select is drawn).
    const bool results =
        state_ == Screen::Playing || (state_ == Screen::SongSelect && !game_.form.pGamen.Visible);
    if (results) {
        const std::string& text = game_.form.Label[5].Caption;
        if (game_.form.Label[5].Visible && text != label5_ && !text.empty())
            resultTexts.push_back(text);
        label5_ = text;
    }
    if (state_ == Screen::Playing && fastForward > 0) hp_.clock.Advance(fastForward);
    if (onYield) onYield();
}

// Note i is on the judgement frame when the scroll position plus the frame position reaches its
// lane position; the scroll position grows with the music's position.
void CourseDriver::ScheduleNotes() {
    const Chart& c = game_.chart;
    const double musicStart = hp_.clock.Now() - hp_.music.CurrentPosition();
    const double pixelsPerSecond =
        double(c.ChartText.size()) * c.NoteSpacing / (c.ChartSpan / 100.0);
    const auto& keys = game_.settings.KeyCodes;
    int alternate = 0;
    for (int i = 1; i <= c.NoteCount; ++i) {
        const double lane = double(c.NotePos[size_t(i)]) - game_.settings.FramePosition +
                            c.ChartDelay - c.ChartOffset;
        const double at = musicStart + lane / pixelsPerSecond;
        const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
        std::vector<int> press;
        if (kind == 1) press = {keys[size_t(alternate)]};
        if (kind == 2) press = {keys[size_t(2 + alternate)]};
        if (kind == 3) press = {keys[0], keys[1]};
        if (kind == 4) press = {keys[2], keys[3]};
        alternate ^= 1;
        if (at < hp_.clock.Now()) continue;
        for (int vk : press) {
            hp_.keyboard.At(at, vk, true);
            hp_.keyboard.At(at + 0.06, vk, false);
        }
    }
}

}  // namespace zb::testing
