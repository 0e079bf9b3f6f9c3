#include "tools/play/play_tool.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "core/chart_loader.hpp"
#include "core/devices_file.hpp"
#include "core/file_replace.hpp"
#include "core/kit_map.hpp"
#include "core/midi_file.hpp"
#include "core/own_songs.hpp"
#include "core/strike_inputs.hpp"
#include "course/challenge_menu.hpp"
#include "frontend/config_file.hpp"
#include "platform/headless/headless.hpp"
#include "platform/kit_hygiene.hpp"
#include "platform/kit_inputs.hpp"
#include "platform/pad_inputs.hpp"
#include "play/hit_feedback.hpp"
#include "play/play_screen_setup.hpp"
#include "tools/json_text.hpp"

namespace zb::tool {

namespace {

using zb::tools::JsonString;

int64_t ParseInt(const std::string& s, const std::string& what, int64_t lo, int64_t hi) {
    int64_t v = 0;
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, v);
    if (ec != std::errc() || p != end || v < lo || v > hi)
        throw std::invalid_argument(what + " must be a whole number from " + std::to_string(lo) +
                                    " to " + std::to_string(hi) + ", not \"" + s + "\"");
    return v;
}

double ParseRate(const std::string& s) {
    double v = 0;
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, v);
    if (ec != std::errc() || p != end || !(v >= kPracticeSlowest - 1e-9) ||
        !(v <= kPracticeFastest + 1e-9))
        throw std::invalid_argument("--rate must be a factor from 0.5 to 1.5, not \"" + s + "\"");
    return v;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
            return args[++i];
        };
        if (a == "--song")
            o.song = int16_t(ParseInt(value(), "--song", 0, 9));
        else if (a == "--song-file")
            o.songFile = value();
        else if (a == "--difficulty")
            o.difficulty = int16_t(ParseInt(value(), "--difficulty", 0, 3));
        else if (a == "--auto")
            o.autoPlay = true;
        else if (a == "--mode")
            o.mode = int(ParseInt(value(), "--mode", 0, 9));
        else if (a == "--keys")
            o.keysFile = value();
        else if (a == "--pad")
            o.padFile = value();
        else if (a == "--pad-bindings")
            o.padBindings = true;
        else if (a == "--kit")
            o.kitFile = value();
        else if (a == "--kit-map")
            o.kitMapFile = value();
        else if (a == "--kit-map-defaults")
            o.kitMapDefaults = true;
        else if (a == "--config")
            o.configFile = value();
        else if (a == "--offsets")
            o.offsetsFile = value();
        else if (a == "--delay")
            o.delay = int16_t(ParseInt(value(), "--delay", -1000, 1000));
        else if (a == "--frame")
            o.frame = int16_t(ParseInt(value(), "--frame", -1000, 1000));
        else if (a == "--bigwait")
            o.bigWait = true;
        else if (a == "--fps")
            o.fps = double(ParseInt(value(), "--fps", 1, 10000));
        else if (a == "--replay")
            o.replayFile = value();
        else if (a == "--export-midi")
            o.exportMidi = value();
        else if (a == "--history")
            o.historyDir = value();
        else if (a == "--json")
            o.json = true;
        else if (a == "--pause-at")
            o.pauseAt = int32_t(ParseInt(value(), "--pause-at", 0, 3600000));
        else if (a == "--pause-for")
            o.pauseFor = int32_t(ParseInt(value(), "--pause-for", 20, 3600000));
        else if (a == "--leave-at")
            o.leaveAt = int32_t(ParseInt(value(), "--leave-at", 0, 3600000));
        else if (a == "--save-replay")
            o.saveReplay = value();
        else if (a == "--ghost")
            o.ghostFile = value();
        else if (a == "--practice")
            o.practice = true;
        else if (a == "--rate")
            o.rate = ParseRate(value());
        else if (a == "--from-bar")
            o.fromBar = int(ParseInt(value(), "--from-bar", 1, 100000));
        else if (a == "--to-bar")
            o.toBar = int(ParseInt(value(), "--to-bar", 1, 100000));
        else if (a == "--loops")
            o.loops = int(ParseInt(value(), "--loops", 1, 1000));
        else if (a == "--ramp")
            o.ramp = true;
        else if (a == "--wait")
            o.wait = true;
        else
            throw std::invalid_argument("unknown option " + a);
    }
    if (o.padBindings || o.kitMapDefaults) return o;
    if (!o.historyDir.empty()) {
        if (args.size() != (o.json ? 3u : 2u))
            throw std::invalid_argument("--history takes the save folder alone (and --json)");
        return o;
    }
    if (o.json) throw std::invalid_argument("--json goes with --history");
    if (!o.exportMidi.empty() && o.replayFile.empty())
        throw std::invalid_argument("--export-midi goes with --replay");
    if (!o.replayFile.empty()) {
        if (args.size() != (o.songFile.empty() ? 2u : 4u) + (o.exportMidi.empty() ? 0u : 2u))
            throw std::invalid_argument(
                "--replay takes the chart and settings from the file alone "
                "(and an own song's --song-file, and --export-midi)");
        return o;
    }
    if ((o.song < 0) == o.songFile.empty() || o.difficulty < 0)
        throw std::invalid_argument("--song or --song-file, and --difficulty, are needed");
    if (!o.saveReplay.empty() &&
        (o.autoPlay || (o.keysFile.empty() && o.padFile.empty() && o.kitFile.empty())))
        throw std::invalid_argument("--save-replay needs a play with --keys, --pad or --kit");
    if (!o.ghostFile.empty() && (o.autoPlay || o.practice ||
                                 (o.keysFile.empty() && o.padFile.empty() && o.kitFile.empty())))
        throw std::invalid_argument("--ghost needs a play with --keys, --pad or --kit");
    if (!o.kitMapFile.empty() && o.kitFile.empty())
        throw std::invalid_argument("--kit-map needs a play with --kit");
    const bool practiceOnly =
        o.rate != 1.0 || o.fromBar || o.toBar || o.loops != 1 || o.ramp || o.wait;
    if (!o.practice && practiceOnly)
        throw std::invalid_argument(
            "--rate, --from-bar, --to-bar, --loops, --ramp and --wait need --practice");
    if (o.practice && (o.mode >= 0 || !o.saveReplay.empty()))
        throw std::invalid_argument("--practice plays no challenge and keeps no replay");
    if (o.fromBar.has_value() != o.toBar.has_value())
        throw std::invalid_argument("--from-bar and --to-bar go together");
    if (o.fromBar && *o.toBar < *o.fromBar)
        throw std::invalid_argument("--to-bar must not be before --from-bar");
    return o;
}

