#include "frontend/credits.hpp"

#include "frontend/opening_slots.hpp"

namespace zb {

namespace {

constexpr const char* kSeparator = "▼・ｗ・▼・ｗ・▼・ｗ・▼";

// Each contributor is a name line and a line for its site; where there is no site, the second
// line says what the contributor is. The addresses are the projects' own, as their packages
// name them.
constexpr const char* kMain[] = {
    "わんこ太郎　Team ZUBAKKO",
    "プログラム C++・SDL2・libcurl　譜面 chartgen",
};
constexpr const char* kMusic[] = {
    "musicgen",
    "譜面から曲と効果音を書く、このゲームの作曲ツール",
    "サウンドフォント TimGM6mb　作者 Tim Brechbill",
    "https://www.timbrechbill.com",
    "シンセサイザーライブラリ FluidSynth",
    "https://github.com/FluidSynth/fluidsynth",
};
constexpr const char* kPictures[] = {
    "artgen",
    "柴犬のドラマーと画面の絵を描く、このゲームの作画ツール",
    "IPAフォント（IPAゴシック・IPA Pゴシック）",
    "https://moji.or.jp/ipafont/ipafontdownload/",
};

std::string Score(const char* course, int32_t points) {
    return std::string(course) + "　" + std::to_string(points) + "点";
}

}  // namespace

std::vector<std::string> CreditLines(const HighScoreTables& scores) {
    std::vector<std::string> lines{"", kSeparator, "メイン"};
    lines.insert(lines.end(), std::begin(kMain), std::end(kMain));
    lines.insert(lines.end(), {kSeparator, "音楽ファイル協力"});
    lines.insert(lines.end(), std::begin(kMusic), std::end(kMusic));
    lines.insert(lines.end(), {kSeparator, "画像ファイル協力"});
    lines.insert(lines.end(), std::begin(kPictures), std::end(kPictures));
    lines.insert(lines.end(), {kSeparator, "AND YOUR PLAYING"});
    const auto& c = scores.CourseHighScores;
    lines.push_back(Score("かんたんコース", c[0]));
    lines.push_back(Score("むずかしいコース", c[1]));
    if (scores.FullMenu()) {
        lines.push_back(Score("ワンだフル！コース", c[2]));
        lines.push_back(Score("チャレンジコース", c[3]));
    }
    return lines;
}

void ShowCredits(Game& game) {
    LabelControl& l = game.form.Label[opening_slots::kWordLabel];
    l.Top = 0;
    l.Left = 0;
    l.Height = 7500;
    l.Width = 10000;
    l.FontSize = 12;
    l.Caption.clear();
    for (const std::string& line : CreditLines(game.scores)) l.Caption += line + kBreak;
}

}  // namespace zb
