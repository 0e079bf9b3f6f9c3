#include "netrank/netrank_page.hpp"

#include "core/songs.hpp"

namespace zb {

const char* NetRankPageTitle(int page) {
    if (page == 0) return "総合ランキング";
    return page > 0 && page < kRankPages ? SongTitle(page - 1) : "";
}

const char* NetRankShortName(int song) {
    if (song >= 0 && song < kSongCount) return SongShortName(song);
    // Number 10 repeats the last song's name, as the ranking has always shown it.
    return song == kSongCount ? SongShortName(kSongCount - 1) : "";
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
        text += kBreak;
    }
    return text;
}

}  // namespace zb
