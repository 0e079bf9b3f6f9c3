// The ports through which the game reaches the machine. Game code (core, play, course, frontend,
// netrank) talks only to these; platform/headless and platform/sdl implement them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/compose.hpp"
#include "platform/form.hpp"
#include "platform/ftp/ftp_port.hpp"
#include "platform/input_event.hpp"

namespace zb {

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
};

struct CalendarDate {
    int year = 2000, month = 1, day = 1;
};

// All clocks of the game share one monotonic timeline in seconds: key stamps, the music's
// position and the frame pacing are compared on it.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double Now() = 0;                        // monotonic seconds, high resolution
    virtual int64_t TickMs() = 0;                    // monotonic milliseconds, 64-bit (never wraps)
    virtual TimeOfDay LocalTime() = 0;               // the wall clock's time of day
    virtual CalendarDate LocalDate() { return {}; }  // and its date
};

// Virtual-key codes as the settings file stores them.
namespace vk {
inline constexpr int Enter = 13, Escape = 27, Space = 32, Left = 37, Up = 38, Right = 39, Down = 40;
inline constexpr int F2 = 113, F3 = 114, F4 = 115, F5 = 116, F6 = 117, F7 = 118, F8 = 119;
inline constexpr int Digit0 = 48, A = 65, Numpad0 = 96;
inline constexpr int Numpad1 = 97, Numpad2 = 98, Numpad4 = 100, Numpad5 = 101;
}  // namespace vk

// GetAsyncKeyState's bits (platform/input_queue.hpp): the key is down now; it went down since
// the previous query.
inline constexpr uint16_t kKeyDown = 0x8000;
inline constexpr uint16_t kKeyPressedSince = 0x0001;

// A pad connected now. Its inputs are keys of their own (platform/pad_inputs.hpp: pad::Code).
struct PadInfo {
    int slot = 0;
    std::string guid;  // the same for every pad of one make and model, across runs
    std::string name;
    bool controller = false;  // a game controller (named buttons) rather than a plain joystick
};

// A MIDI drum kit connected now. Its notes are keys of their own (platform/kit_inputs.hpp).
struct KitInfo {
    int slot = 0;
    std::string name;  // the device's name without the numbers the system gives it this session
};

class Keyboard {
  public:
    virtual ~Keyboard() = default;
    // Every change of a key, a pad input or a kit's note, and every pad or kit that came or
    // went, since the previous call: stamped, in the order they were seen. The game reads them
    // through its queue (platform/input_queue.hpp), never the keyboard's state.
    virtual std::vector<InputEvent> TakeEvents() = 0;
    // Called on the game thread as soon as the window sees a key go down (it looks about once a
    // millisecond while the game waits), with the key and its stamp; empty for none. The play
    // screen starts the hit sound here.
    virtual void SetDownHandler(std::function<void(int vkCode, double at)> handler) = 0;
    // The pads connected now, by slot.
    virtual std::vector<PadInfo> Pads() { return {}; }
    // How many times a pad came or went: what is built from Pads() stays good while it holds.
    virtual uint64_t PadChanges() { return 0; }
    // The drum kits connected now, by slot, and how many times one came or went.
    virtual std::vector<KitInfo> Kits() { return {}; }
    virtual uint64_t KitChanges() { return 0; }
    // From which velocity on a stroke of the kit in `slot` is a hard one (kit::Code's `hard`).
    virtual void SetKitBigVelocity(int slot, int velocity) {
        (void)slot;
        (void)velocity;
    }
    // The hygiene of the kit in `slot`'s strokes (platform/kit_inputs.hpp): what is dropped.
    virtual void SetKitHygiene(int slot, const kit::Hygiene& rules) {
        (void)slot;
        (void)rules;
    }
};

// How the song's own drum part (General MIDI's channel 10) sounds: as written, lowered, or not at
// all. The chart and the judgement never change with it.
enum class DrumPart : uint8_t { Full, Quiet, Off };

// One click of the metronome: a beat, in seconds of the song's own timeline; a bar's first beat
// is accented.
struct ClickBeat {
    double song = 0;
    bool accent = false;
};