namespace {

// One change a line, "<ms> <what> down|up"; `code` turns the second word into a code.
template <typename Code>
std::vector<KeyEvent> ParseChanges(const std::string& text, const std::string& file,
                                   const std::string& what, Code code) {
    std::vector<KeyEvent> out;
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string ms, name, state, extra;
        if (!(words >> ms) || ms[0] == '#') continue;
        const std::string where = file + " line " + std::to_string(n);
        if (!(words >> name >> state) || (words >> extra) || (state != "down" && state != "up"))
            throw std::invalid_argument(where + ": expected \"<ms> <" + what + "> down|up\"");
        out.push_back({ParseInt(ms, where + ": ms", 0, int64_t{1} << 40), code(name, where),
                       state == "down"});
    }
    return out;
}

// The scripted pad: a standard gamepad in the first slot.
const PadInfo kScriptedPad{0, "0300000000000000000000000000000f", "zubakko-play pad", true};
// The scripted kit, in the first slot.
const KitInfo kScriptedKit{0, "zubakko-play kit"};

}  // namespace

std::vector<KeyEvent> ParseKeys(const std::string& text) {
    return ParseChanges(text, "keys file", "vk", [](const std::string& s, const std::string& at) {
        return int(ParseInt(s, at + ": vk", 1, 254));
    });
}

std::vector<KeyEvent> ParsePad(const std::string& text) {
    return ParseChanges(text, "pad file", "input", [](const std::string& s, const std::string& at) {
        const auto input = pad::InputFromName(s);
        if (!input || !pad::IsValid(*input, true))
            throw std::invalid_argument(at + ": \"" + s +
                                        "\" is not a game controller's button or axis");
        return pad::Code(kScriptedPad.slot, *input);
    });
}

