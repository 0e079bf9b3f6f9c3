// The headless platform: a virtual clock that the game's waits advance, scripted keys and clicks,
// a music player whose position follows the virtual clock, scripted dialogs that record what they
// showed, and the form drawn into a pixel buffer. Tests and tools run the real screens on it.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/compose.hpp"
#include "platform/key_states.hpp"
#include "platform/ports.hpp"
#include "platform/timer_schedule.hpp"

namespace zb::headless {

class VirtualClock : public Clock {
  public:
    double Now() override { return now_; }
    int64_t TickMs() override;
    TimeOfDay LocalTime() override { return timeOfDay_; }
    CalendarDate LocalDate() override { return date_; }

    void Advance(double seconds) { now_ += seconds; }
    void Set(double seconds) { now_ = seconds; }
    void SetLocalTime(TimeOfDay t) { timeOfDay_ = t; }
    void SetLocalDate(CalendarDate d) { date_ = d; }

  private:
    double now_ = 0;
    TimeOfDay timeOfDay_{12, 0, 0};
    CalendarDate date_{2026, 4, 1};
};

// Keys follow a script of timed changes, applied as the virtual clock passes them and stamped
// with their scripted moments.
class ScriptedKeyboard : public KeyStateKeyboard {
  public:
    explicit ScriptedKeyboard(Clock& clock) : clock_(clock) {}

    // Schedules a key change at a moment of the clock's timeline (kept in time order).
    void At(double seconds, int vkCode, bool down);
    // Changes a key now.
    void Press(int vkCode) { At(clock_.Now(), vkCode, true); }
    void Release(int vkCode) { At(clock_.Now(), vkCode, false); }
    // A pad comes into its slot, or leaves it, at a moment (its inputs are pad::Code keys).
    void PlugAt(double seconds, const PadInfo& pad);
    void UnplugAt(double seconds, int slot);
    // A drum kit comes or goes, and one of its notes is struck, at a moment.
    void PlugKitAt(double seconds, const KitInfo& kit);
    void UnplugKitAt(double seconds, int slot);
    void StrikeKitAt(double seconds, int slot, int note, int velocity);
    bool Pending() const { return !script_.empty(); }
    // When the next scripted change is due, if any.
    std::optional<double> NextChange() const {
        return script_.empty() ? std::nullopt : std::optional(script_.front().at);
    }

  protected:
    void Update() override;

  private:
    struct Change {
        double at;
        int vk;
        bool down;
        std::optional<PadInfo> plug = std::nullopt;
        int unplug = -1;
        std::optional<KitInfo> kitPlug = std::nullopt;
        int kitUnplug = -1;
        int kitSlot = -1, note = 0, velocity = 0;  // a stroke of the kit in kitSlot
    };
    void Insert(Change c);

    Clock& clock_;
    std::deque<Change> script_;
};

// Plays nothing; the position follows the clock from the moment a file was set.
class ClockMusicPlayer : public MusicPlayer {
  public:
    explicit ClockMusicPlayer(Clock& clock) : clock_(clock) {}
    void SetFileName(const std::string& path) override;
    std::string FileName() const override { return file_; }
    void SetAutoStart(bool on) override { autoStart_ = on; }
    void SetEnabled(bool on) override { enabled_ = on; }
    void SetVolume(int32_t v) override { volume_ = v; }
    int32_t Volume() const override { return volume_; }
    double CurrentPosition() override { return PositionAt(clock_.Now()); }
    double PositionAt(double clockSeconds) override;
    void Pause() override;
    void Resume() override;
    bool Paused() const override { return paused_; }
    void Seek(double songSeconds) override;
    void SetTempo(double rate) override;
    double Tempo() const override { return rate_; }
    void SetDrumPart(DrumPart part) override { drums_ = part; }
    DrumPart Drums() const override { return drums_; }
    void SetClicks(std::vector<ClickBeat> beats) override { clicks_ = std::move(beats); }
    bool Clicking() const override { return !clicks_.empty(); }
    const std::vector<ClickBeat>& Clicks() const { return clicks_; }

    uint64_t Underruns() const override { return underruns; }
    void SetWantedPeriod(int frames) override { wantedPeriod = frames; }
    int PeriodFrames() const override { return wantedPeriod ? wantedPeriod : 128; }
    // What a test makes the output report: its underruns, and the period asked for.
    uint64_t underruns = 0;
    int wantedPeriod = 0;

    bool AutoStart() const { return autoStart_; }
    bool Enabled() const { return enabled_; }
    // Every file name set, in order (the empty string for a stop).
    const std::vector<std::string>& History() const { return history_; }

  private:
    // From `clock` on, the song runs from `position` at `rate` (0 while paused or stopped).
    struct Segment {
        double clock = 0, position = 0, rate = 0;
    };
    // Starts a new segment now; the latest few are kept so that a stamp taken just before a
    // change still finds its position.
    void Anchor(double position, double rate);

