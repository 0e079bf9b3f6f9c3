// zubakko-play --practice: a practice run on the headless platform and its JSON.
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "core/own_songs.hpp"
#include "platform/headless/headless.hpp"
#include "play/play_screen_setup.hpp"
#include "tools/play/play_tool.hpp"

namespace zb::tool {

std::string BuiltInMusic(int song) {
    std::string dir = ProgramDir();
    for (int up = 0; up < 3; ++up, dir += "../") {
        const std::string path = dir + SongMusicFile(song);
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec)) return path;
    }
    throw std::runtime_error(SongMusicFile(song) + " is not beside the program, so its bars are " +
                             "not known");
}

namespace {

std::string Ms(double seconds) {
    return std::to_string(std::llround(seconds * 1000.0));
}

}  // namespace

PracticeResult PracticeChart(const Options& o, const std::vector<KeyEvent>& keys,
                             const std::string& appDir) {
    headless::HeadlessPlatform hp(appDir);
    Game game(hp.ports);
    if (o.delay) game.settings.DelaySetting = *o.delay;
    if (o.frame) game.settings.FramePosition = *o.frame;
    game.settings.BigNoteWait = o.bigWait;
    PracticeRequest rq;
    rq.chart = {o.song, o.difficulty};
    if (!o.songFile.empty()) {
        rq.chart.song = AddOwnSong(game, o.songFile);
        const OwnSong& own = *FindOwnSong(game, rq.chart.song);
        if (!own.playable) throw std::runtime_error(o.songFile + ": " + own.reason);
    } else {
        rq.musicFile = BuiltInMusic(o.song);
    }
    rq.rate = o.rate;
    rq.fromBar = o.fromBar;
    rq.toBar = o.toBar;
    rq.loops = o.loops;
    rq.ramp = o.ramp;
    rq.wait = o.wait;
    rq.autoPlay = o.autoPlay;
    rq.drawField = false;
    PlayScreenSetup(game, rq.chart, o.autoPlay, false);
    const double start = hp.clock.Now();  // play starts here: the key script's zero
    for (const KeyEvent& k : keys) hp.keyboard.At(start + double(k.ms) / 1000.0, k.vk, k.down);
    return RunPractice(game, rq, o.fps);
}

std::string PracticeJson(const PracticeResult& r) {
    std::string s = "{\"Passes\": [";
    for (size_t i = 0; i < r.passes.size(); ++i) {
        const PracticePass& p = r.passes[i];
        char rate[16];
        std::snprintf(rate, sizeof rate, "%.2f", p.rate);
        char offset[32] = "null";
        if (p.meanOffsetMs) std::snprintf(offset, sizeof offset, "%.1f", *p.meanOffsetMs);
        s += std::string(i ? ", " : "") + "{\"Rate\": " + rate +
             ", \"CountBest\": " + std::to_string(p.best) +
             ", \"CountGood\": " + std::to_string(p.good) +
             ", \"CountMiss\": " + std::to_string(p.miss) + ", \"MeanOffsetMs\": " + offset;
        if (r.wait)
            s += ", \"Waited\": " + std::to_string(p.waited) +
                 ", \"WaitedMs\": " + std::to_string(std::llround(p.waitedMs)) + ", \"Marks\": \"" +
                 p.marks + "\"";
        s += "}";
    }
    const Section& sec = r.section;
    s += "], \"LeadInMs\": " + Ms(sec.leadIn) + ", \"SectionStartMs\": " + Ms(sec.start) +
         ", \"SectionEndMs\": " + Ms(sec.end) + ", \"FromBar\": " + std::to_string(sec.fromBar) +
         ", \"ToBar\": " + std::to_string(sec.toBar) + ", \"Bars\": " + std::to_string(r.bars) +
         "}";
    return s;
}

}  // namespace zb::tool
