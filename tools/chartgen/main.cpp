// zubakko-chartgen [folder]: writes every chart file from the song descriptions into the folder
// (content/charts/ of the source tree by default), after checking each chart.
#include <fstream>
#include <iostream>

#include "core/chart_data.hpp"
#include "core/songs.hpp"
#include "generator.hpp"

namespace {

const char* kDifficultyNames[] = {"かんたん", "むずかしい", "ワンだフル！", "ワンだフル！＋"};

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ZB_SOURCE_DIR "/content/charts";
    int files = 0, failures = 0;
    try {
        for (const chartgen::Song& song : chartgen::Descriptions()) {
            for (const chartgen::GeneratedChart& c : chartgen::Generate(song)) {
                const std::string name = zb::ChartFileName(c.song, c.difficulty, c.part);
                for (const std::string& p : chartgen::CheckChart(c)) {
                    std::cerr << name << ": " << p << "\n";
                    ++failures;
                }
                std::ofstream out(folder + "/" + name, std::ios::binary);
                out << "# " << zb::SongTitle(c.song) << ", " << kDifficultyNames[c.difficulty];
                if (zb::IsMultiPartSong(c.song)) out << ", part " << c.part;
                out << " (" << zb::PartNoteCount({int16_t(c.song), int16_t(c.difficulty)}, c.part)
                    << " notes)\n";
                out << "# " << song.feel << "\n";
                out << "# Written by tools/chartgen from its song descriptions; edit those and "
                       "regenerate.\n";
                for (size_t m = 0; m < c.measures.size(); ++m) {
                    if (!c.comments[m].empty()) out << "# " << c.comments[m] << "\n";
                    out << c.measures[m] << "\n";
                }
                if (!out) {
                    std::cerr << name << ": cannot write to " << folder << "\n";
                    return 1;
                }
                ++files;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "zubakko-chartgen: " << e.what() << "\n";
        return 1;
    }
    std::cout << "wrote " << files << " chart files to " << folder << "\n";
    return failures == 0 ? 0 : 1;
}
