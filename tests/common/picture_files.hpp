// The picture files of the two sets, relative to the img folder, for tests that build an img
// folder of their own.
#pragma once

#include <string>
#include <vector>

namespace zb::testing {

inline std::vector<std::string> FirstSetFiles() {
    std::vector<std::string> f = {"note/don_s.bmp", "note/kan_s.bmp", "note/s_mask.bmp",
                                  "note/don_b.bmp", "note/kan_b.bmp", "note/b_mask.bmp"};
    for (const char* w : {"waku", "waku-1", "waku0", "waku1", "waku2", "waku3"})
        f.push_back(std::string("note/") + w + ".gif"),
            f.push_back(std::string("note/") + w + "_mask.gif");
    f.push_back("note/line.gif"), f.push_back("note/line_mask.gif");
    f.push_back("wan/inu.gif");
    for (const char* p : {"asi2", "asi1", "te1", "te2"})
        f.push_back(std::string("wan/") + p + ".gif"),
            f.push_back(std::string("wan/") + p + "_mask.gif");
    for (const char* w : {"bad", "good", "great", "cool"})
        f.push_back(std::string("hantei/") + w + "_mask.gif"),
            f.push_back(std::string("hantei/") + w + "_1.gif");
    for (int i = 0; i < 15; ++i) f.push_back("haikei/" + std::to_string(i) + ".gif");
    f.push_back("haikei/yoru.gif"), f.push_back("haikei/hiru.gif");
    return f;
}

inline std::vector<std::string> SecondSetFiles() {
    std::vector<std::string> f = {"uchu.gif", "gal.gif", "gal_mask.gif"};
    for (int i = 0; i < 10; ++i) f.push_back("song" + std::to_string(i) + ".gif");
    for (const char* c :
         {"kantan.bmp", "muzu.bmp", "wonder.bmp", "challenge.bmp", "game.gif", "origin.gif",
          "cla.gif", "heavy.gif", "own.gif", "star1.bmp", "star2.bmp", "star3.bmp", "star_mask.bmp",
          "slash.bmp", "slash_mask.bmp", "setumei.bmp"})
        f.push_back(c);
    for (int i = 0; i < 10; ++i)
        for (const char* s : {".bmp", "_mask.bmp", "s.bmp", "s_mask.bmp"})
            f.push_back(std::to_string(i) + s);
    for (std::string& s : f) s = "other/" + s;
    return f;
}

}  // namespace zb::testing
