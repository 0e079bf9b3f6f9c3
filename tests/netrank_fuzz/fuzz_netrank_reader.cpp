// Any bytes as netrank.dat: the reader must neither crash nor hang, and what it read must
// write out as a whole ranking that reads back to the same file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "netrank/netrank_format.hpp"
#include "platform/sjis_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zb::RankingTables tables;
    zb::ParseNetRankLine(tables, zb::FirstLine(bytes));
    (void)zb::IsWholeNetRank(bytes);
    // What the transfer lets through is read from a ranking line of at least three characters.
    const zb::RankBytes judged = zb::JudgeRankBytes(bytes);
    if ((judged == zb::RankBytes::Whole || judged == zb::RankBytes::Short) &&
        zb::FirstLine(bytes).size() < 3)
        std::abort();
    (void)zb::SjisToUtf8(bytes);
    (void)zb::Utf8ToSjis(bytes);

    const std::string written = zb::FormatNetRankFile(tables);
    if (zb::JudgeRankBytes(written) != zb::RankBytes::Whole) std::abort();
    zb::RankingTables again;
    zb::ParseNetRankLine(again, zb::FirstLine(written));
    if (zb::FormatNetRankFile(again) != written) std::abort();
    return 0;
}
