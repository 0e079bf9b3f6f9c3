#include "platform/sjis_text.hpp"

#include <errno.h>
#include <iconv.h>

#include <cstdint>

namespace zb {
namespace {

// One converter per direction and thread, kept open: the reader converts every name field.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible. Returns false when it stopped at a byte sequence it can't
    // convert (in is then left at it).
    bool Run(const char*& in, size_t& inLeft, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[1024];
        while (inLeft > 0) {
            char* o = buf;
            size_t oLeft = sizeof buf;
            char* i = const_cast<char*>(in);
            const size_t r = iconv(cd_, &i, &inLeft, &o, &oLeft);
            const int err = errno;
            out.append(buf, static_cast<size_t>(o - buf));
            in = i;
            if (r != static_cast<size_t>(-1)) continue;
            if (err == E2BIG) continue;
            return false;  // EILSEQ or EINVAL (a sequence cut off at the end)
        }
        return true;
    }

  private:
    iconv_t cd_;
};

// The length of the UTF-8 sequence that starts with byte b (1 for a stray byte).
size_t Utf8Length(unsigned char b) {
    if (b >= 0xF0 && b < 0xF8) return 4;
    if (b >= 0xE0) return b < 0xF0 ? 3 : 1;
    if (b >= 0xC2) return 2;
    return 1;
}

// Characters that Japanese input on other systems produces where Windows uses a neighbour that
// code page 932 can store: WAVE DASH for FULLWIDTH TILDE and the like.
std::string_view Cp932Substitute(std::string_view ch) {
    struct Pair {
        std::string_view from, to;
    };
    static constexpr Pair pairs[] = {
        {"\u301C", "\x81\x60"},  // 〜 -> ～
        {"\u2016", "\x81\x61"},  // ‖ -> ∥
        {"\u2212", "\x81\x7C"},  // − -> －
        {"\u00A2", "\x81\x91"},  // ¢ -> ￠
        {"\u00A3", "\x81\x92"},  // £ -> ￡
        {"\u00AC", "\x81\xCA"},  // ¬ -> ￢
        {"\u2014", "\x81\x5C"},  // — -> ―
    };
    for (const auto& p : pairs)
        if (p.from == ch) return p.to;
    return "?";
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
    thread_local Converter conv("UTF-8", "CP932");
    std::string out;
    out.reserve(sjis.size());
    const char* in = sjis.data();
    size_t left = sjis.size();
    while (left > 0) {
        if (conv.Ok() && conv.Run(in, left, out)) break;
        // An invalid or cut-off sequence: one replacement character, then go on after its first
        // byte.
        const unsigned char b = static_cast<unsigned char>(*in);
        if (!conv.Ok() && b < 0x80)
            out += static_cast<char>(b);
        else
            out += "\uFFFD";
        ++in;
        --left;
    }
    return out;
}

namespace {

// Converts to code page 932; `lossless` turns false when a character had to become "?".
std::string ToSjis(std::string_view utf8, bool& lossless) {
    thread_local Converter conv("CP932", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    size_t left = utf8.size();
    lossless = true;
    while (left > 0) {
        if (conv.Ok() && conv.Run(in, left, out)) break;
        size_t n = Utf8Length(static_cast<unsigned char>(*in));
        if (n > left) n = 1;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(in[k]) & 0xC0) != 0x80) n = 1;
        const std::string_view ch(in, n);
        if (!conv.Ok() && n == 1 && static_cast<unsigned char>(*in) < 0x80) {
            out += *in;
        } else {
            const std::string_view sub = Cp932Substitute(ch);
            lossless = lossless && sub != "?";
            out += sub;
        }
        in += n;
        left -= n;
    }
    return out;
}

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) {
    bool lossless;
    return ToSjis(utf8, lossless);
}

bool FitsSjis(std::string_view utf8) {
    bool lossless;
    ToSjis(utf8, lossless);
    return lossless;
}

}  // namespace zb
