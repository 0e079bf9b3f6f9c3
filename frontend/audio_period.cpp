#include "frontend/audio_period.hpp"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace zb {

namespace {

// At the 48 kHz the game asks every output for.
std::string Ms(int frames) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f ms", frames / 48.0);
    return text;
}

}  // namespace

void StepAudioPeriod(Game& game) {
    int& period = game.options.AudioPeriod;
    const int* at = std::find(std::begin(kAudioPeriods), std::end(kAudioPeriods), period);
    period = period == 0 ? kAudioPeriods[0] : at + 1 < std::end(kAudioPeriods) ? *(at + 1) : 0;
    game.platform.music.SetWantedPeriod(game.options.WantedPeriod());
}

std::string AudioPeriodLine(Game& game) {
    const MusicPlayer& out = game.platform.music;
    std::string line = "F5：音の遅れ　";
    if (out.ServerSetsPeriod())
        return line + "JACK の " + std::to_string(out.PeriodFrames()) + " フレーム（" +
               Ms(out.PeriodFrames()) + "、サーバーが決めます）";
    const int frames = game.options.WantedPeriod();
    if (game.options.AudioPeriod == 0) line += "自動　";
    return line + std::to_string(frames) + " フレーム（" + Ms(frames) + "）";
}

}  // namespace zb
