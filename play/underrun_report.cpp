#include "play/underrun_report.hpp"

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/stderr_line.hpp"

namespace zb {

void ReportUnderruns(Game& game, uint64_t count) {
    if (count == 0) return;
    std::string line = std::to_string(count) + (count == 1 ? " underrun" : " underruns") +
                       " of the sound output in this song";
    GameOptions& o = game.options;
    const auto next =
        std::upper_bound(std::begin(kAudioPeriods), std::end(kAudioPeriods), o.AutoPeriodNow);
    // One underrun may be the machine's moment; two in a song are its period.
    if (o.AudioPeriod == 0 && count >= 2 && next != std::end(kAudioPeriods)) {
        o.AutoPeriodNow = *next;
        game.platform.music.SetWantedPeriod(*next);
        line += "; the automatic period goes up to " + std::to_string(*next) +
                " frames from the next song";
    }
    SayOnStderr(line);
}

}  // namespace zb
