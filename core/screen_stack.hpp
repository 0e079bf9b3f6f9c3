// One main loop over a stack of screens. The loop takes the game's input events in the order they
// came (clicks, the timer, the close request; keys, pads and kits, stamped as they came, into the
// keys' state) and hands them to the screen on top, which sees only those stamped since it came
// on top. A screen owns its controls and its state and says what comes next: stay,
// push another screen over it, pop itself (its parent then reads its result), or replace itself.
#pragma once

#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/game.hpp"

namespace zb {

class GameScreen;

// What a screen asks of the stack after it handled something.
struct Step {
    enum class Kind { Stay, Push, Pop, Replace, ToTitle };
    Kind kind = Kind::Stay;
    std::unique_ptr<GameScreen> next;  // Push and Replace

    static Step Stay() { return {}; }
    static Step Pop() { return {Kind::Pop, nullptr}; }
    static Step Push(std::unique_ptr<GameScreen> s) { return {Kind::Push, std::move(s)}; }
    static Step Replace(std::unique_ptr<GameScreen> s) { return {Kind::Replace, std::move(s)}; }
    // Leaves every screen above the title and shows the title again.
    static Step ToTitle() { return {Kind::ToTitle, nullptr}; }
};

inline constexpr double kNoWake = std::numeric_limits<double>::infinity();

// The music's transport as a screen found it: the stack gives it back when the screen leaves.
struct TransportState {
    double tempo = 1;
    bool paused = false;
    DrumPart drums = DrumPart::Full;
    bool clicking = false;
};

class GameScreen {
  public:
    virtual ~GameScreen() = default;
    // Which screen this is: its Japanese name names it in the run-error box and on stderr.
    virtual Screen Id() const = 0;
    // Pushed (or put in place of another): sets up its controls.
    virtual Step Start(Game& game) = 0;
    // One pass: after anything happened (a key or pad changed, the screen's wake time came, an
    // event was handled). Screens read their keys here.
    virtual Step Pass(Game&) { return Step::Stay(); }
    virtual Step Click(Game&, ClickSource, int) { return Step::Stay(); }
    virtual Step Tick(Game&) { return Step::Stay(); }
    // The screen it pushed has popped; `child` holds its result.
    virtual Step Resumed(Game&, GameScreen&) { return Step::Stay(); }
    // A run-time error in this screen or one above it: a screen that tells it its own way (the
    // ranking course) does so and returns true. Either way the title comes back.
    virtual bool TellsRunError(Game&, const std::exception&) { return false; }
    // When the screen wants its next pass at the latest (clock seconds).
    virtual double WakeAt(Game&) { return kNoWake; }
    // True while the screen judges strikes: the loop then waits for its wake time looking at the
    // keys about once a millisecond, and does not sleep on the window's events.
    virtual bool JudgesStrikes() const { return false; }

    double startedAt = 0;  // the clock when it started
    // The tempo and pause a screen sets belong to it: however it leaves the stack (pop, replace,
    // back to the title, a run-time error), the stack puts back what it found at its start, so a
    // practice at 80 % never outlives its screen.
    TransportState transportAtStart;
};

class ScreenStack : public FormEvents {
  public:
    explicit ScreenStack(Game& game);
    ~ScreenStack() override;

    // Where a run-time error leads: the game's title screen. Without one the error is rethrown
    // (the tools run single screens and report it themselves).
    std::function<std::unique_ptr<GameScreen>()> titleScreen;
    // The player closes the window: the game asks and may end the program (throws ProgramEnd).
    std::function<void()> closeRequested;

    void Push(Game& game, std::unique_ptr<GameScreen> screen);
    // Runs the loop until the stack is empty; or, one pass at a time, while `more` says so
    // (tests run a screen up to a moment of their own).
    void Run();
    void RunWhile(const std::function<bool()>& more);
    bool Empty() const { return screens_.empty(); }
    // Every screen leaves, top first, giving back what it changed and stopping what it started
    // (a ranking exchange): the exit does this before it empties the ranking file.
    void LeaveAll();
    GameScreen* Top() { return screens_.empty() ? nullptr : screens_.back().get(); }

    // FormEvents: the window's events join the game's input queue, in the order they came.
    void ClickDispatch(ClickSource source, int index) override;
    void TimerTick() override;
    void CloseRequested() override;

  private:
    void Queue(InputKind kind, ClickSource source, int index);
    void Deliver(const InputEvent& e);
    void Guarded(const std::function<Step()>& handler);
    // Runs one of the window's pumps (or the close request's handler) inside Guarded.
    void Pump(const std::function<void()>& pump);
    void Apply(Step step);
    void AfterRunError(const std::exception& e);
    void GiveBackTransport(const GameScreen& leaving);

    Game& game_;
    FormEvents* outer_ = nullptr;
    std::vector<std::unique_ptr<GameScreen>> screens_;
};

// Runs `screen` on a stack of its own until it pops (tools and tests run single screens this
// way); `done` reads its result just before it goes. Run-time errors reach the caller.
void RunScreen(Game& game, std::unique_ptr<GameScreen> screen,
               const std::function<void(GameScreen&)>& done = nullptr);

// A menu's wake: while a key is down it looks again in about a millisecond (a press acts from
// its second look, a held arrow repeats); otherwise it sleeps until something happens.
double MenuWakeAt(Game& game);

// The screen on top's name, or an empty one (for messages).
std::string_view TopScreenName(const Game& game);

}  // namespace zb
