#include "platform/headless/headless.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

namespace zb::headless {

int64_t VirtualClock::TickMs() {
    return static_cast<int64_t>(std::floor(now_ * 1000.0 + 1e-9));
}

void ScriptedKeyboard::Insert(Change c) {
    auto pos = std::upper_bound(script_.begin(), script_.end(), c.at,
                                [](double t, const Change& q) { return t < q.at; });
    script_.insert(pos, std::move(c));
}

void ScriptedKeyboard::At(double seconds, int vkCode, bool down) {
    Insert(Change{seconds, vkCode, down});
}

void ScriptedKeyboard::PlugAt(double seconds, const PadInfo& pad) {
    Insert(Change{seconds, 0, false, pad});
}

void ScriptedKeyboard::UnplugAt(double seconds, int slot) {
    Insert(Change{seconds, 0, false, std::nullopt, slot});
}

void ScriptedKeyboard::PlugKitAt(double seconds, const KitInfo& kit) {
    Change c{seconds, 0, false};
    c.kitPlug = kit;
    Insert(std::move(c));
}

void ScriptedKeyboard::UnplugKitAt(double seconds, int slot) {
    Change c{seconds, 0, false};
    c.kitUnplug = slot;
    Insert(std::move(c));
}

void ScriptedKeyboard::StrikeKitAt(double seconds, int slot, int note, int velocity) {
    Change c{seconds, 0, false};
    c.kitSlot = slot;
    c.note = note;
    c.velocity = velocity;
    Insert(std::move(c));
}

void ScriptedKeyboard::Update() {
    const double now = clock_.Now();
    while (!script_.empty() && script_.front().at <= now) {
        const Change c = script_.front();
        script_.pop_front();
        if (c.plug)
            PadAdded(*c.plug);
        else if (c.unplug >= 0)
            PadRemoved(c.unplug, c.at);
        else if (c.kitPlug)
            KitAdded(*c.kitPlug);
        else if (c.kitUnplug >= 0)
            KitRemoved(c.kitUnplug, c.at);
        else if (c.kitSlot >= 0)
            KitStroke(c.kitSlot, c.note, c.velocity, c.at);
        else
            OnKey(c.vk, c.down, c.at);
    }
}

void ClockMusicPlayer::SetFileName(const std::string& path) {
    history_.push_back(path);
    if (path.empty()) {
        Anchor(CurrentPosition(), 0);  // the position stays after a stop
        playing_ = false;
    } else {
        playing_ = true;
        paused_ = false;
        Anchor(0, rate_);
    }
    file_ = path;
}

void ClockMusicPlayer::Anchor(double position, double rate) {
    constexpr size_t kKept = 8;
    if (segments_.size() >= kKept) segments_.erase(segments_.begin());
    segments_.push_back({clock_.Now(), position, rate});
}

double ClockMusicPlayer::PositionAt(double clockSeconds) {
    // The segment in force at that moment: the latest that began no later than it.
    const Segment* s = &segments_.front();
    for (const Segment& seg : segments_)
        if (seg.clock <= clockSeconds) s = &seg;
    return s->position + (clockSeconds - s->clock) * s->rate;
}

void ClockMusicPlayer::Pause() {
    if (!playing_ || paused_) return;
    paused_ = true;
    Anchor(CurrentPosition(), 0);
}

void ClockMusicPlayer::Resume() {
    if (!playing_ || !paused_) return;
    paused_ = false;
    Anchor(CurrentPosition(), rate_);
}

void ClockMusicPlayer::Seek(double songSeconds) {
    if (!playing_) return;
    Anchor(songSeconds, paused_ ? 0 : rate_);
}

void ClockMusicPlayer::SetTempo(double rate) {
    rate_ = rate;
    if (playing_ && !paused_) Anchor(CurrentPosition(), rate_);
}

void RecordingWavePlayer::PlayWave(const std::string& path) {
    PlayHitSound(path, clock_ ? clock_->Now() : 0.0, kPlayerVoice);
}

void RecordingWavePlayer::PlayHitSound(const std::string& path, double stamp, int voice) {
    played.push_back(path);
    playedAt.push_back(stamp);
    playedVoice.push_back(voice);
}

bool RecordingWavePlayer::LoadWave(const std::string& path) {
    loaded.push_back(path);
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

MsgResult ScriptedDialogs::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon,
                                      const std::string& title) {
    shown.push_back({"MessageBox", text, title, buttons});
    if (keyboard) keyboard->Reset();
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;  // nothing to choose
    if (!answers.empty()) {
        const MsgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    // An unscripted question: OK/Cancel is answered OK; Yes/No is answered No, so that a test
    // that did not expect the question never repeats something forever.
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}

std::string ScriptedDialogs::InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
    if (window) window->SetTextInput(true);
    shown.push_back(
        {"InputBox", prompt, title, MsgButtons::OkCancel, window && window->TextInput()});
    if (window) window->SetTextInput(false);
    if (keyboard) keyboard->Reset();
    if (!inputs.empty()) {
        std::string s = inputs.front();
        inputs.pop_front();
        return s;
    }
    return defaultText;
}

HeadlessWindow::HeadlessWindow(VirtualClock& clock, TextRenderer* text)
    : clock_(clock), text_(text ? text : &nullText_) {}

void HeadlessWindow::Queue(const Event& e) {
    auto pos = std::upper_bound(queue_.begin(), queue_.end(), e.at,
                                [](double t, const Event& q) { return t < q.at; });
    queue_.insert(pos, e);
}

void HeadlessWindow::ClickAt(double seconds, ClickSource source, int index) {
    Queue(Event{seconds, source, index});
}

void HeadlessWindow::CloseAt(double seconds) {
    Queue(Event{seconds, std::nullopt, 0});
}

void HeadlessWindow::DoEvents() {
    ++yields;
    clock_.Advance(yieldStep);
    if (keyboard) keyboard->Pump();
    if (onYield) onYield();
    const double now = clock_.Now();
    while (!queue_.empty() && queue_.front().at <= now) {
        const Event e = queue_.front();
        queue_.pop_front();
        if (!events_) continue;
        handed_ = true;
        if (!e.source)
            events_->CloseRequested();
        else
            events_->ClickDispatch(*e.source, e.index);
    }
    if (timer_.Due(form_.Timer1[0], now) && events_) {
        handed_ = true;
        events_->TimerTick();
    }
}

void HeadlessWindow::WaitUntil(double clockSeconds) {
    while (clock_.Now() < clockSeconds) {
        clock_.Set(std::min(clockSeconds, clock_.Now() + 0.001));
        if (keyboard) keyboard->Pump();
    }
}

void HeadlessWindow::WaitForEvent(double until) {
    if (std::exchange(handed_, false)) return;
    double next = until;
    if (keyboard && keyboard->NextChange()) next = std::min(next, *keyboard->NextChange());
    if (!queue_.empty()) next = std::min(next, queue_.front().at);
    if (timer_.Next() >= 0) next = std::min(next, timer_.Next());
    if (next > clock_.Now()) clock_.Set(next);
    if (keyboard) keyboard->Pump();
}

void HeadlessWindow::Present() {
    ++presents;
    ComposeForm(form_, *text_, screen_);
}

HeadlessPlatform::HeadlessPlatform(std::string appDir, TextRenderer* text)
    : window(clock, text), ports{clock, keyboard, music, wave, dialogs, window, std::move(appDir)} {
    window.keyboard = &keyboard;
    dialogs.window = &window;
    dialogs.keyboard = &keyboard;
}

}  // namespace zb::headless
