// A song played on the headless platform: a hand-made chart set straight into game.chart, the
// music started, and keys scripted by music position.
#pragma once

#include <string>

#include "core/chart_loader.hpp"
#include "core/game.hpp"
#include "platform/headless/headless.hpp"
#include "play/play_song.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb::testing {

struct PlayFixture {
    TempDir dir;
    headless::HeadlessPlatform hp{dir.Dir()};
    Game game{hp.ports};
    double musicStart = 0;

    PlayFixture() { game.settings.DelaySetting = 0; }

    // A chart of `text` lasting `spanCs` centiseconds; the part ends at `endCs`.
    void SetChart(const std::string& text, int16_t spacing, int16_t spanCs, int16_t endCs,
                  int16_t level = 4, int16_t step = 100) {
        Chart& c = game.chart;
        c.ChartText = text;
        c.NoteSpacing = spacing;
        c.ChartSpan = spanCs;
        c.PartEndTime = endCs;
        c.ChartOffset = 0;
        c.ChartDelay = 0;
        c.SongLevel = level;
        c.ComboBonusStep = step;
        c.GaugeGainBest = 10, c.GaugeGainGood = 7, c.GaugeLoss = -10, c.GaugeUnit = 10;
        c.JudgeWindow1 = 13, c.JudgeWindow2 = 26, c.JudgeWindow3 = 39;
        c.LaneBlitWidth = 64;
        c.SongPart = 0;
        BuildNoteModel(c);
    }
    void StartMusic() {
        hp.music.SetFileName(dir.Dir() + "song.mid");
        musicStart = hp.clock.Now();
    }
    // Key changes at music positions in seconds.
    void Down(double at, int key) {
        hp.keyboard.At(musicStart + at, game.settings.KeyCodes[size_t(key)], true);
    }
    void Up(double at, int key) {
        hp.keyboard.At(musicStart + at, game.settings.KeyCodes[size_t(key)], false);
    }
    void Tap(double at, int key, double hold = 0.08) {
        Down(at, key);
        Up(at + hold, key);
    }
    // The music position (seconds) at which the lane's frame point is `offsetPx` past note i.
    double DueTime(int note, double offsetPx = 0) const {
        const Chart& c = game.chart;
        const double pxPerCs = double(c.ChartText.size()) * c.NoteSpacing / c.ChartSpan;
        const double s = c.NotePos[size_t(note)] - game.settings.FramePosition + offsetPx +
                         c.ChartDelay - c.ChartOffset;
        return s / pxPerCs / 100.0;
    }
    SongResult Play(bool autoPlay = false, int16_t song = 0, int16_t difficulty = 0,
                    double fps = 60) {
        return Play(
            {.chart = {song, difficulty}, .autoPlay = autoPlay, .modifier = game.chart.Mode}, fps);
    }
    SongResult Play(const PlayRequest& request, double fps = 60) {
        if (hp.music.FileName().empty()) StartMusic();
        PlayOptions o;
        o.FramesPerSecond = fps;
        return PlaySong(game, request, o);
    }
};

}  // namespace zb::testing