std::vector<KitStroke> ParseKit(const std::string& text) {
    std::vector<KitStroke> out;
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string ms, note, velocity, extra;
        if (!(words >> ms) || ms[0] == '#') continue;
        const std::string where = "kit file line " + std::to_string(n);
        if (!(words >> note >> velocity) || (words >> extra))
            throw std::invalid_argument(where + ": expected \"<ms> <note> <velocity>\"");
        out.push_back({ParseInt(ms, where + ": ms", 0, int64_t{1} << 40),
                       int(ParseInt(note, where + ": note", 0, 127)),
                       int(ParseInt(velocity, where + ": velocity", 1, 127))});
    }
    return out;
}

KitBinding ParseKitMap(const std::string& text) {
    KitBinding b = DefaultKitBinding();
    b.strikes.fill(-1);
    b.shown = {-1, -1, -1, -1};
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string first, second, third, extra;
        if (!(words >> first) || first[0] == '#') continue;
        const std::string where = "kit map line " + std::to_string(n);
        const bool three = first == "floor" || first == "retrigger" || first == "crosstalk";
        if (!(words >> second) || (three && !(words >> third)) || (words >> extra))
            throw std::invalid_argument(
                where +
                ": expected \"<note> <strike>\", \"big <velocity>\", \"floor <note> <velocity>\", "
                "\"retrigger <note> <ms>\" or \"crosstalk <ms> <ratio>\"");
        kit::Hygiene& h = b.hygiene;
        if (first == "floor" || first == "retrigger") {
            const size_t note = size_t(ParseInt(second, where + ": note", 0, 127));
            if (first == "floor")
                h.floor[note] = uint8_t(ParseInt(third, where + ": velocity", 0, 127));
            else
                h.retriggerMs[note] =
                    uint8_t(ParseInt(third, where + ": ms", 0, kit::kMaxWindowMs));
            continue;
        }
        if (first == "crosstalk") {
            h.crosstalkMs = uint8_t(ParseInt(second, where + ": ms", 0, kit::kMaxWindowMs));
            int percent = 0;
            if (!ReadCrosstalkRatio(third, percent))
                throw std::invalid_argument(
                    where + ": the ratio must be from 0 to 1 in hundredths, not \"" + third + "\"");
            h.crosstalkPercent = uint8_t(percent);
            continue;
        }
        if (first == "big") {
            b.bigVelocity = int16_t(ParseInt(second, where + ": velocity", 1, 128));
            continue;
        }
        const int note = int(ParseInt(first, where + ": note", 0, 127));
        const int strike = int(ParseInt(second, where + ": strike", 0, 3));
        b.strikes[size_t(note)] = int8_t(strike);
        if (b.shown[size_t(strike)] < 0) b.shown[size_t(strike)] = int16_t(note);
    }
    return b;
}

std::string KitMapDefaultsJson() {
    const KitBinding b = DefaultKitBinding();
    std::string s = "{\"notes\": {";
    bool first = true;
    for (size_t n = 0; n < b.strikes.size(); ++n) {
        if (b.strikes[n] < 0) continue;
        s += std::string(first ? "" : ", ") + "\"" + std::to_string(n) +
             "\": " + std::to_string(b.strikes[n]);
        first = false;
    }
    const kit::Hygiene& h = b.hygiene;
    s += "}, \"bigVelocity\": " + std::to_string(b.bigVelocity) + ", \"floors\": {";
    first = true;
    for (size_t n = 0; n < h.floor.size(); ++n) {
        if (!h.floor[n]) continue;
        s += std::string(first ? "" : ", ") + "\"" + std::to_string(n) +
             "\": " + std::to_string(h.floor[n]);
        first = false;
    }
    return s + "}, \"retrigger\": " + std::to_string(h.retriggerMs[0]) +
           ", \"crosstalk\": {\"ms\": " + std::to_string(h.crosstalkMs) +
           ", \"ratio\": " + CrosstalkRatioText(h.crosstalkPercent) + "}}";
}

std::string PadBindingsJson() {
    static const char* const kNames[4] = {"左足", "右足", "左手", "右手"};
    const PadStrikeInputs in = DefaultPadInputs(kScriptedPad);
    std::string s = "{";
    for (size_t k = 0; k < 4; ++k)
        s +=
            std::string(k ? ", " : "") + "\"" + kNames[k] + "\": \"" + pad::InputName(in[k]) + "\"";
    return s + "}";
}