// The media player: the five operations that the game uses.
class MusicPlayer {
  public:
    virtual ~MusicPlayer() = default;
    // A path starts that file from its beginning; the empty string stops the music.
    virtual void SetFileName(const std::string& path) = 0;
    virtual std::string FileName() const = 0;
    virtual void SetAutoStart(bool on) = 0;  // the Boolean property 1017
    virtual void SetEnabled(bool on) = 0;
    virtual void SetVolume(int32_t hundredthsDb) = 0;  // 0 loudest, negative quieter
    virtual int32_t Volume() const = 0;
    // The song's position in seconds of its own timeline (the music as written, whatever the
    // tempo): now, and at a moment of the clock's timeline.
    virtual double CurrentPosition() = 0;
    virtual double PositionAt(double clockSeconds) = 0;

    // The transport. Pause freezes the song where it is (its position stays, the notes sounding
    // stop); Resume plays on from exactly there. Seek moves the current file to a position of
    // its own timeline, playing on from there unless paused. The tempo is the song's speed
    // against its own (1 as written; practice plays 0.5 to 1.5), with the pitch unchanged: the
    // position then advances `rate` seconds of the song per second of the clock. A new file
    // keeps the tempo and starts unpaused. The tempo and the pause belong to the screen that
    // set them: whichever way a screen leaves the game's stack (pop, replace, back to the
    // title, a run-time error), the stack sets them back to what they were when it started,
    // so the screen below and every later song find what they left (100 %, playing).
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual bool Paused() const = 0;
    virtual void Seek(double songSeconds) = 0;
    virtual void SetTempo(double rate) = 0;
    virtual double Tempo() const = 0;

    // The song's drum part, for every file from now on; the stack gives a screen's choice back
    // as it gives back the tempo.
    virtual void SetDrumPart(DrumPart part) = 0;
    virtual DrumPart Drums() const = 0;
    // The metronome: a click at each of these beats as the music passes it, in a voice of its
    // own (no hit sound cuts it, the drum part leaves it alone), through seeks, pauses and any
    // tempo. Empty: none. Kept until set again; the stack clears it when the screen that set it
    // leaves.
    virtual void SetClicks(std::vector<ClickBeat> beats) = 0;
    virtual bool Clicking() const = 0;

    // The sound output (the music's and the hit sounds'). Buffers it played empty since the
    // program started, as the renderer and the sound server count them: each is a gap or a
    // click the player heard.
    virtual uint64_t Underruns() const { return 0; }
    // The period asked for in frames, 0 for the automatic one; it takes effect when the output
    // opens again (the next song). PeriodFrames is the one in use (0: no output).
    virtual void SetWantedPeriod(int frames) { (void)frames; }
    virtual int PeriodFrames() const { return 0; }
    // True when the sound server decides the period (JACK) and the one asked for waits.
    virtual bool ServerSetsPeriod() const { return false; }
};

// The voices of the hit sounds: each plays one sound at a time, and a new sound cuts off only
// its own voice's. The player's strikes are the first.
inline constexpr int kPlayerVoice = 0;
inline constexpr int kHitVoices = 4;

class WavePlayer {
  public:
    virtual ~WavePlayer() = default;
    // Plays a WAV file without waiting, cutting off the sound still playing. A missing file
    // plays nothing and reports nothing.
    virtual void PlayWave(const std::string& path) = 0;
    // The same for a strike stamped `stamp` (the clock's timeline) in `voice`: an output that
    // can places the sound the same fixed time after its stamp for every strike, at the
    // sample, and it cuts off the sound that voice still plays at that sample.
    virtual void PlayHitSound(const std::string& path, double stamp, int voice = kPlayerVoice) {
        (void)stamp;
        (void)voice;
        PlayWave(path);
    }
    // Reads a WAV file ahead, so that its first PlayWave costs nothing; false when it cannot be
    // read.
    virtual bool LoadWave(const std::string& path) = 0;
};

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                 const std::string& title) = 0;
    // Returns the text entered, or the empty string when cancelled.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
};

