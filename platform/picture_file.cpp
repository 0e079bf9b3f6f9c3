// BMP and GIF files into surfaces. The file is checked before SDL_image decodes it: a picture
// cut short or claiming an absurd size is refused with PictureError instead of showing garbage
// or exhausting memory.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/form.hpp"

namespace zb {

namespace {

constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t{64} << 20;

bool SaneSize(int64_t w, int64_t h) {
    return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && w * h <= kMaxPixels;
}

unsigned U16(const std::string& b, size_t at) {
    return unsigned(uint8_t(b[at])) | unsigned(uint8_t(b[at + 1])) << 8;
}

int32_t I32(const std::string& b, size_t at) {
    return int32_t(uint32_t(U16(b, at)) | uint32_t(U16(b, at + 2)) << 16);
}

// Walks a GIF's blocks; true when every block is whole and every picture has a sane size.
// A missing trailer after the last whole block is accepted (some encoders omit it).
bool GifWhole(const std::string& b) {
    if (b.size() < 13 || !SaneSize(U16(b, 6), U16(b, 8))) return false;
    size_t at = 13;
    const auto skipTable = [&](unsigned flags) {
        if (flags & 0x80) at += 3u * (2u << (flags & 7));
        return at <= b.size();
    };
    const auto skipSubBlocks = [&] {
        for (;;) {
            if (at >= b.size()) return false;
            const size_t n = uint8_t(b[at++]);
            if (n == 0) return true;
            at += n;
        }
    };
    if (!skipTable(uint8_t(b[10]))) return false;
    bool pictures = false;
    while (at < b.size()) {
        const uint8_t kind = uint8_t(b[at++]);
        if (kind == 0x3B) return pictures;
        if (kind == 0x21) {  // extension: label, then sub-blocks
            if (++at > b.size() || !skipSubBlocks()) return false;
        } else if (kind == 0x2C) {  // picture: descriptor, colour table, code size, data
            if (at + 9 > b.size() || !SaneSize(U16(b, at + 4), U16(b, at + 6))) return false;
            const uint8_t flags = uint8_t(b[at + 8]);
            at += 9;
            if (!skipTable(flags) || ++at > b.size() || !skipSubBlocks()) return false;
            pictures = true;
        } else {
            return false;
        }
    }
    return pictures;
}

bool BmpSizeSane(const std::string& b) {
    if (b.size() < 26) return false;
    const int32_t header = I32(b, 14);
    if (header == 12) return SaneSize(U16(b, 18), U16(b, 20));
    const int64_t h = I32(b, 22);
    return b.size() >= 30 && SaneSize(I32(b, 18), h < 0 ? -h : h);
}

}  // namespace

Surface LoadPictureFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PictureError("cannot open picture " + path);
    std::string bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    } catch (const std::exception&) {  // a folder, a device, a read error
        throw PictureError("cannot read picture " + path);
    }
    if (bytes.compare(0, 4, "GIF8") == 0 && !GifWhole(bytes))
        throw PictureError("broken or cut-short GIF picture " + path);
    if (bytes.compare(0, 2, "BM") == 0 && !BmpSizeSane(bytes))
        throw PictureError("broken BMP picture " + path);
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (!rw) throw PictureError("cannot read picture " + path);
    // SDL_image picks the decoder from the contents, not the name.
    SDL_Surface* raw = IMG_Load_RW(rw, 1);
    if (!raw) throw PictureError("cannot decode picture " + path + ": " + IMG_GetError());
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(raw);
    if (!argb) throw PictureError("cannot convert picture " + path);
    Surface out(argb->w, argb->h);
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + size_t(y) * size_t(argb->pitch));
        uint32_t* dst = out.Row(y);
        for (int x = 0; x < argb->w; ++x) dst[x] = row[x] & 0x00FFFFFFu;
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return out;
}

}  // namespace zb