namespace {

// The keyboard as the play sees it, noting when the play sounds its keys (from the moment it sets
// its down handler to the moment it takes it away): the strikes of the play.
class StrikeWatch : public Keyboard {
  public:
    StrikeWatch(Keyboard& keys, Clock& clock) : keys_(keys), clock_(clock) {}
    std::vector<InputEvent> TakeEvents() override { return keys_.TakeEvents(); }
    void SetDownHandler(std::function<void(int, double)> handler) override {
        if (handler && !from) from = clock_.Now();
        if (!handler && from) to = clock_.Now();
        keys_.SetDownHandler(std::move(handler));
    }
    std::vector<PadInfo> Pads() override { return keys_.Pads(); }
    uint64_t PadChanges() override { return keys_.PadChanges(); }
    std::vector<KitInfo> Kits() override { return keys_.Kits(); }
    uint64_t KitChanges() override { return keys_.KitChanges(); }
    void SetKitBigVelocity(int slot, int velocity) override {
        keys_.SetKitBigVelocity(slot, velocity);
    }
    void SetKitHygiene(int slot, const kit::Hygiene& rules) override {
        keys_.SetKitHygiene(slot, rules);
    }
    std::optional<double> from, to;

  private:
    Keyboard& keys_;
    Clock& clock_;
};

// Pairs every down stamp of a play key within [from, to] with the first sound of its file that
// started at or after it, in order, and returns the largest gap in milliseconds.
std::optional<double> HitSoundLagMax(const std::vector<std::pair<double, int>>& downs,
                                     const Game& game, const headless::RecordingWavePlayer& wave) {
    const std::vector<std::string> files = HitSoundFiles(game);
    std::vector<bool> used(wave.played.size());
    double worst = 0;
    for (const auto& [at, key] : downs) {
        const std::string& file = files[size_t(key / 2)];
        size_t i = 0;
        while (i < wave.played.size() &&
               (used[i] || wave.played[i] != file || wave.playedAt[i] < at - 1e-9))
            ++i;
        if (i == wave.played.size()) return std::nullopt;
        used[i] = true;
        worst = std::max(worst, (wave.playedAt[i] - at) * 1000.0);
    }
    return worst;
}

}  // namespace

namespace {

// The player's pause or leave in a scripted play: Esc when the music reaches the moment, then
// つづける (Enter) after the pause, or やめる (Up to the last item, Enter). The script's times are
// music positions: the strikes after the pause are held back and placed on the clock once the
// song goes on again.
struct ScriptedBreak {
    std::vector<KeyEvent> held;
};

ScriptedBreak ScheduleKeys(const Options& o, const std::vector<KeyEvent>& keys, double start,
                           headless::HeadlessPlatform& hp) {
    ScriptedBreak b;
    const std::optional<int32_t> at = o.leaveAt ? o.leaveAt : o.pauseAt;
    for (const KeyEvent& k : keys) {
        if (at && k.ms >= *at)
            b.held.push_back(k);
        else
            hp.keyboard.At(start + double(k.ms) / 1000.0, k.vk, k.down);
    }
    if (!at) return b;
    const double breakAt = start + *at / 1000.0;
    hp.keyboard.At(breakAt, vk::Escape, true);
    hp.keyboard.At(breakAt + 0.01, vk::Escape, false);
    if (o.leaveAt) {
        for (const auto& [dt, key] : {std::pair{0.1, vk::Up}, std::pair{0.15, vk::Enter}}) {
            hp.keyboard.At(breakAt + dt, key, true);
            hp.keyboard.At(breakAt + dt + 0.01, key, false);
        }
        b.held.clear();  // nothing is struck after leaving
        return b;
    }
    const double goOn = breakAt + o.pauseFor.value_or(1000) / 1000.0;
    hp.keyboard.At(goOn, vk::Enter, true);
    hp.keyboard.At(goOn + 0.01, vk::Enter, false);
    // Once the song plays again, the held strikes go onto the clock at their music positions.
    auto held = std::make_shared<std::vector<KeyEvent>>(b.held);
    auto paused = std::make_shared<bool>(false);
    hp.window.onYield = [held, paused, &hp] {
        if (hp.music.Paused()) *paused = true;
        if (!*paused || hp.music.Paused() || held->empty()) return;
        const double now = hp.clock.Now();
        const double pos = hp.music.CurrentPosition();
        for (const KeyEvent& k : *held)
            hp.keyboard.At(now + (double(k.ms) / 1000.0 - pos) / hp.music.Tempo(), k.vk, k.down);
        held->clear();
    };
    return b;
}

}  // namespace

