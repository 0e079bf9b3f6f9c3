// musicgen: writes the game's music and hit sounds into a folder (assets/sound):
// one MIDI file per song from its charts and the song table, the title fanfare, the story music,
// the delay check's beat, and don.wav / kan.wav.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "check_beat.hpp"
#include "compose.hpp"
#include "core/songs.hpp"
#include "hit_sounds.hpp"
#include "plan.hpp"
#include "style.hpp"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return bool(out.flush());
}

// Opening fanfare: 2-second bars whose sections change every 4 seconds.
musicgen::Plan TitlePlan() {
    using musicgen::Section;
    const char* rhythms[] = {"1000001010001000", "1000000010000000", "1010100010001000",
                             "1000000000000000", "1000101010001000", "1000100010101000",
                             "1010101010101010", "1000100010001000", "1000000000000000",
                             "1000000000000000"};
    const Section sections[] = {Section::Main,   Section::Main,   Section::Calm, Section::Calm,
                                Section::Climax, Section::Climax, Section::Main, Section::Main,
                                Section::Ending, Section::Ending};
    musicgen::Plan plan;
    plan.bars = musicgen::EvenBars(0.0, 10, 16, 4, 2.0);
    for (int i = 0; i < 10; ++i) {
        auto& b = plan.bars[size_t(i)];
        b.rhythm = rhythms[i];
        b.section = sections[i];
        b.phraseBar = i % 4;
        b.phrase = i / 2;
        b.level = i < 4 ? 0.85 : 1.0;
    }
    musicgen::AssignTicks(plan.bars);
    plan.endTime = 17.0;
    return plan;
}

// Story music: phrases of 4.28 seconds (two bars), one story line each.
musicgen::Plan StoryPlan() {
    using musicgen::Section;
    const char* rhythms[] = {"1000000010000000", "1000100010000000", "1000000010001000",
                             "1000000000000000"};
    const Section groups[] = {Section::Calm, Section::Calm,   Section::Main, Section::Calm,
                              Section::Main, Section::Climax, Section::Calm, Section::Calm};
    const int phrases = 22;
    musicgen::Plan plan;
    plan.bars = musicgen::EvenBars(0.0, 2 * phrases + 2, 16, 4, 2.14);
    for (size_t i = 0; i < plan.bars.size(); ++i) {
        auto& b = plan.bars[i];
        b.rhythm = rhythms[(i * 5 + i / 4) % 4];
        b.section = i >= size_t(2 * phrases) ? Section::Ending : groups[(i / 8) % 8];
        b.phraseBar = int(i % 4);
        b.phrase = int(i / 2);
        b.level = b.section == Section::Climax ? 0.95 : 0.8;
    }
    musicgen::AssignTicks(plan.bars);
    plan.endTime = 90.0;
    return plan;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: musicgen <output folder>   (normally assets/sound)\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    bool ok = true;
    auto write = [&](const std::string& name, const musicgen::Plan& plan,
                     const musicgen::Style& style) {
        const bool done = WriteFile(out / name, musicgen::ComposeMidi(plan, style));
        std::printf("%-28s %7.2f s (end %7.2f s)%s\n", name.c_str(), plan.bars.back().End(),
                    plan.endTime, done ? "" : "  FAILED");
        ok = ok && done;
    };
    for (int song = 0; song < zb::kSongCount; ++song) {
        const std::string file = std::filesystem::path(zb::SongMusicFile(song)).filename().string();
        write(file, musicgen::SongPlan(song), musicgen::SongStyle(song));
    }
    write("title.mid", TitlePlan(), musicgen::TitleStyle());
    write("kibohika.mid", StoryPlan(), musicgen::StoryStyle());
    {
        const bool done = WriteFile(out / "timing.mid", musicgen::CheckBeatMidi());
        std::printf("%-28s (the delay check's beat)%s\n", "timing.mid", done ? "" : "  FAILED");
        ok = ok && done;
    }
    for (auto [name, sound] :
         {std::pair{"don.wav", musicgen::DonSound()}, std::pair{"kan.wav", musicgen::KanSound()}}) {
        const bool done = musicgen::WriteWave((out / name).string(), sound);
        std::printf("%-28s %7.3f s%s\n", name, double(sound.size()) / musicgen::kWaveRate,
                    done ? "" : "  FAILED");
        ok = ok && done;
    }
    return ok ? 0 : 1;
}
