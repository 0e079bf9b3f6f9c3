#include "netrank/fetch_ranking.hpp"

#include "netrank/netrank_format.hpp"
#include "netrank/netrank_transfer.hpp"

namespace zb {

std::optional<std::string> FetchRanking(RankLink& link, const RankServer& server) {
    std::string bytes, problem;
    // The transfer lets through rankings only; a first line of fewer than three characters (an
    // emptied file) is never one.
    if (!DownloadRanking(link, server, bytes, &problem) || FirstLine(bytes).size() < 3) {
        ReportRankFailure(server, "the download failed", problem);
        return std::nullopt;
    }
    return bytes;
}

}  // namespace zb