SongResult PlayChart(const Options& o, const std::vector<KeyEvent>& keys, const std::string& appDir,
                     PlayMeasures* measures, Replay* record) {
    headless::HeadlessPlatform hp(appDir);
    StrikeWatch watch(hp.keyboard, hp.clock);
    Platform ports = {hp.clock, watch, hp.music, hp.wave, hp.dialogs, hp.window, appDir};
    Game game(ports);
    if (!o.configFile.empty()) {
        // The player's keys, delay and frame; the big-note mode stays the tool's choice.
        std::string bytes, why;
        if (!ReadWholeFile(o.configFile, bytes, 4096, &why))
            throw std::runtime_error(o.configFile + ": " + why);
        if (bytes.size() != size_t(kConfigFileSize))
            throw std::runtime_error(o.configFile + ": not a config.dat (" +
                                     std::to_string(kConfigFileSize) + " bytes)");
        Settings s;
        DecodeConfig(bytes, s);
        game.settings.KeyCodes = s.KeyCodes;
        game.settings.DelaySetting = s.DelaySetting;
        game.settings.FramePosition = s.FramePosition;
    }
    if (o.delay) game.settings.DelaySetting = *o.delay;
    game.devices = o.offsets;
    if (o.frame) game.settings.FramePosition = *o.frame;
    game.settings.BigNoteWait = o.bigWait;
    PlayRequest q;
    q.autoPlay = o.autoPlay;
    if (o.mode >= 0) {
        q.challenge = true;
        q.modifier = game.chart.Mode = kModifiers[size_t(o.mode)].modifier;
        q.challengePoints = kModifiers[size_t(o.mode)].points;
    }
    ChartId chart{.song = o.song, .difficulty = o.difficulty};
    if (!o.songFile.empty()) {
        chart.song = AddOwnSong(game, o.songFile);
        const OwnSong& own = *FindOwnSong(game, chart.song);
        if (!own.playable) throw std::runtime_error(o.songFile + ": " + own.reason);
    }
    q.chart = chart;
    PlayScreenSetup(game, q);
    LoadChart(game, chart, 0);
    const double start = hp.clock.Now();  // the music file starts here
    if (std::any_of(keys.begin(), keys.end(),
                    [](const KeyEvent& k) { return pad::IsPadCode(k.vk); }))
        hp.keyboard.PlugAt(start, kScriptedPad);
    ScheduleKeys(o, keys, start, hp);
    if (!o.kitStrokes.empty()) {
        hp.keyboard.PlugKitAt(start, kScriptedKit);
        if (o.kitMap) game.settings.KitBindings[kScriptedKit.name] = *o.kitMap;
        for (const KitStroke& k : o.kitStrokes)
            hp.keyboard.StrikeKitAt(start + double(k.ms) / 1000.0, kScriptedKit.slot, k.note,
                                    k.velocity);
    }
    PlayOptions po;
    po.FramesPerSecond = o.fps;
    po.keepReplay = false;  // a scripted play is not the player's
    po.record = record;
    po.DrawField = false;  // nobody sees the play: only what it judged and counted is reported
    const SongResult r = PlaySong(game, q, po);
    hp.window.onYield = nullptr;
    if (measures && !o.pauseAt && !o.leaveAt) {
        // The up-to-down transitions of the play keys while the play sounded them.
        const double from = watch.from.value_or(start), to = watch.to.value_or(hp.clock.Now());
        std::vector<std::pair<double, int>> downs;
        std::map<int, bool> down;
        StrikeMap inputs;
        inputs.Refresh(game);
        for (const KeyEvent& k : keys) {
            const double at = start + double(k.ms) / 1000.0;
            const bool wentDown = k.down && !down[k.vk];
            down[k.vk] = k.down;
            if (!wentDown || at < from || at > to) continue;
            if (const int strike = inputs.FirstStrike(k.vk); strike >= 0)
                downs.push_back({at, strike});
        }
        const KitBinding kb = KitBindingOf(game.settings, kScriptedKit.name);
        const int big = kb.bigVelocity;
        kit::HygieneFilter hygiene;  // a dropped stroke sounds nothing
        hygiene.SetRules(kb.hygiene);
        for (const KitStroke& k : o.kitStrokes) {
            const double at = start + double(k.ms) / 1000.0;
            if (hygiene.Judge(k.note, k.velocity, at) != kit::Fate::Kept) continue;
            const int code = kit::Code(kScriptedKit.slot, k.note, k.velocity >= big);
            if (const int strike = inputs.FirstStrike(code); strike >= 0 && at >= from && at <= to)
                downs.push_back({at, strike});
        }
        std::sort(downs.begin(), downs.end());
        measures->hitSoundLagMaxMs = HitSoundLagMax(downs, game, hp.wave);
    }
    return r;
}

