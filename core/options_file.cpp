#include "core/options_file.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>

#include "core/failure_report.hpp"
#include "core/file_replace.hpp"

namespace zb {

namespace {

constexpr const char* kFileName = "options.txt";
constexpr size_t kLimit = 1 << 16;
constexpr const char* kDrumWords[] = {"full", "quiet", "off"};

}  // namespace

const char* DrumPartCaption(DrumPart part) {
    return part == DrumPart::Off ? "なし" : part == DrumPart::Quiet ? "小さく" : "あり";
}

DrumPart NextDrumPart(DrumPart part) {
    return DrumPart((int(part) + 1) % 3);
}

DrumPart DrumsFor(const GameOptions& o, bool rankingCourse) {
    return rankingCourse ? DrumPart::Full : o.Drums;
}

std::string EncodeOptions(const GameOptions& o) {
    std::string s = "# ズバッコミュージック: choices beyond config.dat\n";
    s += "version " + std::to_string(kOptionsVersion) + "\n";
    s += std::string("hit_error_bar ") + (o.HitErrorBar ? "1" : "0") + "\n";
    s += std::string("drums ") + kDrumWords[int(o.Drums)] + "\n";
    s += "audio_frames " + (o.AudioPeriod ? std::to_string(o.AudioPeriod) : "auto") + "\n";
    s += std::string("ghost ") + (o.Ghost ? "1" : "0") + "\n";
    for (const std::string& line : o.OtherLines) s += line + "\n";
    return s;
}

void DecodeOptions(const std::string& text, GameOptions& o, std::string* why) {
    o.OtherLines.clear();
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        // Every CR before the line's end goes: a kept line is written back with none.
        while (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string name, value, extra;
        if (!(words >> name) || name[0] == '#' || name == "version") continue;
        words >> value;
        const bool single = !(words >> extra);
        if (name == "hit_error_bar" || name == "ghost") {
            if (single && (value == "0" || value == "1"))
                (name == "ghost" ? o.Ghost : o.HitErrorBar) = value == "1";
            else if (why)
                *why += (why->empty() ? "" : "; ") + ("line " + std::to_string(n) + " skipped");
        } else if (name == "drums") {
            int found = -1;
            for (int i = 0; i < 3; ++i)
                if (value == kDrumWords[i]) found = i;
            if (single && found >= 0)
                o.Drums = DrumPart(found);
            else if (why)
                *why += (why->empty() ? "" : "; ") + ("line " + std::to_string(n) + " skipped");
        } else if (name == "audio_frames") {
            const int frames = std::atoi(value.c_str());
            if (single && value == "auto")
                o.AudioPeriod = 0;
            else if (single &&
                     std::find(std::begin(kAudioPeriods), std::end(kAudioPeriods), frames) !=
                         std::end(kAudioPeriods) &&
                     value == std::to_string(frames))
                o.AudioPeriod = frames;
            else if (why)
                *why += (why->empty() ? "" : "; ") + ("line " + std::to_string(n) + " skipped");
        } else {
            o.OtherLines.push_back(line);
        }
    }
}

void LoadOptions(Game& game) {
    const std::string path = game.SaveDir() + kFileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    std::string text;
    std::string why;
    if (ReadDataFile(path, text, kLimit)) DecodeOptions(text, game.options, &why);
    if (!why.empty()) ReportFailure(path + ": " + why);
}

void SaveOptions(Game& game) {
    SaveDataFile(game.SaveDir() + kFileName, EncodeOptions(game.options),
                 "the options stay in effect until the program ends");
}

}  // namespace zb