// What the window tells the game: clicks, timer ticks and the request to close.
class FormEvents {
  public:
    virtual ~FormEvents() = default;
    virtual void ClickDispatch(ClickSource source, int index) = 0;
    virtual void TimerTick() = 0;
    // Called when the player closes the window; the game asks and may end the program.
    virtual void CloseRequested() = 0;
};

// The main window: owns the form model, routes events and shows the form.
class Window {
  public:
    virtual ~Window() = default;
    virtual MainForm& Form() = 0;
    virtual void SetEvents(FormEvents* events) = 0;
    // The yield: handles the pending window events (clicks -> ClickDispatch, re-entrantly; the
    // timer when due; a close request), then shows the form if it is due for a repaint.
    virtual void DoEvents() = 0;
    // Sleeps until the clock reaches `until`, waking about once a millisecond to stamp key
    // changes; never spins. Clicks and the timer wait for the next DoEvents.
    virtual void WaitUntil(double clockSeconds) = 0;
    // Sleeps until something happens: a key changes (stamped when seen), a click or another
    // window event arrives, the timer is due, the picture is due again, or the clock reaches
    // `until`. Returns at once when the last DoEvents handed the game a click, a close request
    // or a timer tick, so that the caller sees what it did. Clicks and the timer wait for the
    // next DoEvents. Screens that do not judge strikes wait this way: they cost nothing while
    // nothing happens.
    virtual void WaitForEvent(double clockSeconds) = 0;
    // Shows the form now.
    virtual void Present() = 0;
    // The input method's text input. It is on only while an input box is open (the dialogs turn
    // it on and off), so that its composition window never opens on a play key.
    virtual void SetTextInput(bool on) = 0;
    virtual bool TextInput() const = 0;
    // The text typed (UTF-8, as the input method commits it) since the last call, while the
    // game's own text input is on (the song select's search line); empty otherwise.
    virtual std::string TakeText() { return {}; }
    // What the input method is composing and has not committed yet (UTF-8), while the game's own
    // text input is on; empty otherwise. The search line shows it as it is typed.
    virtual std::string Composition() const { return {}; }
    // The labels' text renderer, for pictures drawn at run time (an own song's title).
    virtual TextRenderer& Text() = 0;
};

// Thrown to end the program at once from anywhere (the exit confirmation).
struct ProgramEnd {};

// Every port, as one bundle handed to the game.
struct Platform {
    Clock& clock;
    Keyboard& keyboard;
    MusicPlayer& music;
    WavePlayer& wave;
    Dialogs& dialogs;
    Window& window;
    std::string appDir;  // the game's data (img/, sound/), with one trailing separator
    // Where the player's files go (settings, scores, replays, songs/), with one trailing
    // separator: SaveDir(appDir). Empty keeps them in appDir (tests and tools that name one
    // folder for everything).
    std::string saveDir = {};
    // Makes the ranking's FTP connections (the program's start gives the libcurl one); when
    // empty, every exchange with the ranking server fails as if no connection could be made.
    FtpConnector ftp = nullptr;
    // The music cannot be played (no soundfont): one of the start-up's collected failures.
    bool soundfontMissing = false;
};

// The folder of the running program, with exactly one trailing separator.
std::string ProgramDir();

// The folders of a program in `programDir` (platform/save_dir.cpp). The data folder is the
// program's own when img/ stands beside it (the build folder or a portable copy); an installed
// program's is its prefix's share/zubakko/.
std::string DataDir(const std::string& programDir);
// An installed game's data folder (one ending in share/zubakko/) keeps the saves in
// $XDG_DATA_HOME/zubakko/ (by default ~/.local/share/zubakko/); any other keeps them beside
// the data. The second form takes the environment's values (empty when unset).
std::string SaveDir(const std::string& appDir);
std::string SaveDir(const std::string& appDir, const std::string& xdgDataHome,
                    const std::string& home);
// Makes the save folder when it differs from the data folder (an installed game's first start)
// and copies the first saves the data folder comes with (config.dat, score.dat) into it, never
// over the player's. A failure is one line on standard error; the start-up's reads that follow
// then report what is missing.
void PrepareSaveDir(const std::string& appDir, const std::string& saveDir);

}  // namespace zb
