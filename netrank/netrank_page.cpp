#include "netrank/netrank_page.hpp"

namespace zb {

const char* NetRankPageTitle(int page) {
    static const char* const titles[kRankPages] = {
        "総合ランキング",      "ＦＦ４バトル２",   "決戦　パート２", "サドンデス",
        "Opening to the 2001", "ラクダに揺られて", "威風堂々",       "黄昏の街",
        "雲の上から",          "バイクレース０１", "トルコ行進曲"};
    return page >= 0 && page < kRankPages ? titles[page] : "";
}

const char* NetRankShortName(int song) {
    static const char* const names[] = {"ＦＦ４", "決戦２", "サドン", "2001",   "ラクダ", "威風",
                                        "黄昏",   "雲の上", "バイク", "トルコ", "トルコ"};
    return song >= 0 && song < static_cast<int>(std::size(names)) ? names[song] : "";
}

std::string NetRankPage(const RankingTables& t, int16_t page, int16_t block) {
    if (page < 0 || page >= kRankPages || block < 0 || block >= kRankBlocks) return "";
    std::string text;
    for (int k = 10 * block; k < 10 * block + 10; ++k) {
        text += std::to_string(k + 1) + "位:";
        if (page == 0) {
            text += std::to_string(t.NetTotalScore[k]) + "点　" + t.NetTotalName[k] + " " +
                    NetRankShortName(t.NetTotalSongs[k][0]) + "・" +
                    NetRankShortName(t.NetTotalSongs[k][1]);
        } else {
            text +=
                std::to_string(t.NetSongScore[page - 1][k]) + "点　" + t.NetSongName[page - 1][k];
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace zb
