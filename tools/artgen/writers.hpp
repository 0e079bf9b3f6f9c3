// Writes pictures as GIF (giflib, at most 256 colours, no dithering) or 24-bit BMP (SDL2).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.hpp"

namespace artgen {

struct Quantized {
    std::vector<uint32_t> palette;  // 0x00RRGGBB, at most 256
    std::vector<uint8_t> index;     // one per pixel, row by row
};

// Reduces a picture to at most maxColors colours. Pictures that already have few colours keep
// them exactly; otherwise a median cut refined by a few k-means passes. Pure white and pure
// black stay exact, so sprites keep their transparent white and masks stay two-coloured.
// Colours in keep (when present) also stay exact.
Quantized Quantize(const zb::Surface& s, int maxColors = 256,
                   const std::vector<uint32_t>& keep = {});

// The picture as a GIF file will hold it.
zb::Surface Reduce(const zb::Surface& s, const std::vector<uint32_t>& keep = {});

// Several pictures reduced to one shared palette: a colour that appears in two of them comes out
// the same in both, so pictures laid over each other match to the pixel.
std::vector<zb::Surface> ReduceTogether(const std::vector<zb::Surface>& pictures);

// Writes by the file name's extension (.gif or .bmp). Throws std::runtime_error.
void WritePicture(const std::string& path, const zb::Surface& s);

}  // namespace artgen
