#include "play/practice_screen.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "core/failure_report.hpp"
#include "core/options_file.hpp"
#include "core/own_songs.hpp"
#include "core/play_request.hpp"
#include "core/strike_inputs.hpp"
#include "platform/pad_inputs.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_slots.hpp"

namespace zb {

namespace {

// The practice keys beyond the arrows (virtual-key codes).
constexpr int kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36;
constexpr int kKeyP = vk::A + ('P' - 'A'), kKeyR = vk::A + ('R' - 'A');

constexpr const char* kKeysLine =
    "←→ テンポ　↑↓ A小節　PgUp/PgDn B小節　R ランプ　Home/End 上限　Esc もどる\r\n"
    "F5 ドラム　F6 メトロノーム　F7 待つ";
// A stroke of the wrong kind shows this long on the panel.
constexpr double kWrongShownSeconds = 0.6;

std::string Percent(double rate) {
    return std::to_string(std::lround(rate * 100)) + "%";
}

std::string Counts(const PracticePass& p) {
    return "良 " + std::to_string(p.best) + "　可 " + std::to_string(p.good) + "　不可 " +
           std::to_string(p.miss);
}

const char* CourseName(int16_t difficulty) {
    return difficulty == 1 ? "むずかしい" : difficulty == 2 ? "ワンだフル" : "かんたん";
}

void SetUp(LabelControl& l, int top, int height, double size, Color fore) {
    l.Left = 300;
    l.Top = top;
    l.Width = 9400;
    l.Height = height;
    l.FontSize = size;
    l.ForeColor = fore;
    l.BackColor = colors::Black;
    l.Alignment = Align::Left;
    l.Caption.clear();
    l.Visible = true;
}

// Whether a pad's input is bound to a strike.
bool Strikes(Game& game, const PadInfo& pad, int input) {
    return StrikeOf(game, pad::Code(pad.slot, input)) >= 0;
}

// The d-pad (a joystick's first hat) steers here unless the player plays on it.
bool DpadSteers(Game& game) {
    for (const PadInfo& pad : game.platform.keyboard.Pads())
        for (int dir = 0; dir < 4; ++dir) {
            const int input = pad.controller ? pad::DpUp + dir : pad::RawHat(0, dir);
            if (Strikes(game, pad, input)) return false;
        }
    return true;
}

// A key that went down since the previous look (and at or after `from`), unless it strikes.
bool Tapped(Game& game, int code, double from = -std::numeric_limits<double>::infinity()) {
    if (StrikeOf(game, code) >= 0) return false;
    return (game.input.GetAsyncKeyState(code, from) & kKeyPressedSince) != 0;
}

// A pad's START or BACK button that strikes nothing, pressed since the previous look.
bool PadButtonTapped(Game& game, int button,
                     double from = -std::numeric_limits<double>::infinity()) {
    bool tapped = false;
    for (const PadInfo& pad : game.platform.keyboard.Pads())
        if (pad.controller) tapped |= Tapped(game, pad::Code(pad.slot, pad::Button(button)), from);
    return tapped;
}

}  // namespace

bool PracticeAsked(Game& game, double from) {
    const bool key = Tapped(game, kKeyP, from);
    return PadButtonTapped(game, pad::Back, from) || key;
}

PracticeScreen::PracticeScreen(ChartId chart, std::optional<double> from)
    : chart_(chart), from_(from) {}

PracticeScreen::~PracticeScreen() = default;

Step PracticeScreen::Start(Game& game) {
    Platform& pf = game.platform;
    pf.music.SetFileName("");
    pf.music.SetDrumPart(game.options.Drums);  // the stack gives it back as practice leaves
    game.chart.Mode = Modifier::None;
    PlayScreenSetup(game, PlayRequest{.chart = chart_});
    PracticeRequest rq;
    rq.chart = chart_;
    rq.fromBar = 1;
    rq.toBar = kPracticeFirstBars;
    rq.loops = 0;  // until the player leaves
    try {
        play_ = std::make_unique<PracticePlay>(game, rq);
        // Bars without a note teach nothing: the section starts where the notes do.
        const int bar = from_ ? play_->Bars().BarAt(*from_ + 1e-6) : play_->FirstNoteBar();
        const int bars = from_ ? kPracticeFromPauseBars : kPracticeFirstBars;
        const Section first = SectionOf(play_->Bars(), bar, bar + bars - 1);
        fromBar_ = first.fromBar;
        toBar_ = first.toBar;
        play_->SetNextSection(fromBar_, toBar_);
    } catch (const OwnSongFileGone& gone) {
        TellOwnSongFileGone(game, gone);
        return Step::Pop();
    } catch (const std::runtime_error& e) {
        ReportFailure("cannot practise", PracticeMusicFile(game, chart_), e.what());
        pf.dialogs.MessageBox(
            std::string("この曲の小節が読めないので、練習できません。\r\n") + e.what(),
            MsgButtons::Ok, MsgIcon::Warning, kAppTitle);
        return Step::Pop();
    }
    MainForm& f = game.form;
    std::string line = std::string("練習（") + CourseName(chart_.difficulty) + "）";
    if (chart_.song >= 0 && chart_.song < kSongCount)
        line += std::string("　") + SongCourseLineName(chart_.song);
    if (const OwnSong* own = FindOwnSong(game, chart_.song)) line += "　" + own->title;
    f.Label[play_slots::kCourseLineLabel].Caption = line;
    // No score and no background: the panel takes their place.
    f.Label[play_slots::kScoreLabel].Visible = false;
    f.pHaikei.Visible = false;
    const auto& l = play_slots::kPracticeLabels;
    for (size_t i = 0; i < 5; ++i)
        SetUp(f.Label[l[i]], 4250 + int(i) * 460, 440, 15, i == 0 ? colors::Yellow : colors::White);
    SetUp(f.Label[l[5]], 6620, 760, 11, Color::Rgb(0xB0, 0xB0, 0xB0));
    f.Label[l[5]].Caption = kKeysLine;
    shown_ = {};

    pf.window.SetTextInput(false);  // no input method's window on a play key

    sounds_.emplace(game);
    play_->Begin();
    frames_.Begin(pf.clock.Now());
    Show(game);
    return Step::Stay();
}

bool PracticeScreen::LeaveAsked(Game& game) {
    const bool esc = Tapped(game, vk::Escape);
    const bool start = PadButtonTapped(game, pad::Start);
    return PadButtonTapped(game, pad::Back) || esc || start;
}

Step PracticeScreen::Leave(Game& game) {
    Platform& pf = game.platform;
    sounds_.reset();
    play_.reset();
    // The tempo is practice's own: the stack gives song select back the 100 % it had.
    pf.music.SetFileName("");
    pf.music.SetVolume(game.settings.BgmVolume);
    for (size_t label : play_slots::kPracticeLabels) game.form.Label[label].Visible = false;
    return Step::Pop();
}

int PracticeScreen::Held(Game& game, std::initializer_list<int> keys, bool withPad) {
    InputQueue& kb = game.input;
    for (int key : keys) {
        if (StrikeOf(game, key) >= 0) continue;
        uint16_t state = kb.GetAsyncKeyState(key);
        const bool arrow = key >= vk::Left && key <= vk::Down;
        if (withPad && arrow) state |= kb.GetAsyncKeyState(pad::MenuCode(key));
        if ((state & (kKeyDown | kKeyPressedSince)) == 0) continue;
        // A new press steps at once, even of the key held before.
        if (state & kKeyPressedSince) repeat_.Step(0, 0);
        return key;
    }
    return 0;
}

bool PracticeScreen::ReadKeys(Game& game) {
    PracticePlay& p = *play_;
    bool changed = false;
    if (Tapped(game, kKeyR)) p.SetRamp(!p.Ramp()), changed = true;
    if (Tapped(game, kHome)) p.SetCeiling(StepRate(p.Ceiling(), +1)), changed = true;
    if (Tapped(game, kEnd)) p.SetCeiling(StepRate(p.Ceiling(), -1)), changed = true;
    // The function keys act at once: no strike can take them.
    MusicPlayer& music = game.platform.music;
    if (Tapped(game, vk::F5)) {
        game.options.Drums = NextDrumPart(game.options.Drums);
        SaveOptions(game);
        music.SetDrumPart(game.options.Drums);
        changed = true;
    }
    if (Tapped(game, vk::F6)) {
        music.SetClicks(music.Clicking() ? std::vector<ClickBeat>{} : p.Bars().beats);
        changed = true;
    }
    if (Tapped(game, vk::F7)) p.SetWait(!p.Wait()), changed = true;
    // The steppers: a press steps once, a held key repeats.
    const int key =
        Held(game, {vk::Left, vk::Right, vk::Up, vk::Down, kPageUp, kPageDown}, DpadSteers(game));
    if (!repeat_.Step(key, game.platform.clock.Now())) return changed;
    const int bars = p.Bars().Count();
    switch (key) {
        case vk::Left:
        case vk::Right:
            p.SetNextRate(StepRate(p.NextRate(), key == vk::Right ? +1 : -1));
            return true;
        case vk::Up:
        case vk::Down:
            fromBar_ = std::clamp(fromBar_ + (key == vk::Up ? 1 : -1), 1, bars);
            toBar_ = std::max(toBar_, fromBar_);
            break;
        default:
            toBar_ = std::clamp(toBar_ + (key == kPageUp ? 1 : -1), fromBar_, bars);
            break;
    }
    p.SetNextSection(fromBar_, toBar_);
    return true;
}

Step PracticeScreen::Pass(Game& game) {
    if (!play_) return Step::Pop();
    if (LeaveAsked(game)) return Leave(game);
    try {
        return Practise(game);
    } catch (const OwnSongFileGone& gone) {  // each pass loads the chart from the file again
        TellOwnSongFileGone(game, gone);
        return Leave(game);
    }
}

Step PracticeScreen::Practise(Game& game) {
    const bool changed = ReadKeys(game);
    // A stroke under 待つ is judged at once; the section's end loops at once, not at the next
    // frame, and a note due halts the song right there.
    const bool stroke = play_->StrokeWaiting();
    if (!stroke) play_->EndIfDue();
    const double now = game.platform.clock.Now();
    if (frames_.Due(now) || stroke) {
        play_->Frame();
        frames_.Ran(game.platform.clock.Now());
        play_->Advance();
        Show(game);
    } else if (changed) {
        Show(game);
    }
    return Step::Stay();
}

double PracticeScreen::WakeAt(Game&) {
    if (!play_) return kNoWake;
    const std::optional<double> end = play_->SectionEndAt();
    return end ? std::min(*end, frames_.Next()) : frames_.Next();
}

void PracticeScreen::Show(Game& game) {
    const PracticePlay& p = *play_;
    std::array<std::string, 5> text;
    text[0] = "テンポ " + Percent(p.Rate());
    if (p.NextRate() != p.Rate()) text[0] += " → " + Percent(p.NextRate()) + "（次の周から）";
    text[0] += "　　ランプ " + std::string(p.Ramp() ? "ON" : "OFF") + "（上限 " +
               Percent(p.Ceiling()) + "）";
    const Section& s = p.SectionPlayed();
    text[1] = "区間 A " + std::to_string(s.fromBar) + "小節 〜 B " + std::to_string(s.toBar) +
              "小節（全 " + std::to_string(p.Bars().Count()) + "小節）";
    if (fromBar_ != s.fromBar || toBar_ != s.toBar)
        text[1] +=
            " → " + std::to_string(fromBar_) + "〜" + std::to_string(toBar_) + "（次の周から）";
    const PracticePass now = p.Current();
    char mean[32] = "―";
    if (now.meanOffsetMs) std::snprintf(mean, sizeof mean, "%+.1fms", *now.meanOffsetMs);
    text[2] = std::to_string(p.Passes().size() + 1) + "周目　" + Counts(now) + "　平均 " + mean;
    const std::optional<PracticePass> best = p.Best();
    text[3] = best ? "ベスト　" + Percent(best->rate) + "　" + Counts(*best) : "ベスト　―";
    text[4] = std::string("ドラム ") + DrumPartCaption(game.options.Drums) + "　メトロノーム " +
              (game.platform.music.Clicking() ? "ON" : "OFF") + "　待つ " +
              (p.Wait() ? "ON" : "OFF");
    if (p.Wait()) {
        text[4] += "（待った " + std::to_string(now.waited) + "）";
        const double wrong = p.WrongStrokeAt();
        if (wrong >= 0 && game.platform.clock.Now() - wrong < kWrongShownSeconds)
            text[4] += "　ちがう！";
    }
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != shown_[i]) {
            game.form.Label[play_slots::kPracticeLabels[i]].Caption = text[i];
            shown_[i] = text[i];
        }
}

}  // namespace zb
