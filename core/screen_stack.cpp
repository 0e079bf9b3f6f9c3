#include "core/screen_stack.hpp"

#include <algorithm>

#include "core/run_error.hpp"

namespace zb {

ScreenStack::ScreenStack(Game& game) : game_(game) {
    game_.platform.window.SetEvents(this);
}

ScreenStack::~ScreenStack() {
    game_.platform.window.SetEvents(nullptr);
}

void ScreenStack::Push(Game& game, std::unique_ptr<GameScreen> screen) {
    (void)game;
    Guarded([&] { return Step::Push(std::move(screen)); });
}

void ScreenStack::Apply(Step step) {
    switch (step.kind) {
        case Step::Kind::Stay:
            return;
        case Step::Kind::Replace:
            if (!screens_.empty()) {
                GiveBackTransport(*screens_.back());
                screens_.pop_back();
            }
            [[fallthrough]];
        case Step::Kind::Push: {
            screens_.push_back(std::move(step.next));
            GameScreen& s = *screens_.back();
            s.startedAt = game_.platform.clock.Now();
            game_.input.StartScreen(s.startedAt);
            const MusicPlayer& music = game_.platform.music;
            s.transportAtStart = {music.Tempo(), music.Paused(), music.Drums(), music.Clicking()};
            game_.ScreenState = s.Id();
            Apply(s.Start(game_));
            return;
        }
        case Step::Kind::Pop: {
            std::unique_ptr<GameScreen> child = std::move(screens_.back());
            screens_.pop_back();
            GiveBackTransport(*child);
            if (screens_.empty()) return;
            GameScreen& parent = *screens_.back();
            game_.ScreenState = parent.Id();
            game_.input.StartScreen(game_.platform.clock.Now());
            Apply(parent.Resumed(game_, *child));
            return;
        }
        case Step::Kind::ToTitle:
            game_.platform.music.SetFileName("");
            LeaveAll();
            if (titleScreen) Apply(Step::Push(titleScreen()));
            return;
    }
}

void ScreenStack::LeaveAll() {
    while (!screens_.empty()) {
        GiveBackTransport(*screens_.back());
        screens_.pop_back();
    }
}

void ScreenStack::GiveBackTransport(const GameScreen& leaving) {
    MusicPlayer& music = game_.platform.music;
    const TransportState& was = leaving.transportAtStart;
    if (music.Tempo() != was.tempo) music.SetTempo(was.tempo);
    if (music.Paused() != was.paused) was.paused ? music.Pause() : music.Resume();
    if (music.Drums() != was.drums) music.SetDrumPart(was.drums);
    if (music.Clicking() && !was.clicking) music.SetClicks({});
}

// Nothing but the player ends the game: a run-time error in whatever screen, whatever input
// led there, is told (by the screen that tells its own, else by the box) and the title comes
// back. Telling it may fail in turn (a box or a title that cannot be drawn): that failure is one
// more line, and the title is tried once more without a box; only a title that cannot start
// at all goes on to main.
void ScreenStack::AfterRunError(const std::exception& e) {
    try {
        ReportRunError(game_, e);
        bool told = false;
        for (auto it = screens_.rbegin(); it != screens_.rend() && !told; ++it)
            told = (*it)->TellsRunError(game_, e);
        if (!told) TellRunError(game_, e);
        Apply(Step::ToTitle());
    } catch (const std::exception& again) {
        ReportRunError(game_, again);
        Apply(Step::ToTitle());
    }
}

// The one place that decides what a run-time error does: the screens' handlers, the window's
// pumps (the key-down hook, pads, kits, drawing) and the close request all run in here.
void ScreenStack::Guarded(const std::function<Step()>& handler) {
    if (!titleScreen) return Apply(handler());
    try {
        Apply(handler());
    } catch (const std::exception& e) {
        AfterRunError(e);
    }
}

void ScreenStack::Pump(const std::function<void()>& pump) {
    Guarded([&] {
        pump();
        return Step::Stay();
    });
}

void ScreenStack::Deliver(const InputEvent& e) {
    GameScreen* top = Top();
    if (!top) return;
    switch (e.kind) {
        case InputKind::Close:
            if (closeRequested) Pump(closeRequested);
            return;
        case InputKind::Click:
            Guarded([&] { return top->Click(game_, e.source, e.index); });
            return;
        case InputKind::Tick:
            Guarded([&] { return top->Tick(game_); });
            return;
        default:
            return;
    }
}

void ScreenStack::Run() {
    RunWhile([] { return true; });
}

void ScreenStack::RunWhile(const std::function<bool()>& more) {
    Window& window = game_.platform.window;
    Clock& clock = game_.platform.clock;
    while (!screens_.empty() && more()) {
        Pump([&] { window.DoEvents(); });  // shows what changed; the window's events queue
        while (!screens_.empty())
            if (const std::optional<InputEvent> e = game_.input.Next())
                Deliver(*e);
            else
                break;
        if (screens_.empty()) break;
        Guarded([&] { return screens_.back()->Pass(game_); });
        if (screens_.empty() || !game_.input.Empty()) continue;
        Pump([&] {
            GameScreen& top = *screens_.back();
            const double wake = top.WakeAt(game_);
            if (top.JudgesStrikes())
                window.WaitUntil(wake);
            else  // at least once a second, so that no screen ever waits on a lost wake-up
                window.WaitForEvent(std::min(wake, clock.Now() + 1.0));
        });
    }
}

void ScreenStack::ClickDispatch(ClickSource source, int index) {
    Queue(InputKind::Click, source, index);
}

void ScreenStack::TimerTick() {
    Queue(InputKind::Tick, ClickSource::Form, 0);
}

void ScreenStack::CloseRequested() {
    Queue(InputKind::Close, ClickSource::Form, 0);
}

void ScreenStack::Queue(InputKind kind, ClickSource source, int index) {
    game_.input.Push({.at = game_.platform.clock.Now(),
                      .kind = kind,
                      .device = {DeviceKind::Window, 0},
                      .source = source,
                      .index = index});
}

namespace {

// The bottom of a single screen's stack: it starts the screen and hands on its result.
class Holder : public GameScreen {
  public:
    Holder(std::unique_ptr<GameScreen> screen, const std::function<void(GameScreen&)>& done)
        : screen_(std::move(screen)), done_(done) {}
    Screen Id() const override { return Screen::None; }
    Step Start(Game&) override { return Step::Push(std::move(screen_)); }
    Step Resumed(Game&, GameScreen& child) override {
        if (done_) done_(child);
        return Step::Pop();
    }

  private:
    std::unique_ptr<GameScreen> screen_;
    const std::function<void(GameScreen&)>& done_;
};

}  // namespace

void RunScreen(Game& game, std::unique_ptr<GameScreen> screen,
               const std::function<void(GameScreen&)>& done) {
    ScreenStack stack(game);
    stack.Push(game, std::make_unique<Holder>(std::move(screen), done));
    stack.Run();
}

double MenuWakeAt(Game& game) {
    Platform& p = game.platform;
    return game.input.AnyKeyDown() ? p.clock.Now() + 0.001 : kNoWake;
}

std::string_view TopScreenName(const Game& game) {
    return ScreenName(game.ScreenState);
}

}  // namespace zb
