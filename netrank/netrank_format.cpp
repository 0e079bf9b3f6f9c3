#include "netrank/netrank_format.hpp"

#include <charconv>
#include <system_error>

#include "core/checked.hpp"
#include "platform/sjis_text.hpp"

namespace zb {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The leading number as a double: optional blanks, sign, digits with an optional fraction and
// exponent (E or D). False when it overflows a double.
bool LeadingValue(std::string_view f, double& value) {
    size_t i = 0;
    while (i < f.size() && (f[i] == ' ' || f[i] == '\t' || f[i] == '\n' || f[i] == '\r')) ++i;
    bool negative = false;
    if (i < f.size() && (f[i] == '-' || f[i] == '+')) negative = f[i++] == '-';
    std::string digits;
    bool any = false;
    while (i < f.size() && IsDigit(f[i])) digits += f[i++], any = true;
    if (i < f.size() && f[i] == '.') {
        digits += f[i++];
        while (i < f.size() && IsDigit(f[i])) digits += f[i++], any = true;
    }
    if (!any) {
        value = 0;
        return true;
    }
    if (i < f.size() && (f[i] == 'e' || f[i] == 'E' || f[i] == 'd' || f[i] == 'D')) {
        size_t j = i + 1;
        std::string exp = "e";
        if (j < f.size() && (f[j] == '-' || f[j] == '+')) exp += f[j++];
        if (j < f.size() && IsDigit(f[j])) {
            while (j < f.size() && IsDigit(f[j])) exp += f[j++];
            digits += exp;
        }
    }
    double v = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Underflow reads as 0; overflow does not fit anything.
        const bool tiny = digits.find("e-") != std::string::npos;
        if (!tiny) return false;
        v = 0;
    } else if (r.ec != std::errc()) {
        v = 0;
    }
    value = negative ? -v : v;
    return true;
}

template <CheckedInt T>
bool NumberOf(std::string_view field, T& out) {
    double v = 0;
    if (!LeadingValue(field, v)) return false;
    try {
        out = Round<T>(v);
        return true;
    } catch (const OverflowError&) {
        return false;
    }
}

// Calls fn(index, field) for every field of a segment, in order; text after the last ":" is
// not a field.
template <typename Fn>
void ForEachField(std::string_view segment, Fn fn) {
    size_t start = 0;
    int64_t index = 0;
    for (size_t pos = segment.find(':'); pos != std::string_view::npos;
         pos = segment.find(':', start)) {
        fn(index++, segment.substr(start, pos - start));
        start = pos + 1;
    }
}

void ParseTotalSegment(RankingTables& t, std::string_view segment) {
    ForEachField(segment, [&t](int64_t index, std::string_view field) {
        const int64_t j = index / 4;
        if (j >= RankingTables::kPlaces) return;
        switch (index % 4) {
            case 0:
                NumberOf(field, t.NetTotalScore[j]);
                break;
            case 1:
                t.NetTotalName[j] = SjisToUtf8(field);
                break;
            case 2:
                NumberOf(field, t.NetTotalSongs[j][0]);
                break;
            default:
                NumberOf(field, t.NetTotalSongs[j][1]);
                break;
        }
    });
}

void ParseSongSegment(RankingTables& t, int64_t song, std::string_view segment) {
    ForEachField(segment, [&t, song](int64_t index, std::string_view field) {
        const int64_t j = index / 2;
        if (j >= RankingTables::kPlaces) return;
        if (index % 2 == 0)
            NumberOf(field, t.NetSongScore[song][j]);
        else
            t.NetSongName[song][j] = SjisToUtf8(field);
    });
}

// A name as the file can hold it: the separators and line ends would break the line for every
// player, so they become their full-width forms or a space.
std::string FileName(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        if (c == ':')
            out += "\uFF1A";
        else if (c == ';')
            out += "\uFF1B";
        else if (c == '\r' || c == '\n' || c == '\0')
            out += ' ';
        else
            out += c;
    }
    return Utf8ToSjis(out);
}

}  // namespace

bool FieldNumber(std::string_view field, int32_t& out) {
    return NumberOf(field, out);
}
bool FieldNumber(std::string_view field, int16_t& out) {
    return NumberOf(field, out);
}

std::string_view FirstLine(std::string_view bytes) {
    const size_t end = bytes.find_first_of("\r\n");
    return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

void ParseNetRankLine(RankingTables& tables, std::string_view line) {
    size_t start = 0;
    int64_t segment = 0;
    for (size_t pos = line.find(';'); pos != std::string_view::npos;
         pos = line.find(';', start), ++segment) {
        const std::string_view text = line.substr(start, pos - start);
        start = pos + 1;
        if (segment == 0)
            ParseTotalSegment(tables, text);
        else if (segment - 1 < RankingTables::kSongs)
            ParseSongSegment(tables, segment - 1, text);
    }
}

std::string FormatNetRankFile(const RankingTables& t) {
    std::string line;
    line.reserve(16 * 1024);
    for (int j = 0; j < kRankPlaces; ++j) {
        line += std::to_string(t.NetTotalScore[j]) + ':' + FileName(t.NetTotalName[j]) + ':' +
                std::to_string(t.NetTotalSongs[j][0]) + ':' +
                std::to_string(t.NetTotalSongs[j][1]) + ':';
    }
    line += ';';
    for (int s = 0; s < kRankFileSongs; ++s) {
        for (int j = 0; j < kRankPlaces; ++j)
            line +=
                std::to_string(t.NetSongScore[s][j]) + ':' + FileName(t.NetSongName[s][j]) + ':';
        line += ';';
    }
    line += "\r\n";
    return line;
}

bool IsWholeNetRank(std::string_view bytes) {
    const std::string_view line = FirstLine(bytes);
    size_t start = 0;
    for (int segment = 0; segment <= kRankFileSongs; ++segment) {
        const size_t end = line.find(';', start);
        if (end == std::string_view::npos) return false;
        size_t fields = 0;
        for (size_t k = start; k < end; ++k) fields += line[k] == ':';
        const size_t wanted = segment == 0 ? 4 * kRankPlaces : 2 * kRankPlaces;
        if (fields < wanted) return false;
        start = end + 1;
    }
    return true;
}

RankBytes JudgeRankBytes(std::string_view bytes) {
    if (IsWholeNetRank(bytes)) return RankBytes::Whole;
    if (bytes.empty() || (!IsDigit(bytes[0]) && bytes[0] != '-')) return RankBytes::NotARanking;
    // Until its last line has ended, a transfer may have stopped anywhere.
    if (!bytes.ends_with("\r\n")) return RankBytes::CutShort;
    // Text after the last ";" would not be read, and so not be stored again.
    const std::string_view line = FirstLine(bytes);
    return line.size() >= 3 && line.back() == ';' ? RankBytes::Short : RankBytes::NotARanking;
}

void ReadServerRanking(RankingTables& tables, std::string_view bytes) {
    RankingTables fresh;
    fresh.NetPlayerName = std::move(tables.NetPlayerName);
    ParseNetRankLine(fresh, FirstLine(bytes));
    tables = std::move(fresh);
}

}  // namespace zb