SongResult PlayReplay(const Replay& rp, const std::string& appDir, ReplayCheck& check,
                      const std::string& songFile) {
    check = {};
    const std::string recordedBy =
        "this replay was recorded by build " + rp.build + "; this is build " + BuildId();
    const bool sameBuild = rp.build == BuildId();
    if (!rp.ownSong.empty() && songFile.empty()) {
        check.message = "this replay is of an own song (" + rp.ownSong +
                        "): give its MIDI file with --song-file";
        return {};
    }
    if (rp.ownSong.empty() && !HasChart(rp.chart)) {
        check.message = "this replay names song " + std::to_string(rp.chart.song) +
                        " at difficulty " + std::to_string(rp.chart.difficulty) +
                        ", which has no chart in this build";
        return {};
    }
    headless::HeadlessPlatform hp(appDir);
    Game game(hp.ports);
    PutReplaySettings(game.settings, rp);
    game.options.HitErrorBar = rp.hitErrorBar;
    PlayRequest q;
    q.challenge = rp.challengeCourse;
    q.modifier = game.chart.Mode = rp.modifier;
    q.challengePoints = rp.challengePoints;
    game.challenge.RandomState = rp.randomState;
    // An own song gets its number in this run's library; the file must be the one played.
    ChartId chart = rp.chart;
    if (!rp.ownSong.empty()) {
        chart.song = AddOwnSong(game, songFile);
        if (FindOwnSong(game, chart.song)->id != rp.ownSong) {
            check.message = songFile + " is not the MIDI file this replay was played on";
            return {};
        }
    }
    q.chart = chart;
    PlayScreenSetup(game, q);
    SongResult r;
    bool ran = false;
    try {
        LoadChart(game, chart, 0);
        PlayOptions po;
        po.FramesPerSecond = rp.framesPerSecond;
        po.replay = &rp;
        po.keepReplay = false;
        r = PlaySong(game, q, po);
        ran = true;
    } catch (const std::exception& e) {
        check.message = std::string("the replay cannot be played through (") + e.what() + "): ";
    }
    if (ran && r.ChartPrint != rp.chartPrint) {
        check.message =
            "the chart has changed since this replay was recorded, so its figures "
            "would be wrong";
        return r;
    }
    const ReplayOutcome& o = rp.outcome;
    const bool same = ran && r.ShownScore == o.validScore && r.Score == o.score &&
                      r.MaxCombo == o.maxCombo && r.CountBest == o.countBest &&
                      r.CountGood == o.countGood && r.CountMiss == o.countMiss &&
                      r.Gauge == o.gauge && r.GaugeLevel == o.gaugeLevel && r.Frames == o.frames &&
                      r.Judgements == o.judgements;
    if (same) {
        check.reproduced = true;
        if (!sameBuild) check.message = recordedBy + "; it reproduces exactly";
        return r;
    }
    if (ran)
        check.message = "the replay does not reproduce its play (score " +
                        std::to_string(r.ShownScore) + " for " + std::to_string(o.validScore) +
                        ", judgements " + r.Judgements + " for " + o.judgements + "): ";
    check.message += sameBuild ? "the chart or this build's judgement has changed"
                               : recordedBy + ", which judges differently; no figures are shown";
    return r;
}

PlayMidi ExportReplayMidi(const Replay& rp, const std::string& songFile, const std::string& out,
                          const std::string& appDir) {
    std::string musicPath = songFile;
    if (!rp.ownSong.empty()) {
        if (songFile.empty())
            throw std::runtime_error("this replay is of an own song (" + rp.ownSong +
                                     "): give its MIDI file with --song-file");
        headless::HeadlessPlatform hp(appDir);
        Game game(hp.ports);
        if (FindOwnSong(game, AddOwnSong(game, songFile))->id != rp.ownSong)
            throw std::runtime_error(songFile + " is not the MIDI file this replay was played on");
    } else {
        musicPath = BuiltInMusic(rp.chart.song);
    }
    std::string music, why;
    if (!ReadWholeFile(musicPath, music, kMidiMaxBytes, &why))
        throw std::runtime_error(musicPath + ": " + why);
    const PlayMidi m = ExportPlayMidi(music, rp);
    if (!WriteNewFile(out, m.bytes, why)) throw std::runtime_error(out + ": " + why);
    return m;
}