    Clock& clock_;
    std::string file_;
    bool playing_ = false;
    bool paused_ = false;
    double rate_ = 1.0;
    DrumPart drums_ = DrumPart::Full;
    std::vector<ClickBeat> clicks_;
    std::vector<Segment> segments_{Segment{}};
    bool autoStart_ = false, enabled_ = false;
    int32_t volume_ = 0;
    std::vector<std::string> history_;
};

// Plays nothing; records every sound started, and when on the clock (a strike's stamp), in
// which voice, and every file read ahead.
class RecordingWavePlayer : public WavePlayer {
  public:
    explicit RecordingWavePlayer(Clock* clock = nullptr) : clock_(clock) {}
    void PlayWave(const std::string& path) override;
    void PlayHitSound(const std::string& path, double stamp, int voice) override;
    // True when the file exists.
    bool LoadWave(const std::string& path) override;

    std::vector<std::string> played;
    std::vector<double> playedAt;
    std::vector<int> playedVoice;
    std::vector<std::string> loaded;

  private:
    Clock* clock_;
};

// Dialogs answer from a script (OK / the first button when it runs out) and record what they
// showed.
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        std::string kind;  // "MessageBox" or "InputBox"
        std::string text, title;
        MsgButtons buttons = MsgButtons::Ok;
        bool textInput = false;  // the window's text input while it was open
    };
    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;

    // Answers to the boxes that ask something (OK/Cancel, Yes/No), in turn; an OK box takes none.
    std::deque<MsgResult> answers;
    std::deque<std::string> inputs;
    std::vector<Shown> shown;
    // An input box turns this window's text input on while it is open, as the real one does.
    Window* window = nullptr;
    // Keys held when a box opens were let go while it was open, as with the real boxes.
    KeyStateKeyboard* keyboard = nullptr;
};

// The form in memory. Each yield advances the virtual clock by a small step, runs the clicks and
// the close requests queued for that moment, and the timer when it is due. Waits advance the
// clock a millisecond at a time and look at the keys at each step, as the real window does.
class HeadlessWindow : public Window {
  public:
    HeadlessWindow(VirtualClock& clock, TextRenderer* text = nullptr);
    MainForm& Form() override { return form_; }
    void SetEvents(FormEvents* events) override { events_ = events; }
    void DoEvents() override;
    void WaitUntil(double clockSeconds) override;
    // Moves the clock straight to the next key change, queued click or timer tick, or `until`.
    void WaitForEvent(double clockSeconds) override;
    void Present() override;
    void SetTextInput(bool on) override {
        textInput_ = on;
        composing_.clear();
    }
    bool TextInput() const override { return textInput_; }
    std::string TakeText() override { return std::exchange(typed_, {}); }
    std::string Composition() const override { return composing_; }
    TextRenderer& Text() override { return text_ ? *text_ : nullText_; }
    // Text as the input method would commit it: taken only while the text input is on.
    void Type(const std::string& text) {
        if (textInput_) typed_ += text;
        composing_.clear();
    }
    // What the input method would show while composing, before it commits.
    void Compose(const std::string& text) {
        if (textInput_) composing_ = text;
    }

    // Queues a click (or a close request) for the first yield at or after the given moment.
    void ClickAt(double seconds, ClickSource source, int index);
    void Click(ClickSource source, int index) { ClickAt(clock_.Now(), source, index); }
    void CloseAt(double seconds);
    bool Pending() const { return !queue_.empty(); }

    // The form as last presented (Present() draws it afresh).
    const Surface& Screen() const { return screen_; }

    double yieldStep = 0.001;  // seconds of virtual time that one yield takes
    int yields = 0;
    int presents = 0;
    // Called on every yield, before the queued events; tests use it to act at a moment.
    std::function<void()> onYield;
    // The keys this window looks at as it waits and yields (the platform's scripted keyboard).
    ScriptedKeyboard* keyboard = nullptr;

  private:
    struct Event {
        double at;
        std::optional<ClickSource> source;  // none for a close request
        int index;
    };
    void Queue(const Event& e);

    VirtualClock& clock_;
    TextRenderer* text_;
    NullText nullText_;
    MainForm form_;
    FormEvents* events_ = nullptr;
    std::deque<Event> queue_;
    TimerSchedule timer_;
    bool handed_ = false;  // the last yield gave the game a click, a close request or a tick
    Surface screen_;
    bool textInput_ = false;
    std::string typed_;
    std::string composing_;
};

// Every headless port in one place.
struct HeadlessPlatform {
    explicit HeadlessPlatform(std::string appDir = DataDir(ProgramDir()),
                              TextRenderer* text = nullptr);
    VirtualClock clock;
    ScriptedKeyboard keyboard{clock};
    ClockMusicPlayer music{clock};
    RecordingWavePlayer wave{&clock};
    ScriptedDialogs dialogs;
    HeadlessWindow window;
    Platform ports;
};

}  // namespace zb::headless