SongResult PlayGhost(const Replay& ghost, const Options& o, const std::string& appDir) {
    const Modifier mode = o.mode >= 0 ? kModifiers[size_t(o.mode)].modifier : Modifier::None;
    const bool sameSong = o.songFile.empty() ? ghost.ownSong.empty() && ghost.chart.song == o.song
                                             : !ghost.ownSong.empty();
    if (!sameSong || ghost.chart.difficulty != o.difficulty || ghost.modifier != mode)
        throw std::runtime_error("the ghost is a replay of another chart or modifier");
    ReplayCheck check;
    const SongResult r = PlayReplay(ghost, appDir, check, o.songFile);
    if (!check.reproduced) throw std::runtime_error("the ghost cannot race: " + check.message);
    return r;
}

std::string WithGhost(std::string json, const SongResult& player, const SongResult& ghost) {
    json.pop_back();  // the closing brace
    json += ",\"Ghost\":{\"ShownScore\":" + std::to_string(ghost.ShownScore) +
            ",\"CountBest\":" + std::to_string(ghost.CountBest) +
            ",\"CountGood\":" + std::to_string(ghost.CountGood) +
            ",\"CountMiss\":" + std::to_string(ghost.CountMiss) + "}";
    json += ",\"GhostDifference\":" + std::to_string(int64_t(player.ShownScore) - ghost.ShownScore);
    return json + "}";
}

namespace {

std::string JsonNumber(double v) {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, p);
}

}  // namespace

std::string ToJsonWithTiming(const SongResult& r) {
    std::string s = ToJson(r);
    s.pop_back();  // the closing brace
    const TimingFigures& t = r.Timing;
    s += ",\"MeanOffsetMs\":" + (t.count ? JsonNumber(t.meanMs) : std::string("null"));
    s += ",\"OffsetSpreadMs\":" + (t.count ? JsonNumber(t.spreadMs) : std::string("null"));
    s += ",\"Early\":" + std::to_string(t.early);
    s += ",\"Late\":" + std::to_string(t.late);
    s += ",\"SuggestedDelay\":" + std::to_string(r.SuggestedDelay);
    s += ",\"Judgements\":" + JsonString(r.Judgements);
    return s + "}";
}

std::string WithOffsetByDevice(std::string json, const SongResult& r) {
    json.pop_back();  // the closing brace
    json += std::string(json.size() > 1 ? "," : "") + "\"OffsetByDevice\":{";
    bool first = true;
    for (const auto& [device, f] : SummarizeByDevice(r.Strikes)) {
        json += (first ? "" : ",") + JsonString(device) + ":" + JsonNumber(f.meanMs);
        first = false;
    }
    return json + "}}";
}

std::string ToJson(const SongResult& r, const PlayMeasures& m) {
    std::string s = ToJsonWithTiming(r);
    s.pop_back();  // the closing brace
    s += ",\"HitSoundLagMaxMs\":";
    s += m.hitSoundLagMaxMs ? JsonNumber(*m.hitSoundLagMaxMs) : "null";
    return s + "}";
}

std::string ToJson(const SongResult& r) {
    std::string s = "{";
    s += "\"ShownScore\":" + std::to_string(r.ShownScore);
    s += ",\"Score\":" + JsonNumber(r.Score);
    s += ",\"MaxCombo\":" + std::to_string(r.MaxCombo);
    s += ",\"CountBest\":" + std::to_string(r.CountBest);
    s += ",\"CountGood\":" + std::to_string(r.CountGood);
    s += ",\"CountMiss\":" + std::to_string(r.CountMiss);
    s += ",\"Gauge\":" + std::to_string(r.Gauge);
    s += ",\"GaugeLevel\":" + std::to_string(r.GaugeLevel);
    s += ",\"Frames\":" + std::to_string(r.Frames);
    s += ",\"Caption\":" + JsonString(r.Caption);
    s += std::string(",\"Left\":") + (r.Left ? "true" : "false");
    return s + "}";
}

}  // namespace zb::tool
